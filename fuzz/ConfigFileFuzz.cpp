// sortconfig.xml: any bytes as the file at login, then a save, a second login and another
// save. A file that does not load is kept byte for byte beside the fresh one; a file that
// loads is never set aside; what a save writes loads again, writes back the same, and is
// written again unchanged after a reload. No line's indent outgrows the depth bound, and
// the nesting scan sees exactly the depth the parser builds.
#include <pugixml.hpp>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

#include "FuzzHost.h"
#include "config/ConfigWriter.h"
#include "config/XmlDocument.h"
#include "platform/Files.h"

namespace {

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The deepest element level of the document the parser builds from `text`, if it parses.
std::optional<std::size_t> ParsedDepth(std::string_view text) {
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto))
        return std::nullopt;
    std::size_t deepest = 0;
    std::size_t depth = 1;
    for (pugi::xml_node node = doc.first_child(); node;) {
        if (node.type() == pugi::node_element)
            deepest = std::max(deepest, depth);
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (!node.next_sibling() && depth > 1) {
            node = node.parent();
            --depth;
        }
        node = node.next_sibling();
    }
    return deepest;
}

void CheckWritten(const std::string& file) {
    std::string_view rest = file;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
        fuzz::Check(indent <= 2 * (kMaxConfigDepth - 1), "no indent beyond the depth bound");
        rest = end == rest.npos ? std::string_view{} : rest.substr(end + 1);
    }
    CXmlDocument written;
    fuzz::Check(static_cast<bool>(written.LoadText(file)), "what a save writes loads again");
    fuzz::Check(ToTextMode(ConfigFileText(written)) == file, "what a save writes writes back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (std::optional<std::size_t> depth = ParsedDepth(text); depth && *depth > 0) {
        fuzz::Check(FindNestingBeyond(text, *depth - 1).has_value(),
                    "the nesting scan sees every level the parser builds");
        fuzz::Check(!FindNestingBeyond(text, *depth), "the nesting scan sees no extra level");
    }
    const bool loads = static_cast<bool>(CXmlDocument().LoadText(text));

    static const sim::WorldSetup world = fuzz::SmallWorld();
    fuzz::PlayOnSeat(world, [&](fuzz::Seat& seat) {
        const std::filesystem::path& folder = fuzz::ConfigFolder();
        fuzz::EmptyConfigFolder();
        seat.Host().ClearRecords();
        const std::filesystem::path file = folder / "sortconfig.xml";
        const std::filesystem::path aside = folder / "sortconfig.xml.bad";
        WriteBytes(file, text);
        seat.Plugin().OnCharacterLogin();
        const bool setAside = std::filesystem::exists(aside);
        fuzz::Check(setAside != loads, "exactly a file that does not load is set aside");
        if (setAside) {
            fuzz::Check(ReadBytes(aside) == text, "a file set aside is kept byte for byte");
            const std::vector<std::string> chat = seat.Host().ChatTexts();
            fuzz::Check(
                chat.size() == 1 && chat.back() ==
                                        ":tk:The configuration file could not be read and was "
                                        "kept as " +
                                            g_ConfigPath + ".bad",
                "the player is told once where the file was kept");
        }

        (void)seat.Plugin().SaveConfig();
        const std::string saved = ReadBytes(file);
        CheckWritten(saved);
        seat.Plugin().OnCharacterLogin();
        (void)seat.Plugin().SaveConfig();
        fuzz::Check(ReadBytes(file) == saved, "a reload and a save change nothing");
    });
    return 0;
}
