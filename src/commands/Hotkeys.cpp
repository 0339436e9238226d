// Hotkeys: key presses of the game window turned into key texts, captured for the action
// chosen on the Shortcuts page, and matched to start the action they are assigned to.
#include "commands/Hotkeys.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "platform/KeyState.h"
#include "plugin/Choices.h"
#include "plugin/Tarnik.h"

namespace {

constexpr WPARAM kVkEscape = 27;
constexpr WPARAM kVkF12 = VK_F1 + 11;

bool Held(int virtualKey) {
    return GetKeyState(virtualKey) < 0;
}

struct HotkeyRow {
    std::string_view name;
    void (*run)(CTarnik&);
};

// The fixed actions a hotkey can start; any other action name is a profile to play.
constexpr HotkeyRow kHotkeyRows[] = {
    {"Store", &Run<&CTarnik::Store>},
    {"Sort", &Run<&CTarnik::SortFromChoice>},
    {"Pack", &Run<&CTarnik::Pack>},
    {"Cram", &Run<&CTarnik::Cram>},
    {"Pin", &Run<&CTarnik::Pin>},
    {"Strip", &Run<&CTarnik::Strip, 'A'>},
    {"Heal", &Run<&CTarnik::Heal>},
    {"Use Stam Elixir", &Run<&CTarnik::UseStaminaElixir>},
    {"Use Gem of Stillness", &Run<&CTarnik::UseGem>},
    {"Select Next Corpse", &Run<&CTarnik::SelectNextCorpse>},
    {"Open Next Corpse", &Run<&CTarnik::OpenNextCorpse>},
    {"Material Sort", &Run<&CTarnik::Sort, SORT_MATERIAL>},
    {"Value Sort", &Run<&CTarnik::Sort, SORT_VALUE>},
    {"Name Sort", &Run<&CTarnik::Sort, SORT_NAME>},
    {"Type Sort", &Run<&CTarnik::Sort, SORT_TYPE>},
    {"Burden Sort", &Run<&CTarnik::Sort, SORT_WEIGHT>},
};

}  // namespace

std::optional<std::string> HotkeyText(WPARAM virtualKey, HeldModifiers held) {
    if (!held.shift && !held.ctrl && !held.alt)
        return std::nullopt;
    std::string text;
    text.reserve(24);
    if (held.shift)
        text += "{Shift}";
    if (held.ctrl)
        text += "{Ctrl}";
    if (held.alt)
        text += "{Alt}";
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) {
        text += static_cast<char>(virtualKey);
    } else if (virtualKey >= VK_F1 && virtualKey <= kVkF12) {
        text += 'F';
        text += std::to_string(virtualKey - VK_F1 + 1);
    } else {
        return std::nullopt;
    }
    return text;
}

bool IsHotkeyText(std::string_view text) {
    constexpr WPARAM kNamedKeys[] = {'0', '9' + 1, 'A', 'Z' + 1, VK_F1, kVkF12 + 1};
    for (int held = 1; held < 8; ++held) {
        HeldModifiers modifiers{(held & 1) != 0, (held & 2) != 0, (held & 4) != 0};
        for (std::size_t range = 0; range < std::size(kNamedKeys); range += 2)
            for (WPARAM key = kNamedKeys[range]; key < kNamedKeys[range + 1]; ++key)
                if (HotkeyText(key, modifiers) == text)
                    return true;
    }
    return false;
}

HRESULT CTarnik::WindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, VARIANT_BOOL* eat) {
    // The cheap tests come first: every message of the game window passes here.
    if (!m_Initialized)
        return S_OK;
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN)
        return S_OK;
    if (wParam < kVkEscape)
        return S_OK;
    if (!m_pHooks)
        return S_OK;
    // A key typed into the chat line is text; when the host cannot tell, it may be.
    VARIANT_BOOL typing = VARIANT_TRUE;
    if (FAILED(m_pHooks->get_ChatState(&typing)) || typing != VARIANT_FALSE)
        return S_OK;
    std::optional<std::string> key =
        HotkeyText(wParam, HeldModifiers{Held(VK_SHIFT), Held(VK_CONTROL), Held(VK_MENU)});
    if (!key)
        return S_OK;

    if (m_HotkeyCapture) {
        AssignHotkey(*key, eat);
        return S_OK;
    }
    Log(TRC, "Searching keys %d", m_Hotkeys.empty() ? 0 : -1);
    for (const auto& [action, stored] : m_Hotkeys) {
        Log(TRC, "check [%s] [%s]", action.c_str(), stored.c_str());
        if (stored != *key)
            continue;
        if (eat)
            *eat = VARIANT_TRUE;
        // The action may change m_Hotkeys; the name must outlive the entry.
        std::string name = action;
        RunHotkeyAction(name);
        return S_OK;
    }
    return S_OK;
}

void CTarnik::AssignHotkey(const std::string& key, VARIANT_BOOL* eat) {
    LONG index = SelectedIndex(m_chHotkeyItem);
    if (index < 0)
        return;  // the key goes to the game and capture stays on
    std::string action = ChoiceText(m_chHotkeyItem, index);
    m_Hotkeys[action] = key;
    m_HotkeyCapture = false;
    SaveResult saved = SaveConfig();
    onHotkeyChoice(index);
    if (!saved.Saved())
        NotSaved("Hotkey " + key + " for [" + action + "]", saved);
    else
        WriteToChat("Hotkey for [%s] set to %s", action.c_str(), key.c_str());
    if (eat)
        *eat = VARIANT_TRUE;
}

void CTarnik::SetHotkey() {
    Log(INF, "SetHotkey");
    LONG index = SelectedIndex(m_chHotkeyItem);
    if (index < 0) {
        WriteToChat("No item selected to set");
        return;
    }
    WriteToChat("Press the key you want to use as the hotkey for [%s]",
                ChoiceText(m_chHotkeyItem, index).c_str());
    m_HotkeyCapture = true;
}

void CTarnik::onHotkeyChoice(LONG index) {
    Log(TRC, "onHotkeyChoice %d", index);
    std::string text = "Hotkey [not assigned]";
    if (index >= 0) {
        auto found = m_Hotkeys.find(ChoiceText(m_chHotkeyItem, index));
        if (found != m_Hotkeys.end())
            text = "Hotkey: [" + found->second + "]";
    }
    if (m_stHotkeyValue)
        m_stHotkeyValue->put_Text(CComBSTR(text));
}

bool IsHotkeyAction(std::string_view action) {
    return std::any_of(std::begin(kHotkeyRows), std::end(kHotkeyRows),
                       [&](const HotkeyRow& row) { return row.name == action; });
}

void CTarnik::RunHotkeyAction(const std::string& action) {
    for (const HotkeyRow& row : kHotkeyRows) {
        if (row.name == action) {
            row.run(*this);
            return;
        }
    }
    Equip(action);
}
