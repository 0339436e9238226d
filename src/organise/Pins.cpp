// The Config page: the labels that follow the selection, the pack configuration by item
// name ("Set", "Remove", "Clear!") and the pins of single items to their packs.
#include <algorithm>
#include <string>

#include "config/XmlDocument.h"
#include "inventory/Inventory.h"
#include "plugin/Tarnik.h"

namespace {

// Names longer than this many characters are shown as their first kShortName and "...".
constexpr std::size_t kLongName = 23;
constexpr std::size_t kShortName = 20;

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Counts and cuts by characters, not bytes, so that a UTF-8 character is never split.
std::string ShortLabelName(const std::string& name, bool& shortened) {
    std::size_t characters = 0;
    std::size_t cut = name.size();
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsContinuationByte(name[i]))
            continue;
        if (characters == kShortName)
            cut = i;
        ++characters;
    }
    shortened = characters > kLongName;
    return shortened ? name.substr(0, cut) + "..." : name;
}

// Why the item may not be pinned, as the end of the label after its name; null when it may.
const char* PinRefusal(IWorldObject* item, ObjectId me) {
    if (IntValue(item, KEY_STACK_MAX) >= 2)
        return " is stackable, cannot pin.";
    if (IntValue(item, KEY_SLOT) == SLOT_WORN)
        return " is equipped, cannot pin.";
    if (static_cast<ObjectId>(IntValue(item, KEY_CONTAINER)) == me)
        return " is in main pack, cannot pin.";
    return nullptr;
}

void SetLabel(IStaticText* label, const std::string& text) {
    if (label)
        label->put_Text(CComBSTR(std::string_view(text)));
}

}  // namespace

void CTarnik::ShowPacks() {
    Log(INF, "ShowPacks");
    if (!m_pWorld)
        return;
    // Nothing found below means nothing selected: no button may act on an older selection.
    m_SelectedPack = 0;
    m_SelectedObject = 0;
    m_CannotPin = true;
    CComPtr<IWorldIterator> view = InventoryView(m_pWorld);
    if (!view) {
        WriteToChat("Unable to get Inventory filter. Tarnik! cannot operate.");
        return;
    }
    LONG selection = 0;
    if (m_pHooks)
        m_pHooks->get_CurrentSelection(&selection);
    const auto selected = static_cast<ObjectId>(selection);
    Log(TRC, "Iterating Inventory");
    WalkView(*this, view, WALK_PACKS, [&](IWorldObject* object) {
        const ObjectId id = IdOf(object);
        if (id != selected || selected == 0)
            return true;
        Log(TRC, "Item was selected.");
        LONG slot = IntValue(object, KEY_SLOT);
        bool shortened = false;
        std::string name = ShortLabelName(NameOf(object), shortened);
        if (shortened)
            Log(TRC, "Found long name...");
        if (IntValue(object, KEY_ITEM_SLOTS) < 1) {
            Log(TRC, "Item is Not a container.");
            m_SelectedObject = id;
            const char* refusal = PinRefusal(object, m_Me);
            m_CannotPin = refusal != nullptr;
            std::string label;
            if (m_Pins.contains(id))
                label = "Item config: Remove pin for " + name + ".";
            else if (refusal)
                label = name + refusal;
            else
                label = "Item Config: Pin " + name + " in slot " + std::to_string(slot) +
                        " to this pack.";
            SetLabel(m_stPin, label);
        } else if (id == m_Me) {
            // The character holds the main pack, which takes no configuration: storing
            // into it would move its items round and round.
            Log(TRC, "The character is not a side pack.");
        } else {
            Log(TRC, "Item is a container.");
            if (slot < 0 || slot >= PACK_SLOT_COUNT)
                slot = PACK_SLOT_COUNT;
            Log(TRC, "creating text string");
            std::string text =
                "Pack Config: " + name + " in " + PackSlotNames(slot) + " pack slot.";
            m_SelectedPack = id;
            Log(TRC, "loading text string");
            SetLabel(m_stCfg, text);
        }
        return false;
    });
    Log(TRC, "Iteration complete");
    if (m_SelectedPack == 0)
        SetLabel(m_stCfg, "Pack Config: No pack selected.");
    if (m_SelectedObject == 0)
        SetLabel(m_stPin, "Item Config: No item selected.");
}

void CTarnik::Config() {
    Log(INF, "Config");
    if (m_SelectedPack == 0) {
        WriteToChat("You must first select a pack.");
        return;
    }
    // Without a view the pack's entries could not be rebuilt, so the old ones stay.
    CComPtr<IWorldIterator> view = InventoryView(m_pWorld);
    if (!view) {
        WriteToChat("Unable to get Inventory filter. Tarnik! cannot operate.");
        return;
    }
    RemoveCurPack();
    WriteToChat("The following items will be stored in this pack...");
    Log(TRC, "Enumerating pack item list.");
    WalkView(*this, view, WALK_CONFIG, [&](IWorldObject* object) {
        if (static_cast<ObjectId>(IntValue(object, KEY_CONTAINER)) != m_SelectedPack)
            return true;
        std::string name = NameOf(object);
        // The shared file could not hold the name as it is, and no other name finds it.
        if (!IsXmlText(name)) {
            WriteToChat("   %s (not stored: the name holds a control character)", name.c_str());
            return true;
        }
        AddIfNew(PackItem{name, m_SelectedPack});
        WriteToChat("   %s", name.c_str());
        return true;
    });
    Log(TRC, "Saving pack configuration");
    if (SaveResult saved = SaveConfig(); !saved.Saved())
        NotSaved("This pack's configuration", saved);
}

void CTarnik::RemoveCurPack() {
    Log(INF, "RemoveCurPack");
    std::erase_if(m_PackConfig,
                  [&](const PackItem& entry) { return entry.pack == m_SelectedPack; });
}

void CTarnik::AddIfNew(const PackItem& entry) {
    Log(INF, "AddIfNew");
    if (std::find(m_PackConfig.begin(), m_PackConfig.end(), entry) == m_PackConfig.end())
        m_PackConfig.push_back(entry);
}

void CTarnik::RemConfig() {
    Log(INF, "RemConfig");
    if (m_SelectedPack == 0) {
        WriteToChat("You must first select a pack.");
        return;
    }
    RemoveCurPack();
    if (SaveResult saved = SaveConfig(); !saved.Saved())
        NotSaved("Removing this pack's configuration", saved);
}

void CTarnik::ClearAll() {
    Log(INF, "ClearAll");
    m_PackConfig.clear();
    if (SaveResult saved = SaveConfig(); !saved.Saved())
        NotSaved("Removing all pack configurations", saved);
    else
        WriteToChat("All pack configurations removed.");
}

void CTarnik::Pin() {
    EndJob();
    Log(INF, "Pin");
    if (m_CannotPin) {
        WriteToChat("You must first select a valid item to pin.");
        return;
    }
    // The item may have moved since it was selected: it is pinned to where it is now,
    // and only while it still may be.
    CComPtr<IWorldObject> item = FindObject(m_pWorld, m_SelectedObject);
    if (!item || PinRefusal(item, m_Me)) {
        WriteToChat("You must first select a valid item to pin.");
        ShowPacks();
        return;
    }
    m_Pins[m_SelectedObject] = static_cast<ObjectId>(IntValue(item, KEY_CONTAINER));
    if (SaveResult saved = SaveConfig(); !saved.Saved())
        NotSaved("The pin", saved);
    else
        WriteToChat("Item pinned");
    ShowPacks();
}

void CTarnik::UnPin() {
    Log(INF, "UnPin");
    if (m_Pins.erase(m_SelectedObject) == 0) {
        WriteToChat("Item was not pinned.");
    } else if (SaveResult saved = SaveConfig(); !saved.Saved()) {
        NotSaved("Removing the pin", saved);
    } else {
        WriteToChat("Pin removed.");
    }
    ShowPacks();
}
