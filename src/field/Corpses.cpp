// Corpse tracking: the table of corpses the world filter reports, and stepping through
// them nearest first, each once per cycle.
#include "field/Field.h"
#include "plugin/Tarnik.h"

namespace {

// Starts the search for the nearest corpse; a search that ends with it found nothing.
constexpr double kNoCandidate = 999999.0;

}  // namespace

void CTarnik::OnObjectCreated(IWorldObject* object) {
    if (TypeOf(object) != TYPE_CORPSE)
        return;
    ObjectId id = IdOf(object);
    if (m_Corpses.contains(id))
        return;
    Log(INF, "Adding corpse: %x", static_cast<unsigned>(id));
    m_Corpses[id] = Corpse{id, 0, 0.0};
}

void CTarnik::OnObjectReleased(IWorldObject* object) {
    if (TypeOf(object) != TYPE_CORPSE)
        return;
    ObjectId id = IdOf(object);
    Log(INF, "Removing corpse: %x", static_cast<unsigned>(id));
    m_Corpses.erase(id);
}

ObjectId CTarnik::SelectNextCorpse() {
    EndJob();
    Log(INF, "SelectNextCorpse");
    if (!m_pWorld)
        return 0;
    CComPtr<IWorldIterator> view;
    if (SUCCEEDED(m_pWorld->get_ByType(TYPE_CORPSE, &view)) && view) {
        view->Reset();
        for (;;) {
            CComPtr<IWorldObject> object;
            VARIANT_BOOL more = VARIANT_FALSE;
            if (FAILED(view->Next(&object, &more)) || more == VARIANT_FALSE)
                break;
            if (!object) {
                Log(ERR, "NULL/True return from itWorld (1)!");
                continue;
            }
            ObjectId id = IdOf(object);
            auto [record, added] = m_Corpses.try_emplace(id, Corpse{id, 0, 0.0});
            if (added)
                Log(INF, "Adding corpse: %x", static_cast<unsigned>(id));
            double distance = 0.0;
            // A distance the host cannot tell is never chosen.
            if (FAILED(m_pWorld->Distance2D(static_cast<LONG>(m_Me), static_cast<LONG>(id),
                                            &distance)))
                distance = kNoCandidate;
            record->second.distance = distance;
            Log(TRC, "corpse: %x, views:%d, distance:%f", static_cast<unsigned>(id),
                record->second.views, distance);
        }
    }
    if (m_Corpses.empty())
        return 0;

    auto choose = [this]() -> Corpse* {
        Corpse* best = nullptr;
        double bestDistance = kNoCandidate;
        for (auto& [id, corpse] : m_Corpses) {
            if (corpse.views == 0 && corpse.distance < bestDistance) {
                best = &corpse;
                bestDistance = corpse.distance;
                Log(TRC, "Selected: %x", static_cast<unsigned>(id));
            }
        }
        return best;
    };
    Corpse* chosen = choose();
    if (!chosen) {
        WriteToChat("All corpses viewed, starting over...");
        for (auto& [id, corpse] : m_Corpses)
            corpse.views = 0;
        // Every corpse out of reach: one more pass would find nothing either.
        chosen = choose();
        if (!chosen)
            return 0;
    }
    chosen->views = 1;
    if (m_pHooks)
        m_pHooks->SelectItem(static_cast<LONG>(chosen->id));
    return chosen->id;
}

void CTarnik::OpenNextCorpse() {
    EndJob();
    Log(INF, "OpenNextCorpse");
    if (ObjectId id = SelectNextCorpse())
        UseOnCharacter(id);
}
