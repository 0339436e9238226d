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
#include <utility>

#include "Display.h"
#include "commands/Commands.h"
#include "config/Config.h"
#include "equip/Equip.h"
#include "platform/Ascii.h"
#include "plugin/Types.h"

namespace {

constexpr std::string_view kChatWindows[] = {"Main", "Chat 1", "Chat 2", "Chat 3", "Chat 4"};
constexpr std::string_view kCharacterChildren[] = {"Hotkey", "Item", "Pin", "HotCommand",
                                                   "EquipProfile"};

std::string Quoted(std::string_view text) {
    return "\"" + EscapeLineBreaks(text) + "\"";
}

std::string Count(std::size_t n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool Contains(const auto& list, std::string_view name) {
    return std::find(std::begin(list), std::end(list), name) != std::end(list);
}

// Why the plug-in cannot read the attributes `names` (numbers when `numeric`), or empty.
std::string AttributeFaults(const XmlElement& element, std::initializer_list<const char*> names,
                            bool numeric) {
    std::string faults;
    for (const char* name : names) {
        std::optional<std::string> text = element.Attribute(name);
        std::string fault;
        if (!text)
            fault = std::string("no \"") + name + "\"";
        else if (numeric && !element.AttributeInt(name))
            fault = (std::string_view("aeiou").find(name[0]) == std::string_view::npos ? "a \""
                                                                                       : "an \"") +
                    std::string(name) + "\" of " + Quoted(*text) + ", which is no 32-bit number";
        if (!fault.empty())
            faults += (faults.empty() ? "" : " and ") + fault;
    }
    return faults;
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
    Inspector(std::string file, std::string text)
        : file_(std::move(file)), text_(std::move(text)) {}

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
        return 1 + static_cast<std::size_t>(std::count(
                       text_.begin(), text_.begin() + std::min(offset, text_.size()), '\n'));
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
    void Character(const XmlElement& user);
    void ChatWindow(const XmlElement& user, const std::string& key);
    void Pins(const XmlElement& user, const std::string& key);
    void PackConfiguration(const XmlElement& user, const std::string& key);
    void Hotkeys(const XmlElement& user, const std::string& key);
    void HotCommands(const XmlElement& user, const std::string& key);
    void Profiles(const XmlElement& user, const std::string& key);

    std::string file_;
    std::string text_;
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
    for (const XmlElement& user : root.ChildElements()) {
        std::string key = user.Name();
        characters.push_back(key);
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
            element.Name() == "EquipProfile" ? name == "Task" : Contains(kCharacterChildren, name);
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
    ChatWindow(user, key);
    Pins(user, key);
    PackConfiguration(user, key);
    Hotkeys(user, key);
    HotCommands(user, key);
    Profiles(user, key);
    CheckNames(user, key);
}

void Inspector::ChatWindow(const XmlElement& user, const std::string& key) {
    std::string window = user.Attribute("OutputWindow").value_or("");
    if (window.empty()) {
        listing.push_back("  chat window: Main (not stored)");
        Problem(user, key,
                "no OutputWindow: the plug-in writes to Main and stores \"Main\" at its next save");
    } else if (!Contains(kChatWindows, window)) {
        listing.push_back("  chat window: " + Quoted(window) + ", used as Main");
        Problem(user, key,
                "OutputWindow " + Quoted(window) +
                    " names no chat window (Main, Chat 1 to Chat 4): the plug-in writes to Main");
    } else {
        listing.push_back("  chat window: " + window);
    }
}

void Inspector::Pins(const XmlElement& user, const std::string& key) {
    std::map<ObjectId, std::pair<ObjectId, XmlElement>> pins;
    for (const XmlElement& pin : user.SelectAll("Pin")) {
        if (std::string faults = AttributeFaults(pin, {"value", "pack"}, true); !faults.empty()) {
            Problem(pin, key, "Pin with " + faults + ": skipped");
            continue;
        }
        auto item = static_cast<ObjectId>(*pin.AttributeInt("value"));
        auto pack = static_cast<ObjectId>(*pin.AttributeInt("pack"));
        auto [entry, added] = pins.try_emplace(item, pack, pin);
        if (!added) {
            Problem(pin, key,
                    "a second Pin for item " + HexId(item) + " replaces the one at " +
                        LineText(entry->second.second) + ", which is never used");
            entry->second = {pack, pin};
        }
    }
    listing.push_back("  pins: " + std::to_string(pins.size()));
    for (const auto& [item, entry] : pins)
        listing.push_back("    " + HexId(item) + " -> pack " + HexId(entry.first));
}

void Inspector::PackConfiguration(const XmlElement& user, const std::string& key) {
    struct Entry {
        std::string name;
        ObjectId pack;
        XmlElement element;
    };
    std::vector<Entry> entries;
    for (const XmlElement& item : user.SelectAll("Item")) {
        std::string faults = AttributeFaults(item, {"value"}, false);
        if (std::string pack = AttributeFaults(item, {"pack"}, true); !pack.empty())
            faults += (faults.empty() ? "" : " and ") + pack;
        if (!faults.empty()) {
            Problem(item, key, "Item with " + faults + ": skipped");
            continue;
        }
        Entry entry{*item.Attribute("value"), static_cast<ObjectId>(*item.AttributeInt("pack")),
                    item};
        auto same = std::find_if(entries.begin(), entries.end(), [&](const Entry& other) {
            return other.name == entry.name && other.pack == entry.pack;
        });
        if (same != entries.end()) {
            Problem(item, key,
                    "Item " + Quoted(entry.name) + " for pack " + HexId(entry.pack) +
                        " repeats the one at " + LineText(same->element) + ": dropped");
            continue;
        }
        entries.push_back(std::move(entry));
    }
    listing.push_back("  pack configuration: " + std::to_string(entries.size()));
    for (const Entry& entry : entries)
        listing.push_back("    " + EscapeLineBreaks(entry.name) + " -> pack " + HexId(entry.pack));
}

void Inspector::Hotkeys(const XmlElement& user, const std::string& key) {
    // Ordered as the plug-in's map, which a key press walks to the first equal key text.
    std::map<std::string, std::pair<std::string, XmlElement>> hotkeys;
    for (const XmlElement& hotkey : user.SelectAll("Hotkey")) {
        if (std::string faults = AttributeFaults(hotkey, {"command", "key"}, false);
            !faults.empty()) {
            Problem(hotkey, key, "Hotkey with " + faults + ": skipped");
            continue;
        }
        std::string command = *hotkey.Attribute("command");
        std::string text = *hotkey.Attribute("key");
        auto [entry, added] = hotkeys.try_emplace(command, text, hotkey);
        if (!added) {
            Problem(hotkey, key,
                    "a second Hotkey for " + Quoted(command) + " replaces the one at " +
                        LineText(entry->second.second) + ", which is never used");
            entry->second = {text, hotkey};
        }
    }
    listing.push_back("  hotkeys: " + std::to_string(hotkeys.size()));
    std::map<std::string, std::string> firstWithKey;
    for (const auto& [command, entry] : hotkeys) {
        const auto& [text, element] = entry;
        listing.push_back("    " + EscapeLineBreaks(command) + ": " + EscapeLineBreaks(text));
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

void Inspector::HotCommands(const XmlElement& user, const std::string& key) {
    std::map<std::string, std::pair<std::string, XmlElement>> commands;
    for (const XmlElement& command : user.SelectAll("HotCommand")) {
        if (std::string faults = AttributeFaults(command, {"cmd", "action"}, false);
            !faults.empty()) {
            Problem(command, key, "HotCommand with " + faults + ": skipped");
            continue;
        }
        std::string name = *command.Attribute("cmd");
        std::string action = *command.Attribute("action");
        auto [entry, added] = commands.try_emplace(name, action, command);
        if (!added) {
            Problem(command, key,
                    "a second HotCommand " + Quoted(name) + " replaces the one at " +
                        LineText(entry->second.second) + ", which is never used");
            entry->second = {action, command};
        }
    }
    listing.push_back("  hot commands: " + std::to_string(commands.size()));
    for (const auto& [name, entry] : commands) {
        listing.push_back("    //" + EscapeLineBreaks(name) + ": " + EscapeLineBreaks(entry.first));
        if (!HotCommandNameCanRun(name))
            Problem(entry.second, key,
                    "the HotCommand " + Quoted(name) +
                        " has capitals and never runs: the chat line is lower-cased, so "
                        "typing it looks up " +
                        Quoted(ToLowerAscii(name)));
    }
}

void Inspector::Profiles(const XmlElement& user, const std::string& key) {
    std::vector<XmlElement> profiles = user.SelectAll("EquipProfile");
    std::vector<std::pair<std::string, XmlElement>> named;
    for (const XmlElement& profile : profiles) {
        std::optional<std::string> name = profile.Attribute("name");
        if (!name) {
            Problem(profile, key, "EquipProfile with no \"name\": never listed or played");
            continue;
        }
        // Playing compares names without regard to case and takes the first.
        auto played = std::find_if(named.begin(), named.end(), [&](const auto& earlier) {
            return EqualsIgnoringCase(std::string_view(earlier.first), std::string_view(*name));
        });
        if (played != named.end())
            Problem(profile, key,
                    "the EquipProfile " + Quoted(*name) +
                        " is never played: " + Quoted(played->first) + " at " +
                        LineText(played->second) + " comes first and is played for either name");
        named.emplace_back(*name, profile);
    }
    listing.push_back("  equipment profiles: " + std::to_string(named.size()));
    for (const auto& [name, profile] : named) {
        std::vector<std::string> steps;
        for (const XmlElement& task : profile.SelectAll("Task")) {
            if (std::string faults = AttributeFaults(task, {"action", "item"}, true);
                !faults.empty()) {
                Problem(task, key,
                        "a Task of " + Quoted(name) + " with " + faults + ": the step is skipped");
                continue;
            }
            std::int32_t action = *task.AttributeInt("action");
            auto item = static_cast<ObjectId>(*task.AttributeInt("item"));
            if (action < EQUIP_ACTION_EQUIP || action > EQUIP_ACTION_STRIP_WEAPONS)
                Problem(task, key,
                        "a Task of " + Quoted(name) + " has the action " + std::to_string(action) +
                            ", which is no step the plug-in plays: passed over");
            steps.push_back("      " + StepText(action, item, task.Attribute("name").value_or("")));
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
    Inspector inspector(file, std::string(text));
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
