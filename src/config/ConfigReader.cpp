// The reading rules of a character's element: a later entry of a key wins, the first
// Item of a name counts, and an element whose attributes cannot be read is skipped.
#include "config/ConfigReader.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "config/BuiltInNames.h"

namespace schema = config_schema;

namespace {

// The readable entries of a two-attribute element, in document order, with a diagnostic
// for each unreadable one and for each that a later one of the same key replaces.
template <class Entries, class Read, class KeyOf>
void ReadKeyed(const XmlElement& user, std::string_view name, CharacterSettings& into,
               Entries& entries, Read read, KeyOf keyOf) {
    std::map<decltype(keyOf(*read(XmlElement()))), XmlElement> last;
    for (const XmlElement& element : user.SelectAll(name)) {
        auto value = read(element);
        if (!value) {
            into.diagnostics.push_back({ConfigDiagnostic::Unreadable, element, {}});
            continue;
        }
        auto [entry, added] = last.try_emplace(keyOf(*value), element);
        if (!added) {
            into.diagnostics.push_back({ConfigDiagnostic::Replaced, element, entry->second});
            entry->second = element;
        }
        entries.push_back({std::move(*value), element});
    }
}

}  // namespace

CharacterSettings ReadCharacterElement(const XmlElement& user) {
    CharacterSettings settings;
    std::string window = user.Attribute(schema::kOutputWindow).value_or("");
    settings.outputWindowStored = !window.empty();
    settings.outputWindow = window.empty() ? std::string(ChatWindows[0]) : window;
    if (window.empty())
        settings.diagnostics.push_back({ConfigDiagnostic::NoOutputWindow, user, {}});
    else if (std::find(ChatWindows.begin(), ChatWindows.end(), window) == ChatWindows.end())
        settings.diagnostics.push_back({ConfigDiagnostic::UnknownOutputWindow, user, {}});

    auto texts = [](const schema::Element& row) {
        return [&row](const XmlElement& element) -> std::optional<CharacterSettings::Text2> {
            std::optional<std::string> first = element.Attribute(row.first);
            std::optional<std::string> second = element.Attribute(row.second);
            if (!first || !second)
                return std::nullopt;
            return CharacterSettings::Text2{std::move(*first), std::move(*second)};
        };
    };
    auto firstText = [](const CharacterSettings::Text2& value) { return value.first; };
    ReadKeyed(user, schema::kHotkey.name, settings, settings.hotkeys, texts(schema::kHotkey),
              firstText);
    ReadKeyed(user, schema::kHotCommand.name, settings, settings.hotCommands,
              texts(schema::kHotCommand), firstText);
    ReadKeyed(
        user, schema::kPin.name, settings, settings.pins,
        [](const XmlElement& element) -> std::optional<CharacterSettings::PinEntry> {
            std::optional<std::int32_t> item = element.AttributeInt(schema::kPin.first);
            std::optional<std::int32_t> pack = element.AttributeInt(schema::kPin.second);
            if (!item || !pack)
                return std::nullopt;
            return CharacterSettings::PinEntry{static_cast<ObjectId>(*item),
                                               static_cast<ObjectId>(*pack)};
        },
        [](const CharacterSettings::PinEntry& pin) { return pin.item; });

    // Only the first entry of a name counts, as in every client sharing the file.
    std::unordered_map<std::string, std::size_t> firstOfName;  // index in settings.items
    for (const XmlElement& element : user.SelectAll(schema::kItem.name)) {
        std::optional<std::string> name = element.Attribute(schema::kItem.first);
        std::optional<std::int32_t> pack = element.AttributeInt(schema::kItem.second);
        if (!name || !pack) {
            settings.diagnostics.push_back({ConfigDiagnostic::Unreadable, element, {}});
            continue;
        }
        auto [first, added] = firstOfName.try_emplace(*name, settings.items.size());
        if (!added) {
            const auto& earlier = settings.items[first->second];
            settings.diagnostics.push_back({earlier.value.pack == static_cast<ObjectId>(*pack)
                                                ? ConfigDiagnostic::RepeatedItem
                                                : ConfigDiagnostic::ItemForAnotherPack,
                                            element, earlier.element});
            continue;
        }
        settings.items.push_back(
            {PackItem{std::move(*name), static_cast<ObjectId>(*pack)}, element});
    }

    for (const XmlElement& element : user.SelectAll(schema::kEquipProfile.name)) {
        std::optional<std::string> name = element.Attribute(schema::kEquipProfile.first);
        if (!name) {
            settings.diagnostics.push_back({ConfigDiagnostic::Unreadable, element, {}});
            continue;
        }
        settings.profiles.push_back({std::move(*name), element});
    }
    return settings;
}
