// The character's configuration: the key built at login, loading sortconfig.xml into the
// state and the panel, saving the character's element, and writing the file so that
// clients sharing it never lose each other's settings.
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "config/Config.h"
#include "platform/Files.h"
#include "plugin/Tarnik.h"

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
// trace has every one.
void ReportSaveFailure(CTarnik& plugin, const std::string& why) {
    plugin.Log(LogLevel::ERR, "Unable to write %s (%s); the changes are kept for the next save",
               g_ConfigPath.c_str(), why.c_str());
    if (!plugin.m_SaveFailureShown)
        plugin.WriteToChat("Settings could not be saved (%s): %s", why.c_str(),
                           g_ConfigPath.c_str());
    plugin.m_SaveFailureShown = true;
}

void ReportSaved(CTarnik& plugin) {
    if (plugin.m_SaveFailureShown)
        plugin.WriteToChat("Settings saved again to %s", g_ConfigPath.c_str());
    plugin.m_SaveFailureShown = false;
}

// Writes the file under `lock`, which the caller took already: when it could not be
// taken the save fails at once rather than waiting for the lock a second time.
void WriteUnder(CTarnik& plugin, const FileLock& lock) {
    if (lock.Locked()) {
        plugin.WriteConfigFile();
        return;
    }
    plugin.m_ConfigDoc->SetUnsavedChanges(true);
    ReportSaveFailure(plugin, LockFailure(lock));
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

    if (!m_ConfigDoc) {
        WriteToChat("Unable to get MSXML object, Tarnik! will not operate.");
        return;
    }

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
        WriteUnder(*this, lock);
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
        user.SetAttribute("OutputWindow", "Main");
        WriteUnder(*this, lock);
        return;
    }

    Log(TRC, "Getting chatwindow attribute");
    std::string window = user.Attribute("OutputWindow").value_or("");
    if (window.empty()) {
        Log(TRC, "Missing chatwindow attribute");
        m_OutputWindowName = "Main";
    } else {
        Log(TRC, "Setting ChatWindow to %s", window.c_str());
        m_OutputWindowName = window;
    }
    Log(TRC, "Output Window text from XML: [%s]", window.c_str());
    static constexpr std::string_view kChatWindows[] = {"Chat 1", "Chat 2", "Chat 3", "Chat 4"};
    auto chat = std::find(std::begin(kChatWindows), std::end(kChatWindows), m_OutputWindowName);
    if (chat != std::end(kChatWindows)) {
        LONG option = static_cast<LONG>(chat - std::begin(kChatWindows)) + 1;
        SelectChoice(m_chOutputWindow, option);
        onOutputWindowChoice(option);
    } else {
        SelectChoice(m_chOutputWindow, 0);
        Log(TRC, "Main set");
    }

    Log(TRC, "Getting hotkey nodes");
    m_Hotkeys.clear();
    std::vector<XmlElement> hotkeys = user.SelectAll("Hotkey");
    Log(TRC, "Loading %d Nodes", static_cast<int>(hotkeys.size()));
    for (const XmlElement& element : hotkeys) {
        std::optional<std::string> command = element.Attribute("command");
        std::optional<std::string> key = element.Attribute("key");
        if (!command || !key) {
            Log(TRC, "Failed getting Node attributes");
            continue;
        }
        Log(TRC, "Set hotkey [%s] to [%s]", command->c_str(), key->c_str());
        m_Hotkeys[*command] = *key;
    }

    Log(TRC, "Getting hotcommand nodes");
    m_HotCommands.clear();
    ClearChoice(m_chHotCommand);
    std::vector<XmlElement> hotCommands = user.SelectAll("HotCommand");
    Log(TRC, "Loading %d Nodes", static_cast<int>(hotCommands.size()));
    for (const XmlElement& element : hotCommands) {
        std::optional<std::string> command = element.Attribute("cmd");
        std::optional<std::string> action = element.Attribute("action");
        if (!command || !action) {
            Log(TRC, "Failed getting Node attributes");
            continue;
        }
        Log(TRC, "Set hotcommand [%s] to [%s]", command->c_str(), action->c_str());
        m_HotCommands[*command] = *action;
        AddChoice(m_chHotCommand, *command + ": " + *action);
    }
    SelectChoice(m_chHotCommand, 1);

    Log(TRC, "Getting item nodes");
    std::vector<XmlElement> items = user.SelectAll("Item");
    Log(TRC, "Loading %d Nodes", static_cast<int>(items.size()));
    for (const XmlElement& element : items) {
        std::optional<std::string> value = element.Attribute("value");
        std::optional<std::int32_t> pack = element.AttributeInt("pack");
        if (!value || !pack) {
            Log(TRC, "Failed getting Item attributes");
            continue;
        }
        PackItem entry{*value, static_cast<ObjectId>(*pack)};
        // One name may go to several packs; only an identical entry is dropped.
        if (std::find(m_PackConfig.begin(), m_PackConfig.end(), entry) == m_PackConfig.end())
            m_PackConfig.push_back(std::move(entry));
    }

    Log(TRC, "Getting pin nodes");
    m_Pins.clear();
    std::vector<XmlElement> pins = user.SelectAll("Pin");
    Log(TRC, "Loading %d Nodes", static_cast<int>(pins.size()));
    for (const XmlElement& element : pins) {
        std::optional<std::int32_t> item = element.AttributeInt("value");
        std::optional<std::int32_t> pack = element.AttributeInt("pack");
        if (!item || !pack)
            continue;
        Log(TRC, "Loaded [%d] %d", *item, *pack);
        m_Pins[static_cast<ObjectId>(*item)] = static_cast<ObjectId>(*pack);
    }

    Log(TRC, "Getting profile nodes");
    std::vector<XmlElement> profiles = user.SelectAll("EquipProfile");
    Log(TRC, "Loading %d Nodes", static_cast<int>(profiles.size()));
    for (const XmlElement& element : profiles) {
        std::optional<std::string> name = element.Attribute("name");
        if (!name || IsBuiltInProfile(*name))
            continue;
        AddChoice(m_chEquip, *name);
        AddChoice(m_chEquipProfile, *name);
        AddChoice(m_chHotkeyItem, *name);
    }
}

void CTarnik::SaveConfig() {
    Log(INF, "Saving config: %s", g_ConfigPath.c_str());
    if (!m_ConfigDoc)
        return;
    if (m_CharacterKey.empty()) {
        Log(ERR, "No character logged in; nothing to save");
        return;
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
                WriteConfigFile();
                break;
            case DiskState::Blocked:
                break;
        }
    }

    XmlElement root = m_ConfigDoc->SelectOne("/*");
    if (!root) {
        Log(ERR, "Failed to get root");
        return;
    }
    Log(TRC, "Getting user node: [%s]", m_CharacterPath.c_str());
    XmlElement user = root.Child(m_CharacterKey);
    if (!user) {
        Log(TRC, "User not found, creating new...");
        user = root.AppendChild(m_CharacterKey);
        if (!user) {
            Log(ERR, "Unable to create user node [%s]", m_CharacterKey.c_str());
            return;
        }
    }

    Log(TRC, "Set window attribute to: [%s]", m_OutputWindowName.c_str());
    user.SetAttribute("OutputWindow", m_OutputWindowName);

    RemoveChildren(user, "Hotkey");
    for (const auto& [command, key] : m_Hotkeys) {
        XmlElement element = user.AppendChild("Hotkey");
        element.SetAttribute("command", command);
        element.SetAttribute("key", key);
    }

    RemoveChildren(user, "Item");
    Log(TRC, "Getting %d items", static_cast<int>(m_PackConfig.size()));
    for (const PackItem& entry : m_PackConfig) {
        XmlElement element = user.AppendChild("Item");
        element.SetAttribute("value", entry.name);
        element.SetAttributeInt("pack", static_cast<std::int32_t>(entry.pack));
    }

    RemoveChildren(user, "Pin");
    for (const auto& [item, pack] : m_Pins) {
        XmlElement element = user.AppendChild("Pin");
        element.SetAttributeInt("value", static_cast<std::int32_t>(item));
        element.SetAttributeInt("pack", static_cast<std::int32_t>(pack));
    }

    RemoveChildren(user, "HotCommand");
    for (const auto& [command, action] : m_HotCommands) {
        XmlElement element = user.AppendChild("HotCommand");
        element.SetAttribute("cmd", command);
        element.SetAttribute("action", action);
    }

    WriteUnder(*this, lock);
}

void CTarnik::WriteConfigFile() {
    if (!m_ConfigDoc)
        return;
    // Unlocked, two clients saving at once lose each other's changes: no lock, no write.
    FileLock lock(ConfigLockFile());
    if (!lock.Locked()) {
        m_ConfigDoc->SetUnsavedChanges(true);
        ReportSaveFailure(*this, LockFailure(lock));
        return;
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
        ReportSaveFailure(*this, why);
        return;
    }
    if (state == DiskState::Loaded)
        TakeOtherElementsFrom(disk, *m_ConfigDoc, m_CharacterKey);

    std::string text = ConfigFileText(*m_ConfigDoc);
    if (text.empty()) {
        Log(ERR, "Failed to get root");
        return;
    }
    std::error_code error;
    if (!WriteFileAtomically(ConfigFile(), ToTextMode(text), error)) {
        m_ConfigDoc->SetUnsavedChanges(true);
        ReportSaveFailure(*this, error.message());
        return;
    }
    m_ConfigDoc->SetUnsavedChanges(false);
    ReportSaved(*this);
}
