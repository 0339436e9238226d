// Hot commands: named text macros kept on the Shortcuts page, expanded and handed to the
// game's chat parser when the player types two slashes and the name.
#include "commands/HotCommands.h"

#include <string>
#include <string_view>

#include "config/XmlDocument.h"
#include "inventory/Inventory.h"
#include "platform/Ascii.h"
#include "plugin/Choices.h"
#include "plugin/Tarnik.h"

namespace {

constexpr std::string_view kEol = "<eol>";
constexpr std::string_view kSelected = "<selected>";
constexpr std::string_view kArmor = "<armor>";
constexpr UINT kArmorRetryMs = 2000;

std::string EditText(IEdit* edit) {
    CComBSTR text;
    if (!edit || FAILED(edit->get_Text(&text)))
        return {};
    return text.ToUtf8();
}

void PutEditText(IEdit* edit, std::string_view text) {
    if (edit)
        edit->put_Text(CComBSTR(text));
}

// Replaces every marker in one pass over the text as written, so that an inserted name
// such as "<selected>" stays as it is.
std::string Expand(std::string_view text, std::string_view selected, std::string_view armor) {
    std::string out;
    out.reserve(text.size() + selected.size() + armor.size());
    for (std::size_t at = 0; at < text.size();) {
        std::string_view rest = text.substr(at);
        if (rest.starts_with(kEol)) {
            out += '\n';
            at += kEol.size();
        } else if (rest.starts_with(kSelected)) {
            out += selected;
            at += kSelected.size();
        } else if (rest.starts_with(kArmor)) {
            out += armor;
            at += kArmor.size();
        } else {
            out += text[at++];
        }
    }
    return out;
}

// A hot command's option reads "name: action"; the name ends at the first colon.
std::string NameOfOption(const std::string& option) {
    return option.substr(0, option.find(':'));
}

}  // namespace

bool HotCommandNameCanRun(std::string_view name) {
    return ToLowerAscii(std::string(name)) == name;
}

void CTarnik::SendHotCommand() {
    Log(INF, "SendHotCommand");
    std::string text = m_PendingHotCommand;
    if (text.size() >= 2 && text.back() == '^')
        text.back() = '\r';

    std::string selected;
    if (text.find(kSelected) != std::string::npos) {
        LONG id = 0;
        CComPtr<IWorldObject> object;
        if (m_pHooks && SUCCEEDED(m_pHooks->get_CurrentSelection(&id)) && id != 0)
            object = FindObject(m_pWorld, static_cast<ObjectId>(id));
        if (!object) {
            WriteToChat("Nothing selected, cannot expand text.");
            // A retry that stops here has nothing left to wait for; a job kept open
            // would lock the panel's buttons.
            if (m_Job == JOB_HOTCOMMAND)
                EndJob();
            return;
        }
        selected = NameOf(object);
    }

    std::string armor;
    if (text.find(kArmor) != std::string::npos && !ArmorList(armor)) {
        StartJob(JOB_HOTCOMMAND, kArmorRetryMs);
        return;
    }

    EndJob();
    WriteToChat("Sending command");
    SendText(Expand(text, selected, armor));
}

void CTarnik::onHotCommandChoice(LONG index) {
    Log(TRC, "onHotCommandChoice %d", index);
    if (index < 0)
        return;
    std::string option = ChoiceText(m_chHotCommand, index);
    std::size_t split = option.find(": ");
    PutEditText(m_edHotCommand, option.substr(0, split));
    PutEditText(m_edHotAction, split == std::string::npos ? "" : option.substr(split + 2));
}

void CTarnik::SaveHotCommand() {
    Log(INF, "SaveHotCommand");
    std::string name = ToLowerAscii(EditText(m_edHotCommand));
    std::string action = EditText(m_edHotAction);
    // The list finds a command by the text before the first colon: a name holding one
    // could never be found again, and deleting it would delete another command.
    if (name.find(':') != std::string::npos) {
        WriteToChat("A hot command name cannot contain ':'.");
        return;
    }
    // The shared file cannot hold them, and other clients' readers would refuse it whole.
    if (!IsXmlText(name) || !IsXmlText(action)) {
        WriteToChat("A hot command cannot contain control characters.");
        return;
    }
    m_HotCommands[name] = action;
    std::string option = name + ": " + action;
    LONG index = FindHotCommand(name);
    if (index >= 0) {
        if (m_chHotCommand)
            m_chHotCommand->put_Text(index, CComBSTR(option));
    } else {
        AppendChoice(m_chHotCommand, option);
        index = FindHotCommand(name);
    }
    if (m_chHotCommand)
        m_chHotCommand->put_Selected(index);
    if (SaveResult saved = SaveConfig(); !saved.Saved())
        NotSaved("Hot command [" + name + "]", saved);
}

void CTarnik::DeleteHotCommand() {
    Log(INF, "DeleteHotCommand");
    LONG index = SelectedIndex(m_chHotCommand);
    if (index < 0)
        return;
    std::string name = NameOfOption(ChoiceText(m_chHotCommand, index));
    m_HotCommands.erase(name);
    m_chHotCommand->RemoveChoice(index);
    m_chHotCommand->put_Selected(0);
    // Stored at once like every other change: a deleted command must not return at the
    // next login.
    if (SaveResult saved = SaveConfig(); !saved.Saved())
        NotSaved("Deleting hot command [" + name + "]", saved);
}

LONG CTarnik::FindHotCommand(const std::string& name) {
    LONG count = ChoiceCount(m_chHotCommand);
    for (LONG index = 0; index < count; ++index)
        if (NameOfOption(ChoiceText(m_chHotCommand, index)) == name)
            return index;
    return -1;
}
