// The pack-contents report: every object the character carries, one name a line, in a
// text file named after the character.
#include <string>
#include <string_view>
#include <system_error>

#include "inventory/Inventory.h"
#include "platform/Files.h"
#include "plugin/Tarnik.h"

namespace {

constexpr std::string_view kReportFolder = "c:\\ToonPacks\\";

// The character's name as a file name that stays inside the report folder: no path
// separators, no characters Windows forbids, and never "." or "..".
std::string ReportFileName(std::string name) {
    constexpr std::string_view forbidden = "<>:\"/\\|?*";
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 32 || forbidden.find(c) != std::string_view::npos)
            c = '_';
    if (name.find_first_not_of('.') == std::string::npos)
        name = std::string(name.size() + 1, '_');
    return name;
}

}  // namespace

void CTarnik::WritePackContents() {
    Log(TRC, "Writing Pack Contents");
    CComPtr<IWorldIterator> view = InventoryView(m_pWorld);
    if (view) {
        CComBSTR wideName;
        std::string name;
        if (m_pCharStats && SUCCEEDED(m_pCharStats->get_Name(&wideName)))
            name = wideName.ToUtf8();
        std::string windowsPath = std::string(kReportFolder) + ReportFileName(name) + ".txt";

        std::string report = "Pack contents for " + name + "\n";
        WalkView(*this, view, WALK_PACKS, [&](IWorldObject* object) {
            std::string line = NameOf(object);
            Log(TRC, "Writing %s", line.c_str());
            report += line + "\n";
            return true;
        });
        Log(TRC, "Closing");
        std::error_code error;
        if (!std::filesystem::is_directory(MapWindowsPath(kReportFolder), error)) {
            WriteToChat("Pack contents not written: the folder %s is missing",
                        std::string(kReportFolder).c_str());
        } else if (!WriteFileAtomically(MapWindowsPath(windowsPath), ToTextMode(report))) {
            WriteToChat("Pack contents not written: cannot write %s", windowsPath.c_str());
        } else {
            Log(TRC, "Chatting");
            WriteToChat("Pack contents written to disk");
        }
    }
    Log(TRC, "Write Complete");
    Log(TRC, "Returning");
}
