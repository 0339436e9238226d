// Reading a view description with pugixml.
#include "simhost/ViewDescription.h"

#include <pugixml.hpp>

#include <charconv>
#include <map>
#include <utility>

namespace sim {

namespace {

struct Kind {
    const char* progid;
    ControlKind kind;
};
constexpr Kind kKinds[] = {
    {"DecalControls.PushButton", ControlKind::PushButton},
    {"DecalControls.StaticText", ControlKind::StaticText},
    {"DecalControls.Choice", ControlKind::Choice},
    {"DecalControls.Checkbox", ControlKind::Checkbox},
    {"DecalControls.Edit", ControlKind::Edit},
    {"DecalControls.Notebook", ControlKind::Notebook},
    {"DecalControls.FixedLayout", ControlKind::FixedLayout},
};

std::optional<LONG> ParseNumber(std::string_view text) {
    LONG value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

// Builds the layout or names the first thing wrong with the description.
class Reader {
  public:
    std::string error;

    // Walks the elements below the view in document order with a stack of its own, so
    // nesting of any depth is read without recursion.
    bool Read(const pugi::xml_node& view, ViewLayout& layout) {
        struct Level {
            pugi::xml_node next;   // the next child to read
            std::size_t page = 0;  // 1 + index of the page the children sit on; 0: none
        };
        std::vector<Level> stack{{view.first_child(), 0}};
        while (!stack.empty()) {
            pugi::xml_node node = stack.back().next;
            if (!node) {
                stack.pop_back();
                continue;
            }
            stack.back().next = node.next_sibling();
            if (node.type() != pugi::node_element)
                continue;
            std::string_view name = node.name();
            std::size_t page = stack.back().page;
            if (name == "control") {
                if (!Control(node, page ? layout.pages[page - 1] : "", layout))
                    return false;
            } else if (name == "page") {
                layout.pages.push_back(node.attribute("label").value());
                page = layout.pages.size();
            } else {
                continue;
            }
            stack.push_back(Level{node.first_child(), page});
        }
        return true;
    }

  private:
    bool Control(const pugi::xml_node& node, const std::string& page, ViewLayout& layout) {
        ControlState state;
        state.page = page;
        for (const auto& attribute : node.attributes())
            state.attributes[attribute.name()] = attribute.value();
        state.progid = node.attribute("progid").value();
        state.name = node.attribute("name").value();
        std::string where = "control" + (state.name.empty() ? "" : " \"" + state.name + "\"") +
                            " at offset " + std::to_string(node.offset_debug());
        if (state.progid.empty())
            return Fail(where + " has no progid");
        const Kind* kind = nullptr;
        for (const Kind& candidate : kKinds)
            if (state.progid == candidate.progid)
                kind = &candidate;
        if (!kind)
            return Fail(where + " has the unknown progid \"" + state.progid + "\"");
        state.kind = kind->kind;
        if (!Number(node, "ID", where, state.id) ||
            !Number(node, "textcolor", where, state.textColor))
            return false;
        // Events name their control by ID alone.
        if (state.id != 0) {
            auto [first, isNew] = ids_.emplace(state.id, where);
            if (!isNew)
                return Fail(where + " has the ID " + std::to_string(state.id) + " of the " +
                            first->second);
        }
        state.text = node.attribute("text").value();
        if (node.attribute("checked"))
            state.checked = node.attribute("checked").as_bool();
        for (const auto& option : node.children("option"))
            state.options.push_back(option.attribute("text").value());
        if (node.attribute("selected")) {
            LONG selected = -1;
            if (!Number(node, "selected", where, selected))
                return false;
            if (selected < -1 || selected >= static_cast<LONG>(state.options.size()))
                return Fail(where + ": selected entry " + std::to_string(selected) +
                            " is not one of its " + std::to_string(state.options.size()) +
                            " options");
            state.selected = selected;
        }
        layout.controls.push_back(std::move(state));
        return true;
    }

    bool Fail(std::string why) {
        error = std::move(why);
        return false;
    }

    bool Number(const pugi::xml_node& node, const char* attribute, const std::string& where,
                LONG& out) {
        pugi::xml_attribute found = node.attribute(attribute);
        if (!found)
            return true;
        auto value = ParseNumber(found.value());
        if (!value)
            return Fail(where + ": " + attribute + " \"" + found.value() + "\" is not a number");
        out = *value;
        return true;
    }

    std::map<LONG, std::string> ids_;  // where each ID was first given
};

}  // namespace

const char* ControlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return "PushButton";
        case ControlKind::StaticText:
            return "StaticText";
        case ControlKind::Choice:
            return "Choice";
        case ControlKind::Checkbox:
            return "Checkbox";
        case ControlKind::Edit:
            return "Edit";
        case ControlKind::Notebook:
            return "Notebook";
        case ControlKind::FixedLayout:
            return "FixedLayout";
    }
    return "?";
}

ViewParseResult ParseViewDescription(std::string_view xml) {
    ViewParseResult result;
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size());
    if (!parsed) {
        result.error = std::string("view description is not XML: ") + parsed.description() +
                       " at offset " + std::to_string(parsed.offset);
        return result;
    }
    pugi::xml_node root = document.document_element();
    if (std::string_view(root.name()) != "view") {
        result.error = std::string("view description: the root element is \"") + root.name() +
                       "\", not \"view\"";
        return result;
    }
    ViewLayout layout;
    layout.title = root.attribute("title").value();
    for (const auto& attribute : root.attributes())
        layout.attributes[attribute.name()] = attribute.value();
    Reader reader;
    if (!reader.Read(root, layout)) {
        result.error = "view description: " + reader.error;
        return result;
    }
    result.layout = std::move(layout);
    return result;
}

}  // namespace sim
