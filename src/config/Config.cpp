// The character's configuration: the key built at login, loading sortconfig.xml into the
// state and the panel, saving the character's element, and writing the file so that
// clients sharing it never lose each other's settings.
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "config/Config.h"
#include "config/ConfigReader.h"
#include "platform/Files.h"
#include "plugin/Tarnik.h"

namespace schema = config_schema;

namespace {

constexpr std::string_view kFreshDocument = "<Tarnik></Tarnik>";
constexpr int kMaxSetAsideNames = 1000;

// What reading the file found.
enum class DiskState {
    Loaded,      // parsed into the scratch document
    Absent,      // no file yet
    MovedAside,  // unreadable; kept under another name, the path is free
    Blocked,     // unreadable and not moved: nothing may be written over it
};

std::filesystem::path ConfigFile() {
    return MapWindowsPath(g_ConfigPath);
}

std::filesystem::path ConfigLockFile() {
    return MapWindowsPath(g_ConfigPath + ".lock");
}

void ClearChoice(IChoice* choice) {
    if (!choice)
        return;
    LONG count = 0;
    if (FAILED(choice->get_ChoiceCount(&count)))
        return;
    for (LONG index = count - 1; index >= 0; --index)
        choice->RemoveChoice(index);
}

void AddChoice(IChoice* choice, std::string_view text) {
    if (choice)
        choice->AddChoice(CComBSTR(text));
}

void SelectChoice(IChoice* choice, LONG index) {
    if (choice)
        choice->put_Selected(index);
}

void RemoveChildren(XmlElement& parent, std::string_view name) {
    for (const XmlElement& child : parent.SelectAll(name))
        parent.RemoveChild(child);
}

// Moves the unreadable file to the first free name of sortconfig.xml.bad,
// sortconfig.xml.bad.1, ...; the Windows-style name it now has, or empty with `why`.
std::string SetAside(CTarnik& plugin, std::string& why) {
    for (int n = 0; n < kMaxSetAsideNames; ++n) {
        std::string name = g_ConfigPath + (n == 0 ? ".bad" : ".bad." + std::to_string(n));
        std::error_code error;
        if (RenameWithoutReplacing(ConfigFile(), MapWindowsPath(name), error))
            return name;
        if (error != std::errc::file_exists) {
            why = error.message();
            break;
        }
        why = "no free name";
    }
    plugin.Log(LogLevel::ERR, "Unable to move %s aside: %s", g_ConfigPath.c_str(), why.c_str());
    why = "the unreadable file could not be moved aside: " + why;
    return {};
}

// Reads the file into `into`. A file that exists but cannot be read or parsed holds
// other characters' settings: it is moved aside, never written over. Only a holder of
// the lock may move it (another client may be replacing it); `why` says what blocks.
DiskState ReadConfigFile(CTarnik& plugin, CXmlDocument& into, const FileLock& lock,
                         std::string& why) {
    XmlLoadResult result = into.Load(ConfigFile());
    switch (result.status) {
        case XmlLoadResult::Loaded:
            return DiskState::Loaded;
        case XmlLoadResult::Missing:
            return DiskState::Absent;
        case XmlLoadResult::Unreadable:
        case XmlLoadResult::Malformed:
            break;
    }
    plugin.Log(LogLevel::ERR, "Unable to read %s (byte %zu): %s", g_ConfigPath.c_str(),
               result.offset, result.description.c_str());
    if (!lock.Locked()) {
        why = "the unreadable file is not moved aside without the lock";
        return DiskState::Blocked;
    }
    std::string aside = SetAside(plugin, why);
    if (aside.empty())
        return DiskState::Blocked;
    plugin.WriteToChat("The configuration file could not be read and was kept as %s",
                       aside.c_str());
    return DiskState::MovedAside;
}

// Replaces every root element of `memory` but the character's own by its namesake read
// from `disk`, in the place it holds; elements only on disk are appended. Handles on
// the character's element stay valid.
void TakeOtherElementsFrom(const CXmlDocument& disk, CXmlDocument& memory,
                           const std::string& characterKey) {
    XmlElement diskRoot = disk.Root();
    XmlElement memoryRoot = memory.Root();
    if (!diskRoot || !memoryRoot)
        return;
    std::vector<XmlElement> others;
    for (const XmlElement& element : diskRoot.ChildElements())
        if (element.Name() != characterKey)
            others.push_back(element);
    std::vector<bool> taken(others.size(), false);
    for (const XmlElement& element : memoryRoot.ChildElements()) {
        std::string name = element.Name();
        if (name == characterKey)
            continue;
        for (std::size_t i = 0; i < others.size(); ++i) {
            if (!taken[i] && others[i].Name() == name) {
                memoryRoot.InsertCopyBefore(others[i], element);
                memoryRoot.RemoveChild(element);
                taken[i] = true;
                break;
            }
        }
    }
    for (std::size_t i = 0; i < others.size(); ++i)
        if (!taken[i])
            memoryRoot.AppendCopy(others[i]);
}

std::string LockFailure(const FileLock& lock) {
    if (lock.Error() == std::errc::timed_out)
        return "another client holds the lock file";
    return "the lock file cannot be taken: " + lock.Error().message();
}

// The player hears of the first failed save and of the first save after failures; the
// trace has every one. The failure, for the action that asked for the save.
SaveResult ReportSaveFailure(CTarnik& plugin, const std::string& why) {
    plugin.Log(LogLevel::ERR, "Unable to write %s (%s); the changes are kept for the next save",
               g_ConfigPath.c_str(), why.c_str());
    if (!plugin.m_SaveFailureShown)
        plugin.WriteToChat("Settings could not be saved (%s): %s", why.c_str(),
                           g_ConfigPath.c_str());
    plugin.m_SaveFailureShown = true;
    return {why};
}

SaveResult ReportSaved(CTarnik& plugin) {
    if (plugin.m_SaveFailureShown)
        plugin.WriteToChat("Settings saved again to %s", g_ConfigPath.c_str());
    plugin.m_SaveFailureShown = false;
    return {};
}

// Writes the file under `lock`, which the caller took already: when it could not be
// taken the save fails at once rather than waiting for the lock a second time.
SaveResult WriteUnder(CTarnik& plugin, const FileLock& lock) {
    if (lock.Locked())
        return plugin.WriteConfigFile();
    plugin.m_ConfigDoc->SetUnsavedChanges(true);
    return ReportSaveFailure(plugin, LockFailure(lock));
}

}  // namespace

void CTarnik::OnCharacterLogin() {
    Log(INF, "OnCharacterLogin");
    if (!m_pCharStats) {
        Log(ERR, "OnCharacterLogin: no CharacterStats filter");
        return;
    }
    LONG id = 0;
    if (FAILED(m_pCharStats->get_Character(&id)))
        Log(ERR, "OnCharacterLogin: no character id");
    m_Me = static_cast<ObjectId>(id);
    CComBSTR server;
    CComBSTR name;
    if (FAILED(m_pCharStats->get_Server(&server)) || FAILED(m_pCharStats->get_Name(&name)))
        Log(ERR, "OnCharacterLogin: no server or character name");

    std::string built = BuildCharacterKey(server.ToUtf8(), name.ToUtf8());
    m_CharacterKey = MakeValidElementName(built);
    if (m_CharacterKey != built)
        Log(TRC, "Character key [%s] stored as [%s]", built.c_str(), m_CharacterKey.c_str());
    m_CharacterPath = "/Tarnik/" + m_CharacterKey;
    m_ItemPath = m_CharacterPath + "/Item";
    m_ProfilePath = m_CharacterPath + "/EquipProfile";
    LoadConfig();
}

void CTarnik::LoadConfig() {
    Log(INF, "Loading config: %s", g_ConfigPath.c_str());
    m_PackConfig.clear();

    ClearChoice(m_chEquipProfile);
    ClearChoice(m_chEquip);
    ClearChoice(m_chHotkeyItem);
    for (std::string_view action : HotkeyActions)
        AddChoice(m_chHotkeyItem, action);
    for (std::string_view profile : BuiltInProfiles) {
        AddChoice(m_chEquip, profile);
        AddChoice(m_chEquipProfile, profile);
        AddChoice(m_chHotkeyItem, profile);
    }
    SelectChoice(m_chEquipProfile, 0);
    SelectChoice(m_chEquip, 0);
    SelectChoice(m_chHotkeyItem, 0);
    // The host does not report a selection the plug-in makes, so the window is taken
    // into use here as well as shown.
    SelectChoice(m_chOutputWindow, 0);
    onOutputWindowChoice(0);

    Log(TRC, "Loading xml document");
    // Reading needs no lock, for writes replace the file whole; without the lock the file
    // is only read, and a write that login needs fails and is reported.
    FileLock lock(ConfigLockFile());
    if (!lock.Locked())
        Log(WRN, "Reading %s without the lock: %s", g_ConfigPath.c_str(),
            lock.Error().message().c_str());
    CXmlDocument disk;
    std::string why;
    DiskState state = ReadConfigFile(*this, disk, lock, why);
    m_ConfigDoc->SetUnsavedChanges(false);
    if (state == DiskState::Loaded) {
        m_ConfigDoc->Swap(disk);
    } else {
        (void)m_ConfigDoc->LoadText(kFreshDocument);
        (void)WriteUnder(*this, lock);  // a failure is told, and the next save retries
    }

    Log(TRC, "Getting main node");
    XmlElement root = m_ConfigDoc->SelectOne("/*");
    if (!root) {
        Log(ERR, "Failed to get root");
        return;
    }

    Log(TRC, "Getting user node for [%s]", m_CharacterPath.c_str());
    XmlElement user = root.Child(m_CharacterKey);
    if (!user) {
        Log(TRC, "Creating user node");
        // A new character starts from nothing, even when this object loaded another.
        m_OutputWindowName = "Main";
        m_Hotkeys.clear();
        m_HotCommands.clear();
        m_Pins.clear();
        ClearChoice(m_chHotCommand);
        user = root.AppendChild(m_CharacterKey);
        if (!user) {
            Log(ERR, "Unable to create user node [%s]", m_CharacterKey.c_str());
            return;
        }
        user.SetAttribute(config_schema::kOutputWindow, ChatWindows[0]);
        (void)WriteUnder(*this, lock);
        return;
    }

    CharacterSettings settings = ReadCharacterElement(user);
    for (const ConfigDiagnostic& skipped : settings.diagnostics)
        if (skipped.kind == ConfigDiagnostic::Unreadable)
            Log(TRC, "Failed getting %s attributes",
                skipped.at.Name() == schema::kItem.name ? "Item" : "Node");

    Log(TRC, "Getting chatwindow attribute");
    if (!settings.outputWindowStored)
        Log(TRC, "Missing chatwindow attribute");
    else
        Log(TRC, "Setting ChatWindow to %s", settings.outputWindow.c_str());
    m_OutputWindowName = settings.outputWindow;
    Log(TRC, "Output Window text from XML: [%s]", m_OutputWindowName.c_str());
    // "Main" is option 0 whatever the name; a name that is no window's keeps its text.
    auto chat = std::find(ChatWindows.begin() + 1, ChatWindows.end(), m_OutputWindowName);
    if (chat != ChatWindows.end()) {
        LONG option = static_cast<LONG>(chat - ChatWindows.begin());
        SelectChoice(m_chOutputWindow, option);
        onOutputWindowChoice(option);
    } else {
        SelectChoice(m_chOutputWindow, 0);
        Log(TRC, "Main set");
    }

    Log(TRC, "Getting hotkey nodes");
    Log(TRC, "Loading %d Nodes", static_cast<int>(settings.hotkeys.size()));
    m_Hotkeys.clear();
    for (const auto& [hotkey, element] : settings.hotkeys) {
        Log(TRC, "Set hotkey [%s] to [%s]", hotkey.first.c_str(), hotkey.second.c_str());
        m_Hotkeys[hotkey.first] = hotkey.second;
    }

    Log(TRC, "Getting hotcommand nodes");
    Log(TRC, "Loading %d Nodes", static_cast<int>(settings.hotCommands.size()));
    m_HotCommands.clear();
    ClearChoice(m_chHotCommand);
    for (const auto& [command, element] : settings.hotCommands) {
        Log(TRC, "Set hotcommand [%s] to [%s]", command.first.c_str(), command.second.c_str());
        m_HotCommands[command.first] = command.second;
        AddChoice(m_chHotCommand, command.first + ": " + command.second);
    }
    SelectChoice(m_chHotCommand, 1);

    Log(TRC, "Getting item nodes");
    Log(TRC, "Loading %d Nodes", static_cast<int>(settings.items.size()));
    for (auto& [item, element] : settings.items)
        m_PackConfig.push_back(std::move(item));

    Log(TRC, "Getting pin nodes");
    Log(TRC, "Loading %d Nodes", static_cast<int>(settings.pins.size()));
    m_Pins.clear();
    for (const auto& [pin, element] : settings.pins) {
        Log(TRC, "Loaded [%d] %d", static_cast<int>(pin.item), static_cast<int>(pin.pack));
        m_Pins[pin.item] = pin.pack;
    }

    Log(TRC, "Getting profile nodes");
    Log(TRC, "Loading %d Nodes", static_cast<int>(settings.profiles.size()));
    for (const auto& [name, element] : settings.profiles) {
        if (IsBuiltInProfile(name))
            continue;
        AddChoice(m_chEquip, name);
        AddChoice(m_chEquipProfile, name);
        AddChoice(m_chHotkeyItem, name);
    }
}

SaveResult CTarnik::SaveConfig() {
    Log(INF, "Saving config: %s", g_ConfigPath.c_str());
    if (m_CharacterKey.empty()) {
        Log(ERR, "No character logged in; nothing to save");
        return {"no character is logged in"};
    }

    FileLock lock(ConfigLockFile());
    // After a failed write the document in memory is newer than the file for this
    // character; the other characters then come from the file when it is written. A save
    // that cannot be written (no lock, a file that may not be written over) still puts the
    // change into the document, where the next save finds it.
    std::string why;
    if (lock.Locked() && !m_ConfigDoc->HasUnsavedChanges()) {
        CXmlDocument disk;
        switch (ReadConfigFile(*this, disk, lock, why)) {
            case DiskState::Loaded:
                m_ConfigDoc->Swap(disk);
                break;
            case DiskState::Absent:
            case DiskState::MovedAside:
                (void)m_ConfigDoc->LoadText(kFreshDocument);
                (void)WriteConfigFile();  // the character's settings follow below
                break;
            case DiskState::Blocked:
                break;
        }
    }

    XmlElement root = m_ConfigDoc->SelectOne("/*");
    if (!root) {
        Log(ERR, "Failed to get root");
        return {"the settings have no root element"};
    }
    Log(TRC, "Getting user node: [%s]", m_CharacterPath.c_str());
    XmlElement user = root.Child(m_CharacterKey);
    if (!user) {
        Log(TRC, "User not found, creating new...");
        user = root.AppendChild(m_CharacterKey);
        if (!user) {
            Log(ERR, "Unable to create user node [%s]", m_CharacterKey.c_str());
            return {"the character's element could not be made"};
        }
    }

    Log(TRC, "Set window attribute to: [%s]", m_OutputWindowName.c_str());
    user.SetAttribute(schema::kOutputWindow, m_OutputWindowName);

    RemoveChildren(user, schema::kHotkey.name);
    for (const auto& [command, key] : m_Hotkeys) {
        XmlElement element = user.AppendChild(schema::kHotkey.name);
        element.SetAttribute(schema::kHotkey.first, command);
        element.SetAttribute(schema::kHotkey.second, key);
    }

    RemoveChildren(user, schema::kItem.name);
    Log(TRC, "Getting %d items", static_cast<int>(m_PackConfig.size()));
    for (const PackItem& entry : m_PackConfig) {
        XmlElement element = user.AppendChild(schema::kItem.name);
        element.SetAttribute(schema::kItem.first, entry.name);
        element.SetAttributeInt(schema::kItem.second, static_cast<std::int32_t>(entry.pack));
    }

    RemoveChildren(user, schema::kPin.name);
    for (const auto& [item, pack] : m_Pins) {
        XmlElement element = user.AppendChild(schema::kPin.name);
        element.SetAttributeInt(schema::kPin.first, static_cast<std::int32_t>(item));
        element.SetAttributeInt(schema::kPin.second, static_cast<std::int32_t>(pack));
    }

    RemoveChildren(user, schema::kHotCommand.name);
    for (const auto& [command, action] : m_HotCommands) {
        XmlElement element = user.AppendChild(schema::kHotCommand.name);
        element.SetAttribute(schema::kHotCommand.first, command);
        element.SetAttribute(schema::kHotCommand.second, action);
    }

    return WriteUnder(*this, lock);
}

SaveResult CTarnik::WriteConfigFile() {
    // Unlocked, two clients saving at once lose each other's changes: no lock, no write.
    FileLock lock(ConfigLockFile());
    if (!lock.Locked()) {
        m_ConfigDoc->SetUnsavedChanges(true);
        return ReportSaveFailure(*this, LockFailure(lock));
    }
    // Every save runs under the lock, so a temporary nobody holds is a killed save's.
    if (std::size_t removed = RemoveAbandonedTemporaries(ConfigFile()))
        Log(INF, "Removed %zu temporary files of interrupted saves", removed);
    // Other clients may have saved since this document was read: their elements are
    // taken from the file, this character's from memory.
    CXmlDocument disk;
    std::string why;
    DiskState state = ReadConfigFile(*this, disk, lock, why);
    if (state == DiskState::Blocked) {
        m_ConfigDoc->SetUnsavedChanges(true);
        return ReportSaveFailure(*this, why);
    }
    if (state == DiskState::Loaded)
        TakeOtherElementsFrom(disk, *m_ConfigDoc, m_CharacterKey);

    std::string text = ConfigFileText(*m_ConfigDoc);
    if (text.empty()) {
        Log(ERR, "Failed to get root");
        m_ConfigDoc->SetUnsavedChanges(true);
        return ReportSaveFailure(*this, "the settings could not be put into text");
    }
    std::error_code error;
    if (!WriteFileAtomically(ConfigFile(), ToTextMode(text), error)) {
        m_ConfigDoc->SetUnsavedChanges(true);
        return ReportSaveFailure(*this, error.message());
    }
    m_ConfigDoc->SetUnsavedChanges(false);
    return ReportSaved(*this);
}

void CTarnik::NotSaved(const std::string& change, const SaveResult& result) {
    WriteToChat("%s is not saved (%s).", change.c_str(), result.why.c_str());
}
