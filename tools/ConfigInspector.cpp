// Reading a sortconfig.xml the way the plug-in reads it at login: each character's chat
// window, pins, pack configuration, hotkeys, hot commands and profiles, and every element
// the plug-in would skip, replace, repair or never use.
#include "ConfigInspector.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "Display.h"
#include "commands/Commands.h"
#include "config/Config.h"
#include "config/ConfigReader.h"
#include "equip/Equip.h"
#include "platform/Ascii.h"
#include "plugin/Types.h"

namespace schema = config_schema;

namespace {

std::string Quoted(std::string_view text) {
    return "\"" + EscapeLineBreaks(text) + "\"";
}

std::string Count(std::size_t n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();)
        if (!ReadUtf8Char(text, pos))
            return false;
    return true;
}

bool Contains(const auto& list, std::string_view name) {
    return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

// Why the plug-in cannot read the attribute `name` (a number when `numeric`), or empty.
std::string AttributeFaults(const XmlElement& element, std::string_view name, bool numeric) {
    std::optional<std::string> text = element.Attribute(name);
    if (!text)
        return "no \"" + std::string(name) + "\"";
    if (numeric && !element.AttributeInt(name))
        return (std::string_view("aeiou").find(name[0]) == std::string_view::npos ? "a \""
                                                                                  : "an \"") +
               std::string(name) + "\" of " + Quoted(*text) + ", which is no 32-bit number";
    return {};
}

// "equip 0x80000288 (Equip Iron Axe)": what the step does, then its stored name.
std::string StepText(std::int32_t action, ObjectId item, const std::string& name) {
    std::string what;
    switch (action) {
        case EQUIP_ACTION_EQUIP:
            what = "equip " + HexId(item);
            break;
        case EQUIP_ACTION_UNEQUIP:
            what = "take off " + HexId(item);
            break;
        default:
            if (const StripKind* strip = StripKindOf(action))
                what = strip->description;
            else
                what = "action " + std::to_string(action) + ", passed over";
    }
    return what + " (" + EscapeLineBreaks(name) + ")";
}

class Inspector {
  public:
    // `text` is the file as the parser holds it (ParsedText), whose bytes the offsets count.
    Inspector(std::string file, std::string text) : file_(std::move(file)), text_(std::move(text)) {
        lineStarts_.push_back(0);
        for (std::size_t at = text_.find('\n'); at != std::string::npos;
             at = text_.find('\n', at + 1))
            lineStarts_.push_back(at + 1);
    }

    void Inspect(const CXmlDocument& document);
    // The problem of a file that is no document: where parsing stopped and why.
    void Unparsable(const XmlLoadResult& result);

    // The problems in the order of their lines.
    std::vector<std::string> Problems() const {
        std::vector<std::pair<std::size_t, std::string>> sorted = problems_;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::string> texts;
        for (auto& [line, text] : sorted)
            texts.push_back(std::move(text));
        return texts;
    }

    std::vector<std::string> characters;
    std::vector<std::string> listing;

  private:
    std::size_t LineOf(std::size_t offset) const {
        return static_cast<std::size_t>(
            std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) - lineStarts_.begin());
    }
    std::optional<std::size_t> Line(const XmlElement& element) const {
        std::optional<std::size_t> offset = element.SourceOffset();
        if (!offset || *offset > text_.size())
            return std::nullopt;
        return LineOf(*offset);
    }
    std::string LineText(const XmlElement& element) const {
        std::optional<std::size_t> line = Line(element);
        return line ? "line " + std::to_string(*line) : "an earlier line";
    }
    void Problem(const XmlElement& at, std::string_view character, const std::string& text) {
        std::optional<std::size_t> line = Line(at);
        std::string where = file_ + (line ? ":" + std::to_string(*line) : "") + ": ";
        if (!character.empty())
            where += std::string(character) + ": ";
        problems_.emplace_back(line.value_or(0), where + text);
    }

    void CheckNames(const XmlElement& element, std::string_view character);
    void CheckText(const XmlElement& element, std::string_view character, bool below);
    void Character(const XmlElement& user);
    void Diagnostic(const ConfigDiagnostic& found, const CharacterSettings& settings,
                    const std::string& key);
    void ChatWindow(const CharacterSettings& settings);
    void Pins(const CharacterSettings& settings);
    void PackConfiguration(const CharacterSettings& settings);
    void Hotkeys(const CharacterSettings& settings, const std::string& key);
    void HotCommands(const CharacterSettings& settings, const std::string& key);
    void Profiles(const CharacterSettings& settings, const std::string& key);

    std::string file_;
    std::string text_;
    std::vector<std::size_t> lineStarts_;  // the offset of each line's first byte
    std::vector<std::pair<std::size_t, std::string>> problems_;  // by line
};

void Inspector::Unparsable(const XmlLoadResult& result) {
    std::size_t offset = std::min(result.offset, text_.size());
    std::size_t lineStart = text_.rfind('\n', offset == 0 ? 0 : offset - 1);
    lineStart = lineStart == std::string::npos || offset == 0 ? 0 : lineStart + 1;
    problems_.emplace_back(
        LineOf(offset),
        file_ + ":" + std::to_string(LineOf(offset)) + ":" +
            std::to_string(offset - lineStart + 1) + ": not a well-formed document (" +
            result.description + "): the plug-in moves it aside as " +
            std::filesystem::path(file_).filename().string() + ".bad and starts a fresh file");
}

void Inspector::Inspect(const CXmlDocument& document) {
    XmlElement root = document.Root();
    std::map<std::string, XmlElement> seen;
    CheckText(root, {}, false);
    for (const XmlElement& user : root.ChildElements()) {
        std::string key = user.Name();
        characters.push_back(key);
        CheckText(user, IsValidElementName(key) ? key : std::string(), true);
        if (!IsValidElementName(key)) {
            listing.push_back("character " + key + " (" + LineText(user) + "): never read");
            Problem(user, {},
                    "the element name " + Quoted(key) +
                        " is not a valid XML name, so no character's key is this name: the "
                        "plug-in never reads it");
            continue;
        }
        auto [first, added] = seen.try_emplace(key, user);
        if (!added) {
            listing.push_back("character " + key + " (" + LineText(user) + "): never read");
            Problem(user, key,
                    "a second element for this character: the plug-in reads and saves only the "
                    "one at " +
                        LineText(first->second));
            continue;
        }
        Character(user);
    }
}

// Names the plug-in never reads below the character element: element names that are not
// valid XML names, and elements it does not know.
void Inspector::CheckNames(const XmlElement& element, std::string_view character) {
    for (const XmlElement& child : element.ChildElements()) {
        std::string name = child.Name();
        bool known =
            element.Name() == schema::kEquipProfile.name
                ? name == schema::kTask.name
                : std::any_of(std::begin(schema::kCharacterChildren),
                              std::end(schema::kCharacterChildren),
                              [&](const schema::Element& row) { return row.name == name; });
        if (!IsValidElementName(name))
            Problem(child, character,
                    "the element name " + Quoted(name) +
                        " is not a valid XML name: the plug-in never reads it");
        else if (!known)
            Problem(child, character,
                    "<" + name + "> inside <" + element.Name() +
                        "> is no element the plug-in reads: it is kept as it is and never used");
        if (child.Name() == "EquipProfile")
            CheckNames(child, character);
    }
}

void Inspector::Character(const XmlElement& user) {
    const std::string key = user.Name();
    listing.push_back("character " + key + " (" + LineText(user) + ")");
    CharacterSettings settings = ReadCharacterElement(user);
    for (const ConfigDiagnostic& found : settings.diagnostics)
        Diagnostic(found, settings, key);
    ChatWindow(settings);
    Pins(settings);
    PackConfiguration(settings);
    Hotkeys(settings, key);
    HotCommands(settings, key);
    Profiles(settings, key);
    CheckNames(user, key);
}

// Values that XML 1.0 cannot hold, in `element` and, when `below`, in the elements under
// it: other clients' XML readers refuse the whole file.
void Inspector::CheckText(const XmlElement& element, std::string_view character, bool below) {
    for (const auto& [name, value] : element.Attributes()) {
        if (IsXmlText(value))
            continue;
        bool utf8 = IsValidUtf8(value);
        Problem(element, character,
                "the \"" + name + "\" of <" + element.Name() + "> holds " +
                    (utf8 ? "a control character" : "bytes that are no UTF-8") +
                    ", which XML 1.0 cannot hold, so other XML readers refuse the whole file: "
                    "the plug-in writes " +
                    (utf8 ? "U+FFFD in its place" : "each such byte as the Latin-1 character"));
    }
    if (below)
        for (const XmlElement& child : element.ChildElements())
            CheckText(child, character, true);
}

// What the reader says of an element the plug-in cannot use as it stands.
void Inspector::Diagnostic(const ConfigDiagnostic& found, const CharacterSettings& settings,
                           const std::string& key) {
    const XmlElement& at = found.at;
    const std::string name = at.Name();
    switch (found.kind) {
        case ConfigDiagnostic::NoOutputWindow:
            Problem(at, key,
                    "no OutputWindow: the plug-in writes to Main and stores \"Main\" at its next "
                    "save");
            return;
        case ConfigDiagnostic::UnknownOutputWindow:
            Problem(at, key,
                    "OutputWindow " + Quoted(settings.outputWindow) +
                        " names no chat window (Main, Chat 1 to Chat 4): the plug-in writes to "
                        "Main");
            return;
        case ConfigDiagnostic::Unreadable: {
            if (name == schema::kEquipProfile.name) {
                Problem(at, key, "EquipProfile with no \"name\": never listed or played");
                return;
            }
            const schema::Element* row = nullptr;
            for (const schema::Element& candidate : schema::kCharacterChildren)
                if (candidate.name == name)
                    row = &candidate;
            // Item and Pin read their "pack" as a number, and Pin its "value" as well.
            std::string faults = AttributeFaults(at, row->first, name == schema::kPin.name);
            std::string second = AttributeFaults(
                at, row->second, name == schema::kPin.name || name == schema::kItem.name);
            if (!second.empty())
                faults += (faults.empty() ? "" : " and ") + second;
            Problem(at, key, name + " with " + faults + ": skipped");
            return;
        }
        case ConfigDiagnostic::Replaced: {
            std::string what;
            if (name == schema::kPin.name)
                what = "for item " +
                       HexId(static_cast<ObjectId>(*at.AttributeInt(schema::kPin.first)));
            else if (name == schema::kHotkey.name)
                what = "for " + Quoted(*at.Attribute(schema::kHotkey.first));
            else
                what = Quoted(*at.Attribute(schema::kHotCommand.first));
            Problem(at, key,
                    "a second " + name + " " + what + " replaces the one at " +
                        LineText(found.earlier) + ", which is never used");
            return;
        }
        case ConfigDiagnostic::RepeatedItem:
        case ConfigDiagnostic::ItemForAnotherPack: {
            auto pack = static_cast<ObjectId>(*at.AttributeInt(schema::kItem.second));
            Problem(
                at, key,
                "Item " + Quoted(*at.Attribute(schema::kItem.first)) + " for pack " + HexId(pack) +
                    (found.kind == ConfigDiagnostic::RepeatedItem
                         ? " repeats the one at " + LineText(found.earlier)
                         : " comes after the one for pack " +
                               HexId(static_cast<ObjectId>(
                                   *found.earlier.AttributeInt(schema::kItem.second))) +
                               " at " + LineText(found.earlier) + ", and only the first counts") +
                    ": dropped");
            return;
        }
    }
}

void Inspector::ChatWindow(const CharacterSettings& settings) {
    if (!settings.outputWindowStored)
        listing.push_back("  chat window: Main (not stored)");
    else if (!Contains(ChatWindows, settings.outputWindow))
        listing.push_back("  chat window: " + Quoted(settings.outputWindow) + ", used as Main");
    else
        listing.push_back("  chat window: " + settings.outputWindow);
}

void Inspector::Pins(const CharacterSettings& settings) {
    std::map<ObjectId, ObjectId> pins;
    for (const auto& [pin, element] : settings.pins)
        pins[pin.item] = pin.pack;
    listing.push_back("  pins: " + std::to_string(pins.size()));
    for (const auto& [item, pack] : pins)
        listing.push_back("    " + HexId(item) + " -> pack " + HexId(pack));
}

void Inspector::PackConfiguration(const CharacterSettings& settings) {
    listing.push_back("  pack configuration: " + std::to_string(settings.items.size()));
    for (const auto& [entry, element] : settings.items)
        listing.push_back("    " + EscapeLineBreaks(entry.name) + " -> pack " + HexId(entry.pack));
}

void Inspector::Hotkeys(const CharacterSettings& settings, const std::string& key) {
    // Ordered as the plug-in's map, which a key press walks to the first equal key text.
    std::map<std::string, std::pair<std::string, XmlElement>> hotkeys;
    for (const auto& [hotkey, element] : settings.hotkeys)
        hotkeys[hotkey.first] = {hotkey.second, element};
    listing.push_back("  hotkeys: " + std::to_string(hotkeys.size()));
    // Any action but the fixed ones plays the stored profile of that name, in any case.
    std::set<std::string> profiles;
    for (const auto& [name, element] : settings.profiles)
        profiles.insert(ToLowerAscii(name));
    std::map<std::string, std::string> firstWithKey;
    for (const auto& [command, entry] : hotkeys) {
        const auto& [text, element] = entry;
        listing.push_back("    " + EscapeLineBreaks(command) + ": " + EscapeLineBreaks(text));
        if (!IsHotkeyAction(command) && !profiles.contains(ToLowerAscii(command)))
            Problem(element, key,
                    "the Hotkey for " + Quoted(command) +
                        " names neither an action nor a stored profile: it only ever answers "
                        "\"Profile not found\"");
        if (!IsHotkeyText(text)) {
            Problem(element, key,
                    "the Hotkey for " + Quoted(command) + " has the key text " + Quoted(text) +
                        ", which no key press forms (for example {Ctrl}S or {Shift}{Alt}F5): "
                        "it never starts");
            continue;
        }
        auto [first, added] = firstWithKey.try_emplace(text, command);
        if (!added)
            Problem(element, key,
                    "the Hotkey for " + Quoted(command) + " shares " + Quoted(text) + " with " +
                        Quoted(first->second) + ", which the key starts instead: it never starts");
    }
}

void Inspector::HotCommands(const CharacterSettings& settings, const std::string& key) {
    std::map<std::string, std::pair<std::string, XmlElement>> commands;
    for (const auto& [command, element] : settings.hotCommands)
        commands[command.first] = {command.second, element};
    listing.push_back("  hot commands: " + std::to_string(commands.size()));
    for (const auto& [name, entry] : commands) {
        listing.push_back("    //" + EscapeLineBreaks(name) + ": " + EscapeLineBreaks(entry.first));
        if (name.empty())
            Problem(entry.second, key,
                    "the HotCommand with an empty name runs on a bare \"//\" chat line");
        else if (!HotCommandNameCanRun(name))
            Problem(entry.second, key,
                    "the HotCommand " + Quoted(name) +
                        " has capitals and never runs: the chat line is lower-cased, so "
                        "typing it looks up " +
                        Quoted(ToLowerAscii(name)));
    }
}

void Inspector::Profiles(const CharacterSettings& settings, const std::string& key) {
    std::vector<std::pair<std::string, XmlElement>> named;
    // Playing compares names without regard to ASCII case and takes the first.
    std::unordered_map<std::string, std::size_t> firstOfName;  // lower-cased, index in `named`
    for (const auto& [name, profile] : settings.profiles) {
        auto [played, first] = firstOfName.try_emplace(ToLowerAscii(name), named.size());
        if (!first)
            Problem(profile, key,
                    "the EquipProfile " + Quoted(name) +
                        " is never played: " + Quoted(named[played->second].first) + " at " +
                        LineText(named[played->second].second) +
                        " comes first and is played for either name");
        named.emplace_back(name, profile);
    }
    listing.push_back("  equipment profiles: " + std::to_string(named.size()));
    for (const auto& [name, profile] : named) {
        std::vector<std::string> steps;
        for (const XmlElement& task : profile.SelectAll(schema::kTask.name)) {
            std::string faults = AttributeFaults(task, schema::kTask.first, true);
            if (std::string item = AttributeFaults(task, schema::kTask.second, true); !item.empty())
                faults += (faults.empty() ? "" : " and ") + item;
            if (!faults.empty()) {
                Problem(task, key,
                        "a Task of " + Quoted(name) + " with " + faults + ": the step is skipped");
                continue;
            }
            std::int32_t action = *task.AttributeInt(schema::kTask.first);
            auto item = static_cast<ObjectId>(*task.AttributeInt(schema::kTask.second));
            if (action < EQUIP_ACTION_EQUIP || action > EQUIP_ACTION_STRIP_WEAPONS)
                Problem(task, key,
                        "a Task of " + Quoted(name) + " has the action " + std::to_string(action) +
                            ", which is no step the plug-in plays: passed over");
            steps.push_back("      " +
                            StepText(action, item, task.Attribute(schema::kTaskName).value_or("")));
        }
        listing.push_back("    " + EscapeLineBreaks(name) + ": " +
                          Count(steps.size(), "step", "steps") +
                          (IsBuiltInProfile(name) ? " (built in)" : ""));
        listing.insert(listing.end(), steps.begin(), steps.end());
    }
}

void PrintLines(std::FILE* out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    }
}

}  // namespace

ConfigInspection InspectConfig(std::string_view text, const std::string& file) {
    ConfigInspection inspection;
    CXmlDocument document;
    XmlLoadResult loaded = document.LoadText(text);
    Inspector inspector(file, ParsedText(text));
    if (loaded)
        inspector.Inspect(document);
    else
        inspector.Unparsable(loaded);
    inspection.document = static_cast<bool>(loaded);
    inspection.characters = std::move(inspector.characters);
    inspection.listing = std::move(inspector.listing);
    inspection.problems = inspector.Problems();
    return inspection;
}

std::string ConfigUsage() {
    return "usage: tarnik-sim config FILE [--check]\n"
           "  lists every character of the sortconfig.xml FILE with its chat window, pins,\n"
           "  pack configuration, hotkeys, hot commands and equipment profiles, then what\n"
           "  the plug-in would refuse, repair or never use; the file is only read\n"
           "  --check   list the characters and the problems only; exit status 1 when\n"
           "            there are any\n";
}

int RunConfigCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::optional<std::string> file;
    bool check = false;
    for (const std::string& arg : args) {
        if (arg == "--check") {
            check = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(ConfigUsage().c_str(), out);
            return 0;
        } else if (arg.starts_with("-") || file) {
            std::fputs(ConfigUsage().c_str(), err);
            std::fprintf(err, "error: unexpected argument \"%s\"\n", arg.c_str());
            return 2;
        } else {
            file = arg;
        }
    }
    if (!file || file->empty()) {
        std::fputs(ConfigUsage().c_str(), err);
        std::fputs("error: the configuration file is missing\n", err);
        return 2;
    }

    // Missing and unreadable files are told apart as the plug-in's own load tells them.
    CXmlDocument document;
    XmlLoadResult loaded = document.Load(*file);
    if (loaded.status == XmlLoadResult::Missing || loaded.status == XmlLoadResult::Unreadable) {
        std::fprintf(err, "error: cannot read %s: %s\n", file->c_str(), loaded.description.c_str());
        return 2;
    }
    std::ifstream in(*file, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ConfigInspection inspection = InspectConfig(text, *file);
    const std::vector<std::string>& problems = inspection.problems;

    std::vector<std::string> lines;
    if (inspection.document) {
        std::string header =
            *file + ": " + Count(inspection.characters.size(), "character", "characters");
        if (check && !inspection.characters.empty()) {
            header += ":";
            for (const std::string& name : inspection.characters)
                header += " " + name;
        }
        lines.push_back(header);
    }
    if (!check)
        lines.insert(lines.end(), inspection.listing.begin(), inspection.listing.end());
    lines.insert(lines.end(), problems.begin(), problems.end());
    lines.push_back(problems.empty() ? "no problems found"
                                     : Count(problems.size(), "problem", "problems"));
    PrintLines(out, lines);
    std::fflush(out);
    return (check || !inspection.document) && !problems.empty() ? 1 : 0;
}
