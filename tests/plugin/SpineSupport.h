// Helpers shared by the plug-in spine's tests: what the plug-in holds and what it traced.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "plugin/Tarnik.h"

namespace spine {

// How many of the 42 control references are held.
inline int BoundControlCount(const CTarnik& t) {
    auto held = [](const auto&... control) {
        static_assert(sizeof...(control) == 42);
        return ((control ? 1 : 0) + ...);
    };
    return held(t.m_pbStore, t.m_pbPack, t.m_pbCram, t.m_pbHelp, t.m_pbSort, t.m_pbStrip,
                t.m_pbEquip, t.m_pbSetHotkey, t.m_pbSaveHot, t.m_pbDeleteHot, t.m_pbSetCfg,
                t.m_pbRemoveCfg, t.m_pbScarabs, t.m_pbHerbs, t.m_pbPowders, t.m_pbPotions,
                t.m_pbTalismans, t.m_pbPin, t.m_pbUnpin, t.m_pbRemoveAll, t.m_pbNewProfile,
                t.m_pbRecord, t.m_pbDelete, t.m_pbAddStrip, t.m_pbAddStripWeapons,
                t.m_pbAddStripJewelry, t.m_pbAll, t.m_pbTapers, t.m_pbPeas, t.m_ceNewProfile,
                t.m_edHotAction, t.m_edHotCommand, t.m_stCfg, t.m_stPin, t.m_stHotkeyValue,
                t.m_chEquip, t.m_chEquipProfile, t.m_chHotkeyItem, t.m_chHotCommand, t.m_chSortBy,
                t.m_chOutputWindow, t.m_cbReverse);
}

inline int ConnectedSinkCount(const CTarnik& t) {
    int connected = 0;
    for (const auto& sink : t.m_Sinks)
        connected += sink->IsConnected() ? 1 : 0;
    return connected;
}

// True when every fragment occurs in the trace, each in a later line than the one before.
inline bool TraceInOrder(const std::vector<std::string>& trace,
                         const std::vector<std::string>& fragments) {
    std::size_t line = 0;
    for (const std::string& fragment : fragments) {
        while (line < trace.size() && trace[line].find(fragment) == std::string::npos)
            ++line;
        if (line == trace.size())
            return false;
        ++line;
    }
    return true;
}

}  // namespace spine
