// The configuration's XML document model over pugixml: loading, XPath selection, element
// editing and the start tag as it is written to the file.
#include "config/XmlDocument.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include <pugixml.hpp>

#include "platform/Text.h"

namespace {

pugi::xml_node NodeOf(void* node) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(node));
}

// U+FFFD, written for a character that XML 1.0 cannot hold.
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsXmlChar(char32_t c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

// The value as an XML 1.0 document can hold it, so that every XML reader of the shared
// file accepts it: a byte that is no UTF-8 is taken as the Latin-1 character it is in files
// that older clients wrote in an 8-bit code page; a control character, which no XML 1.0
// document can hold even as a reference, becomes U+FFFD. Values are read through this
// too, so that what the plug-in holds is what the next save writes.
std::string XmlText(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t pos = 0; pos < value.size();) {
        std::size_t start = pos;
        std::optional<char32_t> decoded = ReadUtf8Char(value, pos);
        if (!decoded)
            AppendUtf8(out, static_cast<unsigned char>(value[start]));
        else if (!IsXmlChar(*decoded))
            out += kReplacement;
        else
            out += value.substr(start, pos - start);
    }
    return out;
}

void AppendEscapedAttributeValue(std::string& out, std::string_view value) {
    for (char c : XmlText(value)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            // Raw line ends and tabs would read back as blanks (attribute normalisation).
            case '\t':
                out += "&#9;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                out += c;
        }
    }
}

std::vector<XmlElement> ElementsOf(const pugi::xpath_node_set& nodes,
                                   XmlElement (*make)(pugi::xml_node)) {
    std::vector<XmlElement> out;
    out.reserve(nodes.size());
    for (const pugi::xpath_node& found : nodes)
        if (found.node().type() == pugi::node_element)
            out.push_back(make(found.node()));
    return out;
}

// Selection that never throws: a pattern that does not parse selects nothing.
pugi::xpath_node_set SelectNodes(const pugi::xml_node& context, std::string_view xpath) {
    if (!context)
        return {};
    try {
        pugi::xpath_query query(std::string(xpath).c_str());
        if (!query)
            return {};
        pugi::xpath_node_set nodes = query.evaluate_node_set(context);
        nodes.sort();
        return nodes;
    } catch (const std::exception&) {
        return {};
    }
}

std::size_t CountTopLevelElements(const pugi::xml_document& doc) {
    std::size_t count = 0;
    for (pugi::xml_node child = doc.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            ++count;
    return count;
}

// The deepest element level of a built document, walked without recursion.
std::size_t DeepestElement(const pugi::xml_document& doc) {
    std::size_t deepest = 0;
    std::size_t depth = 1;  // of `node`; the document's own children are level 1
    for (pugi::xml_node node = doc.first_child(); node;) {
        if (node.type() == pugi::node_element)
            deepest = std::max(deepest, depth);
        if (node.first_child()) {
            node = node.first_child();
            ++depth;
            continue;
        }
        while (!node.next_sibling() && depth > 1) {
            node = node.parent();
            --depth;
        }
        node = node.next_sibling();
    }
    return deepest;
}

// The text in the units the parser reads it in: bytes, or the 16- or 32-bit units of a
// UTF-16 or UTF-32 text, recognised by the parser's own rules (a byte-order mark, else
// the zero bytes around a leading "<"). Every markup character is ASCII, and a unit that
// is not ASCII never becomes one when the parser converts the text.
class MarkupUnits {
  public:
    explicit MarkupUnits(std::string_view text) : text_(text) {
        if (text.size() >= 4)
            DetectWidth();
        EndAtZero();
    }

    std::size_t Size() const { return size_; }
    std::size_t Width() const { return width_; }
    std::size_t ByteOffset(std::size_t index) const { return index * width_; }

    // The unit at `index`; 0 past the end.
    char32_t operator[](std::size_t index) const {
        if (index >= size_)
            return 0;
        char32_t unit = 0;
        for (std::size_t i = 0; i < width_; ++i) {
            std::size_t byte = index * width_ + (bigEndian_ ? i : width_ - 1 - i);
            unit = (unit << 8) | static_cast<unsigned char>(text_[byte]);
        }
        return unit;
    }

    bool StartsWith(std::size_t index, std::string_view ascii) const {
        for (std::size_t i = 0; i < ascii.size(); ++i)
            if ((*this)[index + i] != static_cast<char32_t>(ascii[i]))
                return false;
        return true;
    }

    // The index just past the first `ascii` at or after `from`; Size() when there is none.
    std::size_t PastNext(std::size_t from, std::string_view ascii) const {
        for (std::size_t i = from; i < size_; ++i)
            if (StartsWith(i, ascii))
                return i + ascii.size();
        return size_;
    }

  private:
    void DetectWidth() {
        auto at = [&](std::size_t i) { return static_cast<unsigned char>(text_[i]); };
        const unsigned b0 = at(0), b1 = at(1), b2 = at(2), b3 = at(3);
        if ((b0 == 0 && b1 == 0 && b2 == 0xFE && b3 == 0xFF) ||
            (b0 == 0 && b1 == 0 && b2 == 0 && b3 == '<'))
            Set(4, true);
        else if ((b0 == 0xFF && b1 == 0xFE && b2 == 0 && b3 == 0) ||
                 (b0 == '<' && b1 == 0 && b2 == 0 && b3 == 0))
            Set(4, false);
        else if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0 && b1 == '<'))
            Set(2, true);
        else if ((b0 == 0xFF && b1 == 0xFE) || (b0 == '<' && b1 == 0))
            Set(2, false);
    }
    void Set(std::size_t width, bool bigEndian) {
        width_ = width;
        bigEndian_ = bigEndian;
        size_ = text_.size() / width;  // as the parser, a torn last unit is dropped
    }
    // The parser reads no further than a zero character.
    void EndAtZero() {
        for (std::size_t i = 0; i < size_; ++i) {
            if ((*this)[i] == 0) {
                size_ = i;
                return;
            }
        }
    }

    std::string_view text_;
    std::size_t width_ = 1;
    bool bigEndian_ = false;
    std::size_t size_ = text_.size();
};

// True when the declaration of an 8-bit text names Latin-1, which the parser converts.
bool DeclaresLatin1(std::string_view text) {
    if (!text.starts_with("<?xml"))
        return false;
    std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos)
        return false;
    std::size_t open = declaration.find_first_of("\"'", at);
    if (open == std::string_view::npos)
        return false;
    std::size_t close = declaration.find(declaration[open], open + 1);
    std::string name(declaration.substr(
        open + 1, close == std::string_view::npos ? std::string_view::npos : close - open - 1));
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return name == "iso-8859-1" || name == "latin1";
}

// Past a document type declaration that starts at `at` ("<!DOCTYPE"), following the
// parser: nested "<!" groups, "<![" sections, quoted strings, "<?...?>" and comments.
// Size() when it does not end, or holds what the parser refuses, for then nothing after
// it is built.
std::size_t PastDoctype(const MarkupUnits& units, std::size_t at) {
    const std::size_t end = units.Size();
    std::size_t groups = 0;
    std::size_t i = at + 2;
    while (i < end) {
        const char32_t c = units[i];
        if (c == '<' && units[i + 1] == '!' && units[i + 2] == '[') {
            std::size_t sections = 0;
            for (i += 3;;) {
                if (i >= end)
                    return end;
                if (units.StartsWith(i, "<![")) {
                    i += 3;
                    ++sections;
                } else if (units.StartsWith(i, "]]>")) {
                    i += 3;
                    if (sections == 0)
                        break;
                    --sections;
                } else {
                    ++i;
                }
            }
        } else if (c == '<' && units[i + 1] == '!' && units[i + 2] != '-') {
            i += 2;
            ++groups;
        } else if (c == '"' || c == '\'') {
            std::size_t close = i + 1;
            while (close < end && units[close] != c)
                ++close;
            if (close >= end)
                return end;
            i = close + 1;
        } else if (units.StartsWith(i, "<?")) {
            i = units.PastNext(i + 2, "?>");
        } else if (units.StartsWith(i, "<!--")) {
            i = units.PastNext(i + 4, "-->");
        } else if (c == '<') {
            return end;
        } else if (c == '>') {
            ++i;
            if (groups == 0)
                return i;
            --groups;
        } else {
            ++i;
        }
    }
    return end;
}

}  // namespace

std::optional<std::size_t> FindNestingBeyond(std::string_view text, std::size_t maxDepth) {
    const MarkupUnits units(text);
    const std::size_t end = units.Size();
    std::size_t depth = 0;
    std::size_t i = 0;
    while (i < end) {
        if (units[i] != '<') {
            ++i;
            continue;
        }
        const char32_t next = units[i + 1];
        if (next == '/') {
            depth -= depth > 0 ? 1 : 0;
            i = units.PastNext(i + 2, ">");
        } else if (next == '?') {
            i = units.PastNext(i + 2, "?>");
        } else if (units.StartsWith(i, "<!--")) {
            i = units.PastNext(i + 4, "-->");
        } else if (units.StartsWith(i, "<![CDATA[")) {
            i = units.PastNext(i + 9, "]]>");
        } else if (units.StartsWith(i, "<!DOCTYPE") && depth == 0) {
            i = PastDoctype(units, i);
        } else if (next == '!') {
            i += 2;  // markup the parser refuses: nothing after it is built
        } else {
            // A start tag: to its ">", stepping over quoted attribute values.
            std::size_t close = i + 1;
            for (char32_t quote = 0; close < end; ++close) {
                const char32_t c = units[close];
                if (quote != 0) {
                    quote = c == quote ? 0 : quote;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (depth + 1 > maxDepth)
                return units.ByteOffset(i);
            if (units[close - 1] != '/')
                ++depth;  // not self-closing: its content is one level deeper
            i = close + 1;
        }
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- XmlElement

pugi::xml_node XmlElement::Node() const {
    return NodeOf(node_);
}

std::string XmlElement::Name() const {
    return Node().name();
}

std::optional<std::string> XmlElement::Attribute(std::string_view name) const {
    pugi::xml_attribute attribute = Node().attribute(std::string(name).c_str());
    if (!attribute)
        return std::nullopt;
    return XmlText(attribute.value());
}

std::optional<std::int32_t> XmlElement::AttributeInt(std::string_view name) const {
    std::optional<std::string> text = Attribute(name);
    if (!text)
        return std::nullopt;
    std::string_view digits = *text;
    while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t'))
        digits.remove_prefix(1);
    while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t'))
        digits.remove_suffix(1);
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    if (value < INT32_MIN || value > static_cast<std::int64_t>(UINT32_MAX))
        return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

bool XmlElement::SetAttribute(std::string_view name, std::string_view value) {
    pugi::xml_node node = Node();
    if (!node || name.empty())
        return false;
    std::string key(name);
    pugi::xml_attribute attribute = node.attribute(key.c_str());
    if (!attribute)
        attribute = node.append_attribute(key.c_str());
    return attribute && attribute.set_value(std::string(value).c_str());
}

bool XmlElement::SetAttributeInt(std::string_view name, std::int32_t value) {
    return SetAttribute(name, std::to_string(value));
}

XmlElement XmlElement::SelectOne(std::string_view xpath) const {
    std::vector<XmlElement> all = SelectAll(xpath);
    return all.empty() ? XmlElement() : all.front();
}

std::vector<XmlElement> XmlElement::SelectAll(std::string_view xpath) const {
    return ElementsOf(SelectNodes(Node(), xpath),
                      [](pugi::xml_node n) { return XmlElement(n.internal_object()); });
}

std::vector<XmlElement> XmlElement::ChildElements() const {
    std::vector<XmlElement> out;
    for (pugi::xml_node child = Node().first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            out.push_back(XmlElement(child.internal_object()));
    return out;
}

XmlElement XmlElement::Child(std::string_view name) const {
    for (pugi::xml_node child = Node().first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && name == child.name())
            return XmlElement(child.internal_object());
    return {};
}

XmlElement XmlElement::AppendChild(std::string_view name) {
    pugi::xml_node node = Node();
    if (!node || !IsValidElementName(name))
        return {};
    return XmlElement(node.append_child(std::string(name).c_str()).internal_object());
}

XmlElement XmlElement::AppendCopy(const XmlElement& source) {
    pugi::xml_node node = Node();
    if (!node || !source)
        return {};
    return XmlElement(node.append_copy(source.Node()).internal_object());
}

XmlElement XmlElement::InsertCopyBefore(const XmlElement& source, const XmlElement& before) {
    pugi::xml_node node = Node();
    if (!node || !source || !before || before.Node().parent() != node)
        return {};
    return XmlElement(node.insert_copy_before(source.Node(), before.Node()).internal_object());
}

bool XmlElement::RemoveChild(const XmlElement& child) {
    pugi::xml_node node = Node();
    if (!node || !child || child.Node().parent() != node)
        return false;
    return node.remove_child(child.Node());
}

std::string XmlElement::StartTag() const {
    pugi::xml_node node = Node();
    if (!node)
        return {};
    std::string tag = "<";
    tag += node.name();
    for (pugi::xml_attribute attribute : node.attributes()) {
        tag += ' ';
        tag += attribute.name();
        tag += "=\"";
        AppendEscapedAttributeValue(tag, attribute.value());
        tag += '"';
    }
    tag += node.first_child() ? ">" : "/>";
    return tag;
}

std::vector<std::pair<std::string, std::string>> XmlElement::Attributes() const {
    std::vector<std::pair<std::string, std::string>> all;
    for (pugi::xml_attribute attribute : Node().attributes())
        all.emplace_back(attribute.name(), attribute.value());
    return all;
}

std::optional<std::size_t> XmlElement::SourceOffset() const {
    std::ptrdiff_t offset = Node().offset_debug();
    if (offset < 0)
        return std::nullopt;
    return static_cast<std::size_t>(offset);
}

// ---------------------------------------------------------------- CXmlDocument

CXmlDocument::CXmlDocument() : doc_(std::make_unique<pugi::xml_document>()) {}

CXmlDocument::~CXmlDocument() = default;

XmlLoadResult CXmlDocument::Load(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        doc_->reset();
        return {XmlLoadResult::Missing, 0, "no such file"};
    }
    if (error || std::filesystem::is_directory(status)) {
        doc_->reset();
        return {XmlLoadResult::Unreadable, 0, error ? error.message() : std::string("is a folder")};
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in)
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        doc_->reset();
        return {XmlLoadResult::Unreadable, 0, "cannot be read"};
    }
    return LoadText(bytes);
}

XmlLoadResult CXmlDocument::LoadText(std::string_view text) {
    const std::string tooDeep =
        "elements nested deeper than " + std::to_string(kMaxConfigDepth) + " levels";
    // The parser's own freeing of a subtree recurses once per level: a document deeper
    // than any configuration is never built.
    if (std::optional<std::size_t> at = FindNestingBeyond(text, kMaxConfigDepth)) {
        doc_->reset();
        return {XmlLoadResult::Malformed, *at, tooDeep};
    }
    auto fresh = std::make_unique<pugi::xml_document>();
    pugi::xml_parse_result parsed =
        fresh->load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_auto);
    if (!parsed) {
        doc_->reset();
        return {XmlLoadResult::Malformed, static_cast<std::size_t>(parsed.offset),
                parsed.description()};
    }
    if (CountTopLevelElements(*fresh) != 1) {
        doc_->reset();
        return {XmlLoadResult::Malformed, 0, "not exactly one root element"};
    }
    if (DeepestElement(*fresh) > kMaxConfigDepth) {
        assert(!"the nesting scan saw fewer levels than the parser built");
        doc_->reset();
        return {XmlLoadResult::Malformed, 0, tooDeep};
    }
    doc_ = std::move(fresh);
    return {XmlLoadResult::Loaded, 0, {}};
}

void CXmlDocument::Swap(CXmlDocument& other) noexcept {
    doc_.swap(other.doc_);
}

XmlElement CXmlDocument::SelectOne(std::string_view xpath) const {
    std::vector<XmlElement> all = SelectAll(xpath);
    return all.empty() ? XmlElement() : all.front();
}

std::vector<XmlElement> CXmlDocument::SelectAll(std::string_view xpath) const {
    return ElementsOf(SelectNodes(*doc_, xpath),
                      [](pugi::xml_node n) { return XmlElement(n.internal_object()); });
}

XmlElement CXmlDocument::Root() const {
    return XmlElement(doc_->document_element().internal_object());
}

std::string CXmlDocument::ToText() const {
    std::ostringstream out;
    doc_->save(out, "  ", pugi::format_default | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

// ---------------------------------------------------------------- names

bool IsNameStartChar(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsValidElementName(std::string_view name) {
    if (name.empty())
        return false;
    std::size_t pos = 0;
    bool first = true;
    while (pos < name.size()) {
        std::optional<char32_t> c = ReadUtf8Char(name, pos);
        if (!c || !(first ? IsNameStartChar(*c) : IsNameChar(*c)))
            return false;
        first = false;
    }
    return true;
}

std::optional<char32_t> ReadUtf8Char(std::string_view text, std::size_t& pos) {
    if (pos >= text.size())
        return std::nullopt;
    Utf8Char c = DecodeUtf8(text, pos);
    pos += c.valid ? c.length : 1;
    return c.valid ? std::optional<char32_t>(c.codePoint) : std::nullopt;
}

std::string ParsedText(std::string_view text) {
    MarkupUnits units(text);
    const bool latin1 = units.Width() == 1 && DeclaresLatin1(text);
    if (units.Width() == 1 && !latin1)
        return std::string(text.substr(0, units.Size()));
    std::string out;
    out.reserve(units.Size() * 2);
    for (std::size_t i = 0; i < units.Size(); ++i) {
        char32_t c = units[i];
        if (units.Width() == 2 && c >= 0xD800 && c < 0xDC00 && i + 1 < units.Size() &&
            units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, c);
    }
    return out;
}

bool IsXmlText(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        std::optional<char32_t> c = ReadUtf8Char(text, pos);
        if (!c || !IsXmlChar(*c))
            return false;
    }
    return true;
}
