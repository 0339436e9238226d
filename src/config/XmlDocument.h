// The configuration's XML document model: a small adapter over pugixml with the
// operations the configuration needs, so no other code touches pugixml directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The configuration needs four levels (root, character, profile, step); a document that
// nests elements deeper than this is refused like one that does not parse, before any of
// it is built.
inline constexpr std::size_t kMaxConfigDepth = 64;

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

// What a load found. Failed until proven good.
struct XmlLoadResult {
    enum Status {
        Loaded,
        Missing,     // no file at the path
        Unreadable,  // the file exists but cannot be read (permissions, a folder, I/O)
        Malformed,   // read, but not a well-formed document with one root element
    };
    Status status = Malformed;
    std::size_t offset = 0;   // where parsing stopped, for Malformed
    std::string description;  // readable reason, empty when loaded

    explicit operator bool() const { return status == Loaded; }
};

// A handle on one element of a CXmlDocument. An empty handle is safe to use: reads give
// nothing, writes do nothing and report failure. Valid while its document lives and the
// element is in it; loading new content into the document invalidates every handle.
class XmlElement {
  public:
    XmlElement() = default;

    explicit operator bool() const { return node_ != nullptr; }
    friend bool operator==(const XmlElement&, const XmlElement&) = default;
    std::string Name() const;

    std::optional<std::string> Attribute(std::string_view name) const;
    // The attribute read as a signed 32-bit decimal; ids written as negative numbers
    // read back to the same 32-bit pattern, and so do unsigned decimals up to 4294967295.
    // Empty when missing or not a number.
    std::optional<std::int32_t> AttributeInt(std::string_view name) const;
    // Every attribute as (name, value), in document order.
    std::vector<std::pair<std::string, std::string>> Attributes() const;
    // Sets the attribute, appending it after the others when it is new.
    bool SetAttribute(std::string_view name, std::string_view value);
    bool SetAttributeInt(std::string_view name, std::int32_t value);

    // XPath selection relative to this element ("*", "Hotkey", "Item", ...). Only elements
    // are returned, in document order; a pattern that does not parse selects nothing.
    XmlElement SelectOne(std::string_view xpath) const;
    std::vector<XmlElement> SelectAll(std::string_view xpath) const;
    std::vector<XmlElement> ChildElements() const;
    // The first element child with exactly this name, without a selection pattern.
    XmlElement Child(std::string_view name) const;

    // Appends a new element child; empty when the name is not a valid element name.
    XmlElement AppendChild(std::string_view name);
    // Copies `source` (from any document) with its attributes and children.
    XmlElement AppendCopy(const XmlElement& source);
    XmlElement InsertCopyBefore(const XmlElement& source, const XmlElement& before);
    bool RemoveChild(const XmlElement& child);

    // The start tag as the document model serialises the element: "<Name a=\"1\">", or
    // "<Name a=\"1\"/>" for an element without children. Attributes in document order,
    // values in double quotes with &, <, >, " and the line-end and tab characters escaped.
    // Whatever a value holds, the tag is UTF-8 that XML 1.0 accepts: a byte that is no
    // UTF-8 is written as the Latin-1 character it stands for, and a character that XML
    // cannot hold (see IsXmlText) as U+FFFD.
    std::string StartTag() const;

    // Where the element's name stands in the text the document was loaded from, in bytes;
    // empty for an element made since, whose place no file knows.
    std::optional<std::size_t> SourceOffset() const;

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

    // Replace the content from a file of this machine's file system (map Windows paths
    // first) or from text. UTF-8 unless a byte-order mark or declaration says otherwise.
    // Elements nested deeper than kMaxConfigDepth make the text Malformed. On failure the
    // document is left empty.
    [[nodiscard]] XmlLoadResult Load(const std::filesystem::path& path);
    [[nodiscard]] XmlLoadResult LoadText(std::string_view text);
    // Exchanges the contents; handles keep pointing at their elements, now in `other`.
    void Swap(CXmlDocument& other) noexcept;

    // XPath selection from the document ("/*", "/Tarnik/KEY/Item", ...).
    XmlElement SelectOne(std::string_view xpath) const;
    std::vector<XmlElement> SelectAll(std::string_view xpath) const;
    XmlElement Root() const;

    // The whole document as text (for tests and diagnostics).
    std::string ToText() const;

    // Set when the document holds changes its file lacks because a write failed.
    bool HasUnsavedChanges() const { return m_Unsaved; }
    void SetUnsavedChanges(bool unsaved) { m_Unsaved = unsaved; }

  private:
    std::unique_ptr<pugi::xml_document> doc_;
    bool m_Unsaved = false;
};

// The byte offset of the first start tag in `text` that opens an element more than
// `maxDepth` levels deep (the root element is level 1); empty when there is none. Found
// without building a document, and never later than the parser would build that element:
// comments, CDATA sections, processing instructions, quoted attribute values and the
// document type declaration are skipped as the parser skips them, UTF-16 and UTF-32 text
// is read in its own units, and nothing after a zero character is read.
std::optional<std::size_t> FindNestingBeyond(std::string_view text, std::size_t maxDepth);

// `text` as the parser holds it once loaded: converted to UTF-8 from UTF-16, UTF-32 or a
// declared Latin-1, and ending at a zero character. SourceOffset and a Malformed result's
// offset count bytes of this text, not of the file.
std::string ParsedText(std::string_view text);

// XML names, without the namespace colon so that every valid name can also stand as a
// step of a selection path.
bool IsNameStartChar(char32_t c);
bool IsNameChar(char32_t c);
// True when `name` (UTF-8) can be an XML element name.
bool IsValidElementName(std::string_view name);

// True when `text` is UTF-8 whose every character an XML 1.0 document can hold: no
// control character but tab and the line ends, and neither U+FFFE nor U+FFFF. Text that
// is not cannot be stored in sortconfig.xml as it is.
bool IsXmlText(std::string_view text);

// Decodes the UTF-8 character at `pos` and moves past it. A malformed sequence yields
// nothing and moves past its first byte.
std::optional<char32_t> ReadUtf8Char(std::string_view text, std::size_t& pos);
