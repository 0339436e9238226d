// Writes the configuration document one tag per line, as the file has always been laid out.
#include "config/ConfigWriter.h"

#include <cstddef>
#include <vector>

std::string ClosingTag(std::string_view startTag) {
    if (startTag.empty() || startTag.front() != '<')
        return std::string(startTag);
    std::string tag = "</";
    tag += startTag.substr(1);
    std::size_t blank = tag.find(' ');
    if (blank != std::string::npos) {
        tag.resize(blank);
        tag += '>';
    }
    return tag;
}

std::string WriteXmlElement(const XmlElement& element, const std::string& indent) {
    // An explicit stack, so that a deeply nested hand-edited file cannot exhaust the
    // call stack.
    struct Open {
        std::vector<XmlElement> children;
        std::size_t next = 0;
        std::string indent;
        std::string closing;
    };
    std::string text;
    std::vector<Open> open;
    auto start = [&](const XmlElement& e, const std::string& at) {
        std::string tag = e.StartTag();
        std::vector<XmlElement> children = e.SelectAll("*");
        // Its text and comments are not written: an element without element children
        // closes its own tag, as it reads back.
        if (children.empty() && !tag.ends_with("/>")) {
            tag.pop_back();
            tag += "/>";
        }
        text += at + tag + "\n";
        if (tag.ends_with("/>"))
            return;
        open.push_back({std::move(children), 0, at, ClosingTag(tag)});
    };
    if (!element)
        return text;
    start(element, indent);
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next < top.children.size()) {
            if (open.size() >= kMaxConfigDepth)
                return {};
            XmlElement child = top.children[top.next++];
            std::string childIndent = "  " + top.indent;
            start(child, childIndent);  // may grow `open`: `top` is not used after this
            continue;
        }
        text += top.indent + top.closing + "\n";
        open.pop_back();
    }
    return text;
}

std::string ConfigFileText(const CXmlDocument& document) {
    XmlElement root = document.SelectOne("/*");
    if (!root)
        return {};
    return WriteXmlElement(root, "");
}
