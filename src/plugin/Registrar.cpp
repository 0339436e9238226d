// Parsing and applying registration scripts.
#include "plugin/Registrar.h"

#include <charconv>
#include <string>

#include "platform/Ascii.h"

namespace {

constexpr int kMaxDepth = 32;

struct Token {
    enum class Type { End, Open, Close, Equals, Word, Quoted } type = Type::End;
    std::string text;
    std::size_t line = 1;
};

class Parser {
  public:
    Parser(std::string_view text, const RgsReplacements& replacements)
        : text_(text), replacements_(replacements) {}

    RgsParseResult Parse() {
        RgsParseResult result;
        RgsScript script;
        Next();
        while (ok_ && token_.type != Token::Type::End) {
            RgsHive hive;
            if (token_.type != Token::Type::Word || !HiveFromName(token_.text, &hive.hive)) {
                Fail("expected a hive name such as HKCR or HKLM");
                break;
            }
            Next();
            Expect(Token::Type::Open, "'{' after the hive name");
            while (ok_ && token_.type != Token::Type::Close) {
                RgsKey key;
                if (ParseKey(&key, 1))
                    hive.keys.push_back(std::move(key));
            }
            Expect(Token::Type::Close, "'}'");
            if (ok_)
                script.hives.push_back(std::move(hive));
        }
        if (ok_)
            result.script = std::move(script);
        result.line = errorLine_;
        result.error = error_;
        return result;
    }

  private:
    static bool HiveFromName(std::string_view name, HKEY* hive) {
        if (EqualsIgnoringCase(name, "HKCR") || EqualsIgnoringCase(name, "HKEY_CLASSES_ROOT"))
            *hive = HKEY_CLASSES_ROOT;
        else if (EqualsIgnoringCase(name, "HKCU") || EqualsIgnoringCase(name, "HKEY_CURRENT_USER"))
            *hive = HKEY_CURRENT_USER;
        else if (EqualsIgnoringCase(name, "HKLM") || EqualsIgnoringCase(name, "HKEY_LOCAL_MACHINE"))
            *hive = HKEY_LOCAL_MACHINE;
        else
            return false;
        return true;
    }

    void Fail(const std::string& message) {
        if (!ok_)
            return;
        ok_ = false;
        error_ = message;
        errorLine_ = token_.line;
    }

    void Expect(Token::Type type, const char* what) {
        if (!ok_)
            return;
        if (token_.type != type) {
            Fail(std::string("expected ") + what);
            return;
        }
        Next();
    }

    // A key: [NoRemove|ForceRemove|Delete] name [= value] [{ (val name = value | key)* }]
    bool ParseKey(RgsKey* key, int depth) {
        if (depth > kMaxDepth) {
            Fail("keys nested too deep");
            return false;
        }
        if (token_.type == Token::Type::Word) {
            if (EqualsIgnoringCase(token_.text, "NoRemove"))
                key->kind = RgsKey::Kind::NoRemove;
            else if (EqualsIgnoringCase(token_.text, "ForceRemove"))
                key->kind = RgsKey::Kind::ForceRemove;
            else if (EqualsIgnoringCase(token_.text, "Delete"))
                key->kind = RgsKey::Kind::Delete;
            if (key->kind != RgsKey::Kind::Plain)
                Next();
        }
        if (!ParseName(&key->name, true))
            return false;
        if (token_.type == Token::Type::Equals) {
            Next();
            RgsValue value;
            if (!ParseValue(&value))
                return false;
            key->defaultValue = std::move(value);
        }
        if (token_.type != Token::Type::Open)
            return ok_;
        Next();
        while (ok_ && token_.type != Token::Type::Close) {
            if (token_.type == Token::Type::Word && EqualsIgnoringCase(token_.text, "val")) {
                Next();
                RgsValue value;
                if (!ParseName(&value.name, false))
                    return false;
                Expect(Token::Type::Equals, "'=' after the value name");
                if (!ok_ || !ParseValue(&value))
                    return false;
                key->values.push_back(std::move(value));
                continue;
            }
            RgsKey child;
            if (!ParseKey(&child, depth + 1))
                return false;
            key->children.push_back(std::move(child));
        }
        Expect(Token::Type::Close, "'}' closing the key");
        return ok_;
    }

    bool ParseName(std::string* name, bool isKey) {
        if (token_.type != Token::Type::Word && token_.type != Token::Type::Quoted) {
            Fail(isKey ? "expected a key name" : "expected a value name");
            return false;
        }
        if (!Substitute(token_.text, name))
            return false;
        if (isKey && (name->empty() || name->find('\\') != std::string::npos)) {
            Fail("a key name must be one non-empty path element");
            return false;
        }
        Next();
        return true;
    }

    // s 'text' (string), e 'text' (expandable string) or d 1 / d '1' (DWORD).
    bool ParseValue(RgsValue* value) {
        if (token_.type != Token::Type::Word || token_.text.size() != 1) {
            Fail("expected a value type: s, e or d");
            return false;
        }
        char type = ToLowerAscii(token_.text[0]);
        Next();
        if (token_.type != Token::Type::Word && token_.type != Token::Type::Quoted) {
            Fail("expected the value's data");
            return false;
        }
        std::string data;
        if (!Substitute(token_.text, &data))
            return false;
        switch (type) {
            case 's':
                value->type = REG_SZ;
                value->text = std::move(data);
                break;
            case 'e':
                value->type = REG_EXPAND_SZ;
                value->text = std::move(data);
                break;
            case 'd':
                value->type = REG_DWORD;
                if (!ParseDword(data, &value->number)) {
                    Fail("a DWORD must be a decimal or 0x-prefixed 32-bit number");
                    return false;
                }
                break;
            default:
                Fail("expected a value type: s, e or d");
                return false;
        }
        Next();
        return true;
    }

    static bool ParseDword(std::string_view text, DWORD* number) {
        int base = 10;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            text.remove_prefix(2);
            base = 16;
        }
        if (text.empty())
            return false;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number, base);
        return error == std::errc() && end == text.data() + text.size();
    }

    bool Substitute(std::string_view raw, std::string* out) {
        out->clear();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '%') {
                out->push_back(raw[i]);
                continue;
            }
            std::size_t close = raw.find('%', i + 1);
            if (close == std::string_view::npos) {
                Fail("unterminated %NAME%");
                return false;
            }
            std::string_view name = raw.substr(i + 1, close - i - 1);
            if (name.empty()) {
                out->push_back('%');
            } else {
                auto found = replacements_.find(name);
                if (found == replacements_.end()) {
                    Fail("unknown replacement %" + std::string(name) + "%");
                    return false;
                }
                *out += found->second;
            }
            i = close;
        }
        return true;
    }

    void Next() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
            if (text_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
        token_ = Token{};
        token_.line = line_;
        if (pos_ >= text_.size())
            return;
        char c = text_[pos_];
        // A brace standing alone opens or closes a block; "{70dd...}" is a name.
        bool alone = pos_ + 1 >= text_.size() ||
                     std::isspace(static_cast<unsigned char>(text_[pos_ + 1])) ||
                     text_[pos_ + 1] == '{' || text_[pos_ + 1] == '}';
        if (((c == '{' || c == '}') && alone) || c == '=') {
            token_.type = c == '{' ? Token::Type::Open
                                   : (c == '}' ? Token::Type::Close : Token::Type::Equals);
            ++pos_;
            return;
        }
        if (c == '\'') {
            ++pos_;
            token_.type = Token::Type::Quoted;
            while (true) {
                if (pos_ >= text_.size()) {
                    Fail("unterminated quoted text");
                    token_.type = Token::Type::End;
                    return;
                }
                char q = text_[pos_++];
                if (q == '\'') {
                    // '' inside quotes is one quote.
                    if (pos_ < text_.size() && text_[pos_] == '\'') {
                        token_.text.push_back('\'');
                        ++pos_;
                        continue;
                    }
                    return;
                }
                if (q == '\n')
                    ++line_;
                token_.text.push_back(q);
            }
        }
        token_.type = Token::Type::Word;
        while (pos_ < text_.size()) {
            char w = text_[pos_];
            if (std::isspace(static_cast<unsigned char>(w)) || w == '=' || w == '\'')
                break;
            token_.text.push_back(w);
            ++pos_;
        }
    }

    std::string_view text_;
    const RgsReplacements& replacements_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    Token token_;
    bool ok_ = true;
    std::string error_;
    std::size_t errorLine_ = 0;
};

std::string Join(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
}

bool KeyExists(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool HasSubKeys(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char name[256];
    DWORD size = sizeof name;
    LSTATUS status = RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status != ERROR_NO_MORE_ITEMS;
}

bool Gone(LSTATUS status) {
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool SetValue(HKEY key, const RgsValue& value) {
    const char* name = value.name.empty() ? nullptr : value.name.c_str();
    if (value.type == REG_DWORD)
        return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                              sizeof value.number) == ERROR_SUCCESS;
    return RegSetValueExA(key, name, 0, value.type,
                          reinterpret_cast<const BYTE*>(value.text.c_str()),
                          static_cast<DWORD>(value.text.size() + 1)) == ERROR_SUCCESS;
}

bool RegisterKey(HKEY hive, const std::string& parent, const RgsKey& rgs) {
    const std::string path = Join(parent, rgs.name);
    if (rgs.kind == RgsKey::Kind::Delete)
        return Gone(RegDeleteTreeA(hive, path.c_str()));
    if (rgs.kind == RgsKey::Kind::ForceRemove && !Gone(RegDeleteTreeA(hive, path.c_str())))
        return false;
    HKEY key = nullptr;
    if (RegCreateKeyExA(hive, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = !rgs.defaultValue || SetValue(key, *rgs.defaultValue);
    for (const RgsValue& value : rgs.values)
        ok = ok && SetValue(key, value);
    RegCloseKey(key);
    for (const RgsKey& child : rgs.children)
        ok = ok && RegisterKey(hive, path, child);
    return ok;
}

bool UnregisterKey(HKEY hive, const std::string& parent, const RgsKey& rgs) {
    const std::string path = Join(parent, rgs.name);
    if (rgs.kind == RgsKey::Kind::Delete)
        return true;
    if (rgs.kind == RgsKey::Kind::ForceRemove)
        return Gone(RegDeleteTreeA(hive, path.c_str()));
    if (!KeyExists(hive, path))
        return true;
    bool ok = true;
    for (const RgsKey& child : rgs.children)
        ok = UnregisterKey(hive, path, child) && ok;
    if (!rgs.values.empty()) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
            for (const RgsValue& value : rgs.values)
                ok = Gone(RegDeleteValueA(key, value.name.c_str())) && ok;
            RegCloseKey(key);
        }
    }
    if (rgs.kind == RgsKey::Kind::Plain && !HasSubKeys(hive, path))
        ok = Gone(RegDeleteKeyA(hive, path.c_str())) && ok;
    return ok;
}

}  // namespace

RgsParseResult ParseRegistrationScript(std::string_view text, const RgsReplacements& replacements) {
    return Parser(text, replacements).Parse();
}

HRESULT ApplyRegistrationScript(const RgsScript& script, bool registering) {
    bool ok = true;
    for (const RgsHive& hive : script.hives) {
        for (const RgsKey& key : hive.keys) {
            ok = registering ? ok && RegisterKey(hive.hive, "", key)
                             : UnregisterKey(hive.hive, "", key) && ok;
        }
    }
    if (ok)
        return S_OK;
    if (registering)
        (void)ApplyRegistrationScript(script, false);
    return SELFREG_E_CLASS;
}

HRESULT RunRegistrationScript(std::string_view text, const RgsReplacements& replacements,
                              bool registering) {
    RgsParseResult parsed = ParseRegistrationScript(text, replacements);
    if (!parsed)
        return SELFREG_E_CLASS;
    return ApplyRegistrationScript(*parsed.script, registering);
}
