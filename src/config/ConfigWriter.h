// The text of sortconfig.xml: one tag per line, two blanks of indent per depth.
#pragma once

#include <string>
#include <string_view>

#include "config/XmlDocument.h"

// The closing tag formed from a start tag: "/" inserted after the "<"; when the result
// holds a blank, it is cut at the first blank and ">" appended.
std::string ClosingTag(std::string_view startTag);

// `element` and, below it, its element children in document order: each line is the
// indent and a start tag, the indent growing by two blanks per depth; an element with
// element children is followed by them and its closing tag at its own indent. Text and
// comments are not written, so an element with nothing else is written as a
// self-closing tag. Lines end with "\n". Empty when an
// element lies more than kMaxConfigDepth levels deep (`element` is level 1): such a file
// would not load again, and its indent would outgrow its content.
std::string WriteXmlElement(const XmlElement& element, const std::string& indent);

// The whole file: the root element written with no indent; empty without a root.
std::string ConfigFileText(const CXmlDocument& document);
