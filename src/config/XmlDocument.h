// The configuration's XML document model: a small adapter over pugixml with the
// operations the configuration needs, so no other code touches pugixml directly.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

// A handle on one element of a CXmlDocument. An empty handle is safe to use: reads give
// nothing, writes do nothing and report failure. Valid while its document lives and the
// element is in it.
class XmlElement {
  public:
    XmlElement() = default;

    explicit operator bool() const { return node_ != nullptr; }
    std::string Name() const;

    std::optional<std::string> Attribute(std::string_view name) const;
    // The attribute read as a signed 32-bit decimal; ids written as negative numbers
    // read back to the same 32-bit pattern. Empty when missing or not a number.
    std::optional<std::int32_t> AttributeInt(std::string_view name) const;
    bool SetAttribute(std::string_view name, std::string_view value);
    bool SetAttributeInt(std::string_view name, std::int32_t value);

    // XPath selection relative to this element ("*", "Hotkey", "Item", ...).
    XmlElement SelectOne(std::string_view xpath) const;
    std::vector<XmlElement> SelectAll(std::string_view xpath) const;
    std::vector<XmlElement> ChildElements() const;

    // Appends a new element child; empty when the name is not a valid element name.
    XmlElement AppendChild(std::string_view name);
    bool RemoveChild(const XmlElement& child);

    // The start tag as the document model serialises the element: "<Name a=\"1\">", or
    // "<Name a=\"1\"/>" for an element without children.
    std::string StartTag() const;

  private:
    friend class CXmlDocument;
    explicit XmlElement(void* node) : node_(node) {}
    pugi::xml_node Node() const;
    void* node_ = nullptr;  // pugi::xml_node_struct*
};

class CXmlDocument {
  public:
    CXmlDocument();
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Replace the content; on failure the document is left empty and false returned.
    [[nodiscard]] bool Load(const std::string& path);
    [[nodiscard]] bool LoadText(std::string_view text);

    // XPath selection from the document ("/*", "/Tarnik/KEY/Item", ...).
    XmlElement SelectOne(std::string_view xpath) const;
    std::vector<XmlElement> SelectAll(std::string_view xpath) const;
    XmlElement Root() const;

    // The whole document as text (for tests and diagnostics).
    std::string ToText() const;

  private:
    std::unique_ptr<pugi::xml_document> doc_;
};

// True when `name` can be an XML element name.
bool IsValidElementName(std::string_view name);
