// Equipment profiles: the names in the panel's three lists, creating and deleting
// profiles, recording on and off, and storing profiles as EquipProfile elements of the
// character's part of the configuration.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "commands/Hotkeys.h"
#include "config/BuiltInNames.h"
#include "config/ConfigReader.h"
#include "config/XmlDocument.h"
#include "platform/Ascii.h"
#include "plugin/Choices.h"
#include "plugin/Tarnik.h"

namespace schema = config_schema;

namespace {

constexpr std::string_view kNamePlaceholder = "[enter new profile name]";

// Profiles are found by comparing their "name" attribute, never through a selection
// path built from the name: a name may hold any character.
XmlElement FindProfileElement(const XmlElement& user, std::string_view name) {
    for (const XmlElement& profile : user.SelectAll(schema::kEquipProfile.name))
        if (profile.Attribute(schema::kEquipProfile.first) == name)
            return profile;
    return {};
}

void SetRecordButton(CTarnik& tarnik, const char* text, LONG color) {
    if (!tarnik.m_pbRecord)
        return;
    tarnik.m_pbRecord->put_Text(CComBSTR(text));
    tarnik.m_pbRecord->put_TextColor(color);
}

XmlElement CharacterElement(const CTarnik& tarnik) {
    if (tarnik.m_CharacterKey.empty())
        return {};
    return tarnik.m_ConfigDoc->Root().Child(tarnik.m_CharacterKey);
}

}  // namespace

void CTarnik::NewProfile() {
    Log(INF, "NewProfile");
    CComBSTR typed;
    if (m_ceNewProfile)
        m_ceNewProfile->get_Text(&typed);
    std::string name = typed.ToUtf8();
    if (name.empty() || name == kNamePlaceholder) {
        WriteToChat("Please enter a profile name before pressing New Profile");
        return;
    }
    if (name.find('"') != std::string::npos) {
        WriteToChat("A profile name cannot contain a double quote. Please enter another name.");
        return;
    }
    if (!IsXmlText(name)) {
        WriteToChat("A profile name cannot contain control characters. Please enter another name.");
        return;
    }
    if (IsHotkeyAction(name)) {
        WriteToChat("[%s] is the name of a hotkey action. Please enter another name.",
                    name.c_str());
        return;
    }
    if (FindEquip(name) != -1) {
        WriteToChat("That profile already exists. Please enter a new name.");
        return;
    }
    AppendChoice(m_chEquipProfile, name);
    AppendChoice(m_chEquip, name);
    AppendChoice(m_chHotkeyItem, name);
    if (m_chEquipProfile)
        m_chEquipProfile->put_Selected(FindEquip(name));
    // The name is only listed until a recording stores it; a failed save is told there.
    (void)SaveConfig();
}

LONG CTarnik::FindEquip(const std::string& name) {
    Log(INF, "FindEquip");
    return FindChoice(m_chEquipProfile, name);
}

void CTarnik::DeleteProfile() {
    Log(INF, "Delete");
    if (m_Recording) {
        WriteToChat("Please stop recording before deleting this profile");
        return;
    }
    LONG index = SelectedIndex(m_chEquipProfile);
    if (index < 0) {
        WriteToChat("No equip profile selected to record");
        return;
    }
    std::string name = ChoiceText(m_chEquipProfile, index);
    if (IsBuiltInProfile(name)) {
        WriteToChat("Cannot delete pre-defined profiles.");
        return;
    }
    XmlElement user = CharacterElement(*this);
    if (XmlElement profile = FindProfileElement(user, name)) {
        user.RemoveChild(profile);
        // Kept in the document if it fails; the save below writes it or reports.
        (void)WriteConfigFile();
    } else {
        // A name made with New and never recorded is only listed; it goes all the same.
        Log(TRC, "Profile [%s] was never stored", name.c_str());
    }
    RemoveFromChoice(m_chEquipProfile, name);
    RemoveFromChoice(m_chEquip, name);
    RemoveFromChoice(m_chHotkeyItem, name);
    m_Hotkeys.erase(name);
    if (SaveResult saved = SaveConfig(); !saved.Saved())
        NotSaved("Deleting profile [" + name + "]", saved);
    else
        WriteToChat("Profile deleted");
}

void CTarnik::RemoveFromChoice(IChoice* choice, const std::string& name) {
    Log(INF, "RemoveFromChoice");
    LONG index = FindChoice(choice, name);
    if (index < 0)
        return;
    choice->RemoveChoice(index);
    choice->put_Selected(0);
}

void CTarnik::Record() {
    Log(INF, "Record");
    if (!m_Recording) {
        // Playback and recording share m_Actions: a recording must not store the steps
        // of a profile being played.
        if (m_Job == JOB_EQUIP) {
            EndJob();
            WriteToChat("Profile playback stopped to start recording.");
        }
        // A strip abandoned earlier must not hide the take-offs of this recording.
        if (m_Job != JOB_STRIP)
            m_Stripping = false;
        CreateEquipList();
        m_Recording = true;
        SetRecordButton(*this, "Stop", control::kRecordingColor);
        m_Actions.emplace();
        return;
    }
    m_Recording = false;
    SetRecordButton(*this, "Record", control::kRecordReadyColor);
    WriteProfile();
    m_Actions.reset();
}

void CTarnik::WriteProfile() {
    Log(INF, "WriteProfile");
    LONG index = SelectedIndex(m_chEquipProfile);
    if (index < 0) {
        WriteToChat("No profile selected to save");
        return;
    }
    std::string name = ChoiceText(m_chEquipProfile, index);
    Log(TRC, "Writing Profile [%s]", name.c_str());
    XmlElement user = CharacterElement(*this);
    if (!user) {
        Log(ERR, "No character element to store profile [%s] in", name.c_str());
        return;
    }
    if (XmlElement old = FindProfileElement(user, name))
        user.RemoveChild(old);
    // The profile is complete before the file is written, so the file never holds a
    // profile without its steps.
    XmlElement profile = user.AppendChild(schema::kEquipProfile.name);
    if (!profile) {
        Log(TRC, "Failed to create equipment profile node.");
        return;
    }
    profile.SetAttribute(schema::kEquipProfile.first, name);
    std::size_t steps = m_Actions ? m_Actions->size() : 0;
    for (std::size_t i = 0; i < steps; ++i) {
        const EquipAction& step = (*m_Actions)[i];
        XmlElement task = profile.AppendChild(schema::kTask.name);
        task.SetAttributeInt(schema::kTask.first, step.action);
        task.SetAttributeInt(schema::kTask.second, static_cast<std::int32_t>(step.item));
        task.SetAttribute(schema::kTaskName, step.name);
    }
    Log(TRC, "Saving profile");
    std::string counted = std::to_string(steps) + (steps == 1 ? " step" : " steps");
    if (SaveResult saved = WriteConfigFile(); !saved.Saved())
        NotSaved("Profile [" + name + "] with " + counted, saved);
    else
        WriteToChat("Profile [%s] saved with %s.", name.c_str(), counted.c_str());
}

bool CTarnik::ReadProfile(const std::string& name) {
    Log(INF, "Reading Profile [%s]", name.c_str());
    XmlElement found;
    for (const XmlElement& profile :
         CharacterElement(*this).SelectAll(schema::kEquipProfile.name)) {
        std::optional<std::string> stored = profile.Attribute(schema::kEquipProfile.first);
        if (!stored)
            Log(TRC, "equip step had no name");
        if (EqualsIgnoringCase(stored.value_or(""), name)) {
            found = profile;
            break;
        }
    }
    if (!found) {
        WriteToChat("Profile not found. Please create and record the profile before using it!");
        return false;
    }
    if (!m_Actions)
        m_Actions.emplace();
    m_Actions->clear();
    for (const XmlElement& task : found.SelectAll(schema::kTask.name)) {
        std::optional<std::int32_t> action = task.AttributeInt(schema::kTask.first);
        std::optional<std::int32_t> item = task.AttributeInt(schema::kTask.second);
        if (!action || !item) {
            Log(WRN, "Skipped a step of [%s] without a numeric action and item", name.c_str());
            continue;
        }
        m_Actions->push_back(EquipAction{*action, static_cast<ObjectId>(*item),
                                         task.Attribute(schema::kTaskName).value_or("")});
        Log(TRC, "Added action %d:%d", *action, *item);
    }
    return true;
}
