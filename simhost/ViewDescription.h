// The host's reading of a plug-in's view description: the notebook, its pages and every
// control with its ID, name, kind, text, options and selected entry.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WinTypes.h"

namespace sim {

enum class ControlKind { PushButton, StaticText, Choice, Checkbox, Edit, Notebook, FixedLayout };

// "PushButton", "Choice", ...
const char* ControlKindName(ControlKind kind);

// One control as described, and later as it stands in the built view.
struct ControlState {
    ControlKind kind = ControlKind::StaticText;
    std::string progid;
    LONG id = 0;  // 0 when the description gives no ID
    std::string name;
    std::string page;  // label of the notebook page it sits on, empty outside pages
    std::string text;
    LONG textColor = 0;
    std::vector<std::string> options;
    LONG selected = -1;
    bool checked = false;
    std::map<std::string, std::string> attributes;  // every attribute as written
};

struct ViewLayout {
    std::string title;
    std::map<std::string, std::string> attributes;  // of the view element
    std::vector<std::string> pages;                 // notebook page labels in order
    std::vector<ControlState> controls;             // in document order
};

struct ViewParseResult {
    std::optional<ViewLayout> layout;
    std::string error;
    explicit operator bool() const { return layout.has_value(); }
};

// Parses a view description, nested to any depth. Refused (with the reason) when the text
// is not XML, the root is not "view", a control has no progid or an unknown one, an ID,
// colour or selected entry is not a number, a selected entry is outside the options, or
// two controls have the same ID (names may repeat; IDs other than 0 may not).
[[nodiscard]] ViewParseResult ParseViewDescription(std::string_view xml);

}  // namespace sim
