// Sorting every pack as one job: the main pack, then each side pack in the host's order,
// each with exactly the steps of the single-pack sort.
#include <algorithm>

#include "inventory/Inventory.h"
#include "organise/Organise.h"
#include "plugin/Tarnik.h"

void CTarnik::AllSortFromChoice() {
    LONG index = -1;
    if (m_chSortBy)
        m_chSortBy->get_Selected(&index);
    AllSort(index);
}

void CTarnik::AllSort(std::int32_t type) {
    EndJob();
    Log(INF, "AllSort");
    m_Failures.clear();
    m_SortType = type;
    SetPacks();
    m_AllSortPacks.assign(1, m_Me);
    m_AllSortPacks.insert(m_AllSortPacks.end(), m_PackList.begin(), m_PackList.end());
    if (AllSortNextPack())
        AllSortNext();
}

bool CTarnik::AllSortNextPack() {
    while (!m_AllSortPacks.empty()) {
        m_SortPack = m_AllSortPacks.front();
        m_AllSortPacks.erase(m_AllSortPacks.begin());
        Log(TRC, "Sort pack is %d", static_cast<int>(m_SortPack));
        m_SortRereads = 0;
        m_SortMoved = false;
        m_SortMoves = 0;
        if (FileSortPack())
            return true;
        // An empty pack has nothing to sort; one whose slots do not add up stops the job.
        bool empty = std::all_of(m_SortEntries.begin(), m_SortEntries.end(),
                                 [](const SortEntry& entry) { return entry.id == 0; });
        if (!empty) {
            Log(ERR, "Cannot sort %s", PackLabel(m_pWorld, m_Me, m_SortPack).c_str());
            EndJob();
            WriteSortRefusal(*this);
            return false;
        }
    }
    EndJob();
    WriteToChat("Sort Complete");
    return false;
}

void CTarnik::AllSortNext() {
    for (;;) {
        switch (SortStep(JOB_ALLSORT)) {
            case SortStepResult::Moved:
            case SortStepResult::Broken:
                return;
            case SortStepResult::Done:
                if (m_SortMoves > 0)
                    WriteToChat("Sorted %s: %d %s.", PackLabel(m_pWorld, m_Me, m_SortPack).c_str(),
                                m_SortMoves, m_SortMoves == 1 ? "move" : "moves");
                if (!AllSortNextPack())
                    return;
                break;  // the next pack's first step runs at once
            case SortStepResult::Refused:
                Log(ERR, "Cannot sort %s", PackLabel(m_pWorld, m_Me, m_SortPack).c_str());
                EndJob();
                WriteSortRefusal(*this);
                return;
            case SortStepResult::KeptChanging:
                EndJob();
                WriteToChat("Sort stopped: the pack kept changing while it was sorted.");
                return;
        }
    }
}
