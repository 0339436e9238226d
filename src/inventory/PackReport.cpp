// The pack-contents report: every object the character carries, one name a line, in a
// text file named after the character.
#include "inventory/PackReport.h"

#include <algorithm>
#include <system_error>

#include "inventory/Inventory.h"
#include "platform/Ascii.h"
#include "platform/Files.h"
#include "plugin/Tarnik.h"

std::string ReportFileName(std::string name) {
    constexpr std::string_view forbidden = "<>:\"/\\|?*";
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 32 || forbidden.find(c) != std::string_view::npos)
            c = '_';
    if (name.find_first_not_of('.') == std::string::npos)
        name = std::string(name.size() + 1, '_');
    return name;
}

std::optional<ReportScan> ScanPackReport(std::string_view contents, std::string_view text) {
    if (contents.find('\0') != std::string_view::npos)
        return std::nullopt;
    ReportScan scan;
    bool heading = true;
    bool ownLine = true;
    while (!contents.empty()) {
        std::size_t end = contents.find('\n');
        std::string_view line = contents.substr(0, end);
        contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (heading) {
            if (!line.starts_with(kReportHeading))
                return std::nullopt;
            scan.character = line.substr(kReportHeading.size());
            heading = false;
            continue;
        }
        if (ownLine) {
            ownLine = false;
            if (line == scan.character)
                continue;
        }
        if (line.empty() || !ContainsIgnoringCase(line, text))
            continue;
        auto known = std::find_if(scan.hits.begin(), scan.hits.end(),
                                  [&](const ReportHit& hit) { return hit.name == line; });
        if (known != scan.hits.end())
            ++known->listed;
        else
            scan.hits.push_back(ReportHit{std::string(line), 1});
    }
    if (heading)
        return std::nullopt;
    return scan;
}

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
