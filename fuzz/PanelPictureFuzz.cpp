// The panel picture: any view description the host accepts is drawn as well-formed XML
// whose every text and attribute is text XML allows, with one element for each control of
// the view (two controls of one ID or name share an element id, one element each).
#include <map>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "Check.h"
#include "simhost/HostObjects.h"
#include "tools/PanelPicture.h"

namespace {

struct IdCounter : pugi::xml_tree_walker {
    std::map<std::string, int> ids;
    bool safe = true;
    bool for_each(pugi::xml_node& node) override {
        for (pugi::xml_attribute attribute : node.attributes()) {
            safe = safe && XmlSafeText(attribute.value()) == attribute.value();
            if (std::string_view(attribute.name()) == "id")
                ++ids[attribute.value()];
        }
        if (node.type() == pugi::node_pcdata)
            safe = safe && XmlSafeText(node.value()) == node.value();
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::ViewParseResult parsed =
        sim::ParseViewDescription(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed)
        return 0;
    auto view = MakeComObject<sim::CSimView>(*parsed.layout);
    std::string svg = PanelSvg(*view);

    pugi::xml_document document;
    fuzz::Check(static_cast<bool>(document.load_string(svg.c_str())), "the picture is XML");
    fuzz::Check(std::string_view(document.document_element().name()) == "svg",
                "the picture is an SVG document");
    IdCounter counter;
    document.traverse(counter);
    fuzz::Check(counter.safe, "every text and attribute is text XML allows");

    std::map<std::string, int> expected;
    for (const sim::SimControl* control : view->Controls())
        if (control->state.kind != sim::ControlKind::Notebook &&
            control->state.kind != sim::ControlKind::FixedLayout)
            ++expected[PanelPictureId(control->state.id, control->state.name)];
    for (const auto& [id, count] : expected)
        fuzz::Check(counter.ids[id] == count, "one element for each control");
    return 0;
}
