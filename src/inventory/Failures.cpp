// The names of the items a Pack or Store run could not place, written when the run ends.
#include "plugin/Tarnik.h"

void CTarnik::DisplayFailures(const std::string& verb) {
    Log(INF, "Display Failures");
    if (m_Failures.empty())
        return;
    WriteToChat("Could not %s the following items:", verb.c_str());
    for (const auto& [name, unused] : m_Failures)
        WriteToChat("  %s", name.c_str());
}
