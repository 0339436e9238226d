// Finding items by a part of their name: on this character now, and on the player's other
// characters as their last pack-contents reports list them. Nothing moves; no job starts.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "inventory/Inventory.h"
#include "inventory/PackReport.h"
#include "platform/Ascii.h"
#include "platform/Files.h"
#include "plugin/Tarnik.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMaxHitLines = 20;

// The lines of a find: hits, of which only the first kMaxHitLines are shown, and notices
// of reports that could not be read, which always are.
class FindOutput {
  public:
    void Hit(std::string line) {
        if (++hits_ <= kMaxHitLines)
            lines_.push_back(std::move(line));
    }
    void Notice(std::string line) { lines_.push_back(std::move(line)); }
    int Hits() const { return hits_; }
    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    int hits_ = 0;
    std::vector<std::string> lines_;
};

// The day the file was last written, as the player's clock shows it.
std::string ReportDate(const fs::path& file) {
    std::string date = LocalDateWritten(file);
    return date.empty() ? "an unknown date" : date;
}

std::optional<std::string> ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return contents;
}

void FindHere(CTarnik& tarnik, const std::string& text, FindOutput& output) {
    CComPtr<IWorldIterator> view = InventoryView(tarnik.m_pWorld);
    WalkView(tarnik, view, WALK_FIND, [&](IWorldObject* object) {
        const ObjectId id = IdOf(object);
        if (id == tarnik.m_Me)
            return true;
        std::string name = NameOf(object);
        if (!ContainsIgnoringCase(name, text))
            return true;
        const LONG slot = IntValue(object, KEY_SLOT);
        const auto container = static_cast<ObjectId>(IntValue(object, KEY_CONTAINER));
        if (IntValue(object, KEY_ITEM_SLOTS) > 0) {
            output.Hit("Here, " + PackLabel(tarnik.m_pWorld, tarnik.m_Me, id));
        } else if (slot == SLOT_WORN) {
            output.Hit("Here, worn: " + name);
        } else {
            std::string line = "Here, " + PackLabel(tarnik.m_pWorld, tarnik.m_Me, container) +
                               " slot " + std::to_string(slot) + ": " + name;
            const LONG count = IntValue(object, KEY_STACK_COUNT);
            if (count > 0 && IntValue(object, KEY_STACK_MAX) >= 2)
                line += " (" + std::to_string(count) + ")";
            output.Hit(std::move(line));
        }
        return true;
    });
}

void FindInReports(const std::string& ownName, const std::string& text, FindOutput& output) {
    const fs::path folder = MapWindowsPath(kReportFolder);
    const std::string ownFile = ReportFileName(ownName) + ".txt";
    std::vector<fs::path> reports;
    std::error_code error;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        const std::string file = it->path().filename().string();
        if (file.size() > 4 &&
            EqualsIgnoringCase(std::string_view(file).substr(file.size() - 4), ".txt") &&
            !EqualsIgnoringCase(file, ownFile) && !it->is_directory())
            reports.push_back(it->path());
    }
    std::sort(reports.begin(), reports.end());
    for (const fs::path& report : reports) {
        std::optional<ReportScan> scan;
        if (std::optional<std::string> contents = ReadWhole(report))
            scan = ScanPackReport(*contents, text);
        if (!scan) {
            output.Notice("Cannot read the report " + report.filename().string() + "; skipped.");
            continue;
        }
        const std::string from = scan->character + " (report of " + ReportDate(report) + "): ";
        for (const ReportHit& hit : scan->hits)
            output.Hit(from + hit.name +
                       (hit.listed > 1 ? " (" + std::to_string(hit.listed) + " listed)" : ""));
    }
}

}  // namespace

void CTarnik::Where(const std::string& text) {
    Log(INF, "Where");
    if (text.empty()) {
        WriteToChat("Usage: @tk where text - lists where items whose names contain text are");
        return;
    }
    FindOutput output;
    FindHere(*this, text, output);
    CComBSTR ownName;
    std::string own;
    if (m_pCharStats && SUCCEEDED(m_pCharStats->get_Name(&ownName)))
        own = ownName.ToUtf8();
    FindInReports(own, text, output);

    if (output.Hits() == 0)
        WriteToChat("Nothing whose name contains \"%s\" was found.", text.c_str());
    for (const std::string& line : output.Lines())
        WriteToChat("%s", line.c_str());
    if (output.Hits() > kMaxHitLines)
        WriteToChat("\u2026 and %d more", output.Hits() - kMaxHitLines);
}

void CTarnik::WhereSelected() {
    LONG selection = 0;
    if (m_pHooks)
        m_pHooks->get_CurrentSelection(&selection);
    std::string name;
    if (selection != 0)
        name = NameOf(FindObject(m_pWorld, static_cast<ObjectId>(selection)));
    if (name.empty()) {
        WriteToChat("Select an item to find where others like it are.");
        return;
    }
    Where(name);
}
