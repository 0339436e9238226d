// The registry file: any bytes load without a crash; a file that was read is written back
// as a file that reads to the same keys, values and kept lines, and is then written back
// unchanged; a line the reader cannot understand comes back as it stood. String data
// written through the A functions reads back byte for byte.
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "fuzz/Check.h"
#include "platform/posix/RegistryTree.h"

namespace {

using namespace registry_detail;

// Key by key without recursion: a fuzzed path can be as deep as the input is long.
bool SameKeys(const Key& first, const Key& second) {
    std::vector<std::pair<const Key*, const Key*>> pending{{&first, &second}};
    while (!pending.empty()) {
        auto [a, b] = pending.back();
        pending.pop_back();
        if (a->name != b->name || a->values != b->values || a->keptLines != b->keptLines ||
            a->children.size() != b->children.size())
            return false;
        for (auto i = a->children.begin(), j = b->children.begin(); i != a->children.end();
             ++i, ++j)
            pending.emplace_back(i->second.get(), j->second.get());
    }
    return true;
}

bool SameTree(const Tree& a, const Tree& b) {
    if (a.leadingLines != b.leadingLines || a.unplacedLines != b.unplacedLines)
        return false;
    for (std::size_t h = 0; h < a.hives.size(); ++h)
        if (!SameKeys(*a.hives[h], *b.hives[h]))
            return false;
    return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

// A line of a UTF-8 file that is no key, no value and no continuation of one is never
// understood, so it must be written back as it stood.
void CheckNothingThinned(std::string_view raw, const std::string& written) {
    if (raw.starts_with("\xFF\xFE"))
        return;  // UTF-16: its lines are not these bytes
    if (raw.starts_with("\xEF\xBB\xBF"))
        raw.remove_prefix(3);
    std::vector<std::string_view> out = Lines(written);
    std::unordered_set<std::string_view> writtenLines(out.begin(), out.end());
    bool header = true, continues = false;
    for (std::string_view line : Lines(raw)) {
        if (IsBlank(line)) {
            continues = false;
            continue;
        }
        bool mayBeUnderstood = header || continues || line.starts_with('[') ||
                               line.starts_with('@') || line.starts_with('"');
        fuzz::Check(mayBeUnderstood || writtenLines.contains(line),
                    "a line that is not understood is written back as it stood");
        header = false;
        std::string_view trimmed = line.substr(0, line.find_last_not_of(" \t\r") + 1);
        continues = trimmed.ends_with('\\');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view raw(reinterpret_cast<const char*>(data), size);
    fuzz::Check(StringText(StringData(raw)) == raw, "string data reads back as it was written");

    Parsed first = Parse(raw);
    if (!first.refusal.empty())
        return 0;  // such a file is never written
    std::string written = Serialize(first.tree);
    Parsed second = Parse(written);
    fuzz::Check(second.refusal.empty(), "a written file is a registry file");
    fuzz::Check(SameTree(first.tree, second.tree), "a written file reads back the same");
    fuzz::Check(Serialize(second.tree) == written, "a written file is written back unchanged");
    CheckNothingThinned(raw, written);
    return 0;
}
