// Text renderings of packs, worn items, controls and the panel.
#include "Display.h"

#include <cstdio>

#include "platform/Text.h"
#include "simhost/HostObjects.h"

using sim::ObjectId;

std::string HexId(ObjectId id) {
    return HexText(id);
}

int PackNumber(const sim::World& world, ObjectId container) {
    if (container == world.Character())
        return 0;
    for (int slot = 0; slot < PACK_SLOT_COUNT; ++slot)
        if (world.PackInSlot(slot) == container)
            return slot + 1;
    return -1;
}

ObjectId PackContainer(const sim::World& world, int pack) {
    if (pack == 0)
        return world.Character();
    if (pack < 1 || pack > PACK_SLOT_COUNT)
        return 0;
    return world.PackInSlot(pack - 1).value_or(0);
}

std::string ItemLabel(const sim::World& world, ObjectId id) {
    const sim::Object* object = world.FindAny(id);
    if (!object)
        return "(unknown) (" + HexId(id) + ")";
    std::string label = object->name + " (" + HexId(id) + ")";
    if (object->StackMax() > 0 || object->StackCount() > 1)
        label += " x" + std::to_string(object->StackCount());
    return label;
}

std::string CountOf(std::size_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

std::string ChatWindowName(long window) {
    if (window == 1)
        return "Main";
    if (window >= 2 && window <= 5)
        return "Chat " + std::to_string(window - 1);
    return "window " + std::to_string(window);
}

namespace {

std::string PackHeader(const sim::World& world, int pack, ObjectId container) {
    const sim::Object* object = world.Find(container);
    std::vector<ObjectId> items = world.Contents(container);
    return "pack " + std::to_string(pack) + ": " + (object ? object->name : std::string()) + " (" +
           HexId(container) + ") " + std::to_string(items.size()) + "/" +
           std::to_string(world.Capacity(container));
}

std::string Quoted(const std::string& text) {
    return "\"" + EscapeLineBreaks(text) + "\"";
}

}  // namespace

std::vector<std::string> PackLines(const sim::World& world, int pack) {
    ObjectId container = PackContainer(world, pack);
    if (!container)
        return {};
    std::vector<std::string> lines{PackHeader(world, pack, container)};
    for (ObjectId id : world.Contents(container)) {
        const sim::Object* object = world.Find(id);
        lines.push_back("  " + std::to_string(object ? object->Slot() : -1) + " " +
                        ItemLabel(world, id));
    }
    return lines;
}

std::vector<std::string> WornLines(const sim::World& world) {
    std::vector<ObjectId> worn = world.Worn();
    std::vector<std::string> lines{"worn: " + CountOf(worn.size(), "item")};
    for (std::size_t i = 0; i < worn.size(); ++i)
        lines.push_back("  " + std::to_string(i) + " " + ItemLabel(world, worn[i]));
    return lines;
}

std::vector<std::string> PacksSummary(const sim::World& world) {
    std::vector<std::string> lines;
    auto names = [&](const std::vector<ObjectId>& ids) {
        std::string text;
        for (ObjectId id : ids) {
            const sim::Object* object = world.Find(id);
            text += (text.empty() ? ": " : ", ") + (object ? object->name : HexId(id));
            if (object && (object->StackMax() > 0 || object->StackCount() > 1))
                text += " x" + std::to_string(object->StackCount());
        }
        return text;
    };
    for (int pack = 0; pack <= PACK_SLOT_COUNT; ++pack) {
        ObjectId container = PackContainer(world, pack);
        if (container)
            lines.push_back(PackHeader(world, pack, container) + names(world.Contents(container)));
    }
    lines.push_back("worn: " + CountOf(world.Worn().size(), "item") + names(world.Worn()));
    return lines;
}

std::vector<std::string> ControlLines(const sim::ControlState& control) {
    using sim::ControlKind;
    std::string line = control.name + ": " + sim::ControlKindName(control.kind) +
                       " id=" + std::to_string(control.id);
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::StaticText:
        case ControlKind::Edit:
            line += " text=" + Quoted(control.text);
            break;
        case ControlKind::Checkbox:
            line += " text=" + Quoted(control.text) + " ticked=" + (control.checked ? "-1" : "0");
            break;
        case ControlKind::Choice:
            line += " selected=" + std::to_string(control.selected);
            break;
        case ControlKind::Notebook:
        case ControlKind::FixedLayout:
            break;
    }
    std::vector<std::string> lines{line};
    if (control.kind == ControlKind::Choice)
        for (std::size_t i = 0; i < control.options.size(); ++i)
            lines.push_back("  [" + std::to_string(i) + "] " + control.options[i]);
    return lines;
}

std::vector<std::string> PanelLines(const sim::CSimView& view) {
    const sim::ViewLayout& layout = view.Layout();
    auto attribute = [](const std::map<std::string, std::string>& attributes, const char* name) {
        auto it = attributes.find(name);
        return it == attributes.end() ? std::string("?") : it->second;
    };
    std::vector<std::string> lines{"view " + Quoted(layout.title) + " " +
                                   attribute(layout.attributes, "width") + "x" +
                                   attribute(layout.attributes, "height")};
    std::string page;
    bool first = true;
    for (const sim::SimControl* control : view.Controls()) {
        const sim::ControlState& state = control->state;
        if (state.kind == sim::ControlKind::Notebook || state.kind == sim::ControlKind::FixedLayout)
            continue;
        if (first || state.page != page) {
            page = state.page;
            first = false;
            lines.push_back("page " + Quoted(page));
        }
        std::vector<std::string> described = ControlLines(state);
        described[0] += " at " + attribute(state.attributes, "left") + "," +
                        attribute(state.attributes, "top") + " size " +
                        attribute(state.attributes, "width") + "x" +
                        attribute(state.attributes, "height");
        for (const std::string& line : described)
            lines.push_back("  " + line);
    }
    return lines;
}

std::string EscapeLineBreaks(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\r')
            escaped += "\\r";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}
