// View descriptions: any text is a layout or a refusal naming what was wrong, never a
// crash. An accepted layout holds only controls of the kind their progid names, each ID
// other than 0 at most once, selections among the options, pages that were read, and no
// more controls than the text has control elements.
#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "Check.h"
#include "simhost/ViewDescription.h"

namespace {

std::size_t Count(std::string_view text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + 1))
        ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    sim::ViewParseResult parsed = sim::ParseViewDescription(text);
    if (!parsed) {
        fuzz::Check(std::string_view(parsed.error).starts_with("view description"),
                    "a refusal says what was wrong");
        return 0;
    }
    const sim::ViewLayout& layout = *parsed.layout;
    fuzz::Check(layout.controls.size() <= Count(text, "<control"),
                "every control comes from a control element");
    std::set<LONG> ids;
    for (const sim::ControlState& control : layout.controls) {
        fuzz::Check(
            control.progid == std::string("DecalControls.") + sim::ControlKindName(control.kind),
            "a control is of the kind its progid names");
        fuzz::Check(control.id == 0 || ids.insert(control.id).second,
                    "no two controls have the same ID");
        fuzz::Check(
            control.selected >= -1 && control.selected < static_cast<LONG>(control.options.size()),
            "a selected entry is one of the options");
        fuzz::Check(control.page.empty() || std::find(layout.pages.begin(), layout.pages.end(),
                                                      control.page) != layout.pages.end(),
                    "a control sits on a page that was read");
    }
    return 0;
}
