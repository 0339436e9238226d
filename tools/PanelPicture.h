// A picture of the plug-in's panel: the view the host built from the plug-in's view
// description, drawn as SVG with every control as it stands now.
#pragma once

#include <string>
#include <string_view>

namespace sim {
class CSimView;
}

// The id of a control's element in the picture: "ctl-" and its ID, or its name for a
// control the description gives no ID.
std::string PanelPictureId(long id, std::string_view name);

// An SVG document (UTF-8) with the notebook's pages side by side, each page with the
// view's title bar and tabs, and each control at its position and size with its text, the
// selected option of a choice and the tick of a checkbox. Every control is one group
// element with the id above and a tooltip naming it.
std::string PanelSvg(const sim::CSimView& view);

// A text as it can stand in XML: UTF-8 kept, a byte that is not UTF-8 and a character XML
// does not allow as U+FFFD, a tab as a blank, and line breaks shown as \r and \n.
std::string XmlSafeText(std::string_view text);
