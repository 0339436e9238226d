// Drawing the panel as SVG.
#include "PanelPicture.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "platform/Text.h"
#include "simhost/HostObjects.h"

namespace {

constexpr int kMargin = 16;
constexpr int kGap = 24;
constexpr int kTitleBar = 20;
constexpr int kTabRow = 20;
constexpr int kFontSize = 10;
constexpr double kCharWidth = 5.6;  // the average advance of the font at kFontSize

// Colours in the spirit of the game's brown panels.
constexpr const char* kFrame = "#1b1610";
constexpr const char* kPage = "#3b3226";
constexpr const char* kTitleFill = "#5a4a32";
constexpr const char* kTabFill = "#4a3e2c";
constexpr const char* kLightText = "#f2e8cc";
constexpr const char* kButtonFace = "#d9cfb4";
constexpr const char* kButtonEdge = "#7a6a48";
constexpr const char* kFieldFill = "#241e15";
constexpr const char* kFieldEdge = "#9a8a62";
constexpr const char* kPortalFill = "#0e0c09";

void AppendReplacement(std::string& out) {
    out += "\xEF\xBF\xBD";
}

// The length of the UTF-8 sequence that starts text[at], or 0 when it is not one or is a
// character XML does not allow (U+FFFE, U+FFFF).
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    Utf8Char c = DecodeUtf8(text, at);
    return c.valid && c.codePoint != 0xFFFE && c.codePoint != 0xFFFF ? c.length : 0;
}

std::string Colour(long colorref) {
    // COLORREF: 0x00BBGGRR.
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned>(colorref & 0xFF),
                  static_cast<unsigned>((colorref >> 8) & 0xFF),
                  static_cast<unsigned>((colorref >> 16) & 0xFF));
    return text;
}

bool IsLight(long colorref) {
    double red = colorref & 0xFF, green = (colorref >> 8) & 0xFF, blue = (colorref >> 16) & 0xFF;
    return 0.299 * red + 0.587 * green + 0.114 * blue > 160;
}

int Attribute(const sim::ControlState& control, const char* name) {
    auto it = control.attributes.find(name);
    if (it == control.attributes.end())
        return 0;
    long value = std::strtol(it->second.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, -100000, 100000));
}

bool HasAttribute(const sim::ControlState& control, const char* name) {
    return control.attributes.count(name) > 0;
}

std::string Number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// A small builder over pugixml: attributes by name and value, in the order given.
class Element {
  public:
    explicit Element(pugi::xml_node node) : node_(node) {}
    Element Child(const char* name) { return Element(node_.append_child(name)); }
    Element& Set(const char* name, const std::string& value) {
        node_.append_attribute(name).set_value(value.c_str());
        return *this;
    }
    Element& Set(const char* name, double value) { return Set(name, Number(value)); }
    Element& Text(std::string_view text) {
        node_.append_child(pugi::node_pcdata).set_value(XmlSafeText(text).c_str());
        return *this;
    }

  private:
    pugi::xml_node node_;
};

Element Rect(Element& parent, double x, double y, double width, double height,
             const std::string& fill, const std::string& stroke, double radius = 0) {
    Element rect = parent.Child("rect");
    rect.Set("x", x).Set("y", y).Set("width", width).Set("height", height).Set("fill", fill);
    if (!stroke.empty())
        rect.Set("stroke", stroke);
    if (radius > 0)
        rect.Set("rx", radius);
    return rect;
}

Element Label(Element& parent, double x, double y, std::string_view text, const std::string& colour,
              const char* anchor = "start") {
    Element label = parent.Child("text");
    label.Set("x", x).Set("y", y).Set("fill", colour);
    if (std::string_view(anchor) != "start")
        label.Set("text-anchor", anchor);
    label.Text(text);
    return label;
}

// The text colour a control shows: its own where the description or the plug-in gave one,
// else the light text of the panel (or the black of a button or a plain edit field).
std::string TextColour(const sim::ControlState& control, bool onLightFace) {
    if (HasAttribute(control, "textcolor") || control.textColor != 0)
        return Colour(control.textColor);
    return onLightFace ? "#000000" : kLightText;
}

std::string Tooltip(const sim::ControlState& control) {
    std::string tip = (control.name.empty() ? std::string("(no name)") : control.name) + " (" +
                      (control.id ? std::to_string(control.id) : std::string("no ID")) +
                      "): " + sim::ControlKindName(control.kind);
    switch (control.kind) {
        case sim::ControlKind::Choice:
            tip += ", selected " + std::to_string(control.selected);
            for (std::size_t i = 0; i < control.options.size(); ++i)
                tip += (i ? ", [" : "; [") + std::to_string(i) + "] " + control.options[i];
            break;
        case sim::ControlKind::Checkbox:
            tip += std::string(control.checked ? ", ticked" : ", not ticked") + " \"" +
                   control.text + "\"";
            break;
        default:
            tip += " \"" + control.text + "\"";
            break;
    }
    return tip;
}

void DrawControl(Element& page, const sim::ControlState& control) {
    const int left = Attribute(control, "left"), top = Attribute(control, "top");
    const int width = std::max(0, Attribute(control, "width"));
    const int height = std::max(0, Attribute(control, "height"));
    Element group = page.Child("g");
    group.Set("id", PanelPictureId(control.id, control.name))
        .Set("class", sim::ControlKindName(control.kind));
    group.Child("title").Text(Tooltip(control));
    // A nested viewport clips what does not fit the control, as the real panel does.
    Element box = group.Child("svg");
    box.Set("x", left).Set("y", top).Set("width", width).Set("height", height);
    const double baseline = std::min(height, (height + kFontSize) / 2 - 1);

    switch (control.kind) {
        case sim::ControlKind::PushButton: {
            Rect(box, 0.5, 0.5, std::max(0, width - 1), std::max(0, height - 1), kButtonFace,
                 kButtonEdge, 3);
            Element label = Label(box, width / 2.0, baseline, control.text,
                                  TextColour(control, true), "middle");
            // A light text colour (the recorder's green) on the light face gets a dark rim.
            if (IsLight(control.textColor))
                label.Set("stroke", kFrame).Set("stroke-width", 2).Set("paint-order", "stroke");
            break;
        }
        case sim::ControlKind::StaticText:
            Label(box, 0, std::min(height, kFontSize), control.text, TextColour(control, false));
            break;
        case sim::ControlKind::Choice: {
            Rect(box, 0.5, 0.5, std::max(0, width - 1), std::max(0, height - 1), kFieldFill,
                 kFieldEdge);
            bool chosen = control.selected >= 0 &&
                          static_cast<std::size_t>(control.selected) < control.options.size();
            if (chosen)
                Label(box, 4, baseline, control.options[static_cast<std::size_t>(control.selected)],
                      TextColour(control, false));
            double x = width - 12;
            double y = height / 2.0 - 2;
            box.Child("path")
                .Set("d", "M" + Number(x) + "," + Number(y) + " h8 l-4,5 z")
                .Set("fill", kFieldEdge);
            break;
        }
        case sim::ControlKind::Checkbox: {
            double y = (height - 12) / 2.0;
            Rect(box, 0.5, y + 0.5, 11, 11, kFieldFill, kFieldEdge);
            if (control.checked)
                box.Child("path")
                    .Set("d", "M2.5," + Number(y + 6) + " l3,3 l5,-7")
                    .Set("fill", "none")
                    .Set("stroke", kLightText)
                    .Set("stroke-width", 2);
            Label(box, 16, baseline, control.text, TextColour(control, false));
            break;
        }
        case sim::ControlKind::Edit: {
            bool portal = HasAttribute(control, "imageportalsrc");
            Rect(box, 0.5, 0.5, std::max(0, width - 1), std::max(0, height - 1),
                 portal ? kPortalFill : "#ffffff", kFieldEdge);
            Label(box, 3, baseline, control.text, TextColour(control, !portal));
            break;
        }
        case sim::ControlKind::Notebook:
        case sim::ControlKind::FixedLayout:
            break;
    }
}

}  // namespace

std::string PanelPictureId(long id, std::string_view name) {
    return "ctl-" + (id != 0 ? std::to_string(id) : XmlSafeText(name));
}

std::string XmlSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        auto c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            if (c == '\r')
                out += "\\r";
            else if (c == '\n')
                out += "\\n";
            else if (c == '\t')
                out += ' ';
            else if (c < 0x20)
                AppendReplacement(out);
            else
                out += static_cast<char>(c);
            ++at;
        } else if (std::size_t length = Utf8Length(text, at)) {
            out.append(text.substr(at, length));
            at += length;
        } else {
            AppendReplacement(out);
            ++at;
        }
    }
    return out;
}

std::string PanelSvg(const sim::CSimView& view) {
    const sim::ViewLayout& layout = view.Layout();
    auto viewSize = [&](const char* name, int fallback) {
        auto it = layout.attributes.find(name);
        long value =
            it == layout.attributes.end() ? fallback : std::strtol(it->second.c_str(), nullptr, 10);
        return static_cast<int>(std::clamp<long>(value, 1, 4000));
    };
    const int pageWidth = viewSize("width", 300);
    const int pageHeight = viewSize("height", 220);
    std::vector<std::string> pages = layout.pages;
    if (pages.empty())
        pages.push_back("");  // a view without a notebook is one page
    const int count = static_cast<int>(pages.size());
    const int totalWidth = 2 * kMargin + count * pageWidth + (count - 1) * kGap;
    const int totalHeight = 2 * kMargin + kTitleBar + kTabRow + pageHeight;

    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    Element svg(document.append_child("svg"));
    svg.Set("xmlns", "http://www.w3.org/2000/svg")
        .Set("width", totalWidth)
        .Set("height", totalHeight)
        .Set("viewBox", "0 0 " + std::to_string(totalWidth) + " " + std::to_string(totalHeight))
        .Set("font-family", "Tahoma, Verdana, DejaVu Sans, sans-serif")
        .Set("font-size", kFontSize);
    svg.Child("title").Text(layout.title + ": the control panel, page by page");
    Rect(svg, 0, 0, totalWidth, totalHeight, "#e9e4d8", "");

    for (int index = 0; index < count; ++index) {
        const int x = kMargin + index * (pageWidth + kGap);
        Element frame = svg.Child("g");
        frame.Set("class", "page")
            .Set("data-page", XmlSafeText(pages[static_cast<std::size_t>(index)]));
        Rect(frame, x - 1, kMargin - 1, pageWidth + 2, kTitleBar + kTabRow + pageHeight + 2, kFrame,
             "");
        Rect(frame, x, kMargin, pageWidth, kTitleBar, kTitleFill, "");
        Label(frame, x + 6, kMargin + 14, layout.title, kLightText).Set("font-weight", "bold");

        // The notebook's tabs, this page's tab raised.
        double tabX = x + 2;
        for (int tab = 0; tab < count && count > 1; ++tab) {
            double tabWidth = pages[static_cast<std::size_t>(tab)].size() * kCharWidth + 8;
            bool current = tab == index;
            Rect(frame, tabX, kMargin + kTitleBar + (current ? 2 : 4), tabWidth,
                 kTabRow - (current ? 2 : 4), current ? kPage : kTabFill, kButtonEdge, 2);
            Label(frame, tabX + tabWidth / 2, kMargin + kTitleBar + 15,
                  pages[static_cast<std::size_t>(tab)], current ? kLightText : "#bfb49a", "middle");
            tabX += tabWidth + 2;
        }

        Element content = frame.Child("svg");
        content.Set("x", x)
            .Set("y", kMargin + kTitleBar + kTabRow)
            .Set("width", pageWidth)
            .Set("height", pageHeight);
        Rect(content, 0, 0, pageWidth, pageHeight, kPage, "");
        for (const sim::SimControl* control : view.Controls()) {
            const sim::ControlState& state = control->state;
            if (state.kind == sim::ControlKind::Notebook ||
                state.kind == sim::ControlKind::FixedLayout)
                continue;
            // A control stands on the first page of its label; one outside the notebook's
            // pages stands on the first page.
            auto page = std::find(pages.begin(), pages.end(), state.page);
            std::ptrdiff_t home = page == pages.end() ? 0 : page - pages.begin();
            if (home == index)
                DrawControl(content, state);
        }
    }

    std::ostringstream out;
    document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}
