// The configuration inspector on any text: a text that is no document is one problem, a
// document lists one block per character, and problems name lines of the text in order.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Check.h"
#include "tools/ConfigInspector.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ConfigInspection inspection = InspectConfig(text, "sortconfig.xml");

    if (!inspection.document)
        fuzz::Check(inspection.problems.size() == 1 && inspection.listing.empty(),
                    "a text that is no document is one problem and lists nothing");
    std::size_t blocks = static_cast<std::size_t>(
        std::count_if(inspection.listing.begin(), inspection.listing.end(),
                      [](const std::string& line) { return line.starts_with("character "); }));
    fuzz::Check(blocks == inspection.characters.size(), "one listing block per character");

    // A problem names the line of the text it is on; a text the document model converted
    // from another encoding may leave an element without one.
    const std::size_t lines =
        1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    std::size_t previous = 0;
    for (const std::string& problem : inspection.problems) {
        constexpr std::string_view kFile = "sortconfig.xml:";
        fuzz::Check(problem.starts_with(kFile), "a problem starts with the file's name");
        std::size_t line = 0;
        std::size_t at = kFile.size();
        for (; at < problem.size() && problem[at] >= '0' && problem[at] <= '9'; ++at)
            line = std::min<std::size_t>(line * 10 + static_cast<std::size_t>(problem[at] - '0'),
                                         lines + 1);
        if (at == kFile.size())
            continue;
        fuzz::Check(line >= 1 && line <= lines, "a problem's line is a line of the text");
        fuzz::Check(line >= previous, "problems come in the order of their lines");
        previous = line;
    }
    return 0;
}
