// Small in-memory stand-ins for the World filter, its views and objects, the hooks, the
// REV checkbox, a server message and the timer backend, for unit tests of one operation.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "inventory/Inventory.h"
#include "platform/ComObject.h"
#include "platform/DebugOutput.h"
#include "platform/Timer.h"
#include "plugin/Tarnik.h"

namespace fake {

class Object final : public ComObject<IWorldObject> {
  public:
    ObjectId id = 0;
    std::string name;
    LONG type = 0;
    std::map<LONG, LONG> ints;
    std::map<LONG, double> reals;
    bool hasIdData = true;

    HRESULT get_Id(LONG* value) override {
        *value = static_cast<LONG>(id);
        return S_OK;
    }
    HRESULT get_Name(BSTR* value) override {
        *value = CComBSTR(name).Detach();
        return S_OK;
    }
    HRESULT get_Type(LONG* value) override {
        *value = type;
        return S_OK;
    }
    HRESULT Values(LONG key, LONG defaultValue, LONG* value) override {
        auto it = ints.find(key);
        *value = it == ints.end() ? defaultValue : it->second;
        return S_OK;
    }
    HRESULT RealValues(LONG key, double defaultValue, double* value) override {
        auto it = reals.find(key);
        *value = it == reals.end() ? defaultValue : it->second;
        return S_OK;
    }
    HRESULT get_HasIdData(VARIANT_BOOL* has) override {
        *has = hasIdData ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

    Object& Int(LONG key, LONG value) {
        ints[key] = value;
        return *this;
    }
};

// A fixed list of entries; a null entry is yielded as an empty entry with more to come.
class View final : public ComObject<IWorldIterator> {
  public:
    explicit View(std::vector<CComPtr<Object>> entries) : entries_(std::move(entries)) {}

    HRESULT Reset() override {
        pos_ = 0;
        return S_OK;
    }
    HRESULT Next(IWorldObject** object, VARIANT_BOOL* more) override {
        *object = nullptr;
        if (pos_ >= entries_.size()) {
            *more = VARIANT_FALSE;
            return S_OK;
        }
        if (Object* entry = entries_[pos_++]) {
            entry->AddRef();
            *object = entry;
        }
        *more = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT get_Count(LONG* count) override {
        *count = static_cast<LONG>(entries_.size());
        return S_OK;
    }
    HRESULT ByContainer(LONG container) override {
        std::vector<CComPtr<Object>> kept;
        for (const auto& entry : entries_)
            if (!entry || entry->ints[KEY_CONTAINER] == container)
                kept.push_back(entry);
        entries_ = std::move(kept);
        pos_ = 0;
        return S_OK;
    }

  private:
    std::vector<CComPtr<Object>> entries_;
    std::size_t pos_ = 0;
};

// The inventory in the order it was added; container views filter it by KEY_CONTAINER.
class World final : public ComObject<IWorld> {
  public:
    std::vector<CComPtr<Object>> inventory;  // may hold null entries
    bool giveViews = true;

    Object& Add(ObjectId id, std::string name, ObjectId container, LONG slot) {
        CComPtr<Object> object = MakeComObject<Object>();
        object->id = id;
        object->name = std::move(name);
        object->ints[KEY_CONTAINER] = static_cast<LONG>(container);
        object->ints[KEY_SLOT] = slot;
        inventory.push_back(object);
        return *object;
    }
    void AddEmptyEntry() { inventory.push_back(nullptr); }
    // Forgets the object, as the World filter does once it is gone.
    void Forget(ObjectId id) {
        std::erase_if(inventory, [&](const CComPtr<Object>& o) { return o && o->id == id; });
    }
    Object* Find(ObjectId id) {
        for (const auto& object : inventory)
            if (object && object->id == id)
                return object;
        return nullptr;
    }

    HRESULT get_Object(LONG id, IWorldObject** object) override {
        *object = nullptr;
        Object* found = Find(static_cast<ObjectId>(id));
        if (!found)
            return S_FALSE;
        found->AddRef();
        *object = found;
        return S_OK;
    }
    HRESULT get_Inventory(IWorldIterator** view) override { return Give(inventory, view); }
    HRESULT get_ByContainer(LONG container, IWorldIterator** view) override {
        std::vector<CComPtr<Object>> entries;
        for (const auto& object : inventory)
            if (!object || object->ints[KEY_CONTAINER] == container)
                entries.push_back(object);
        return Give(std::move(entries), view);
    }
    HRESULT get_ByType(LONG, IWorldIterator** view) override { return Give({}, view); }
    HRESULT Distance2D(LONG, LONG, double* distance) override {
        *distance = 0.0;
        return S_OK;
    }

  private:
    HRESULT Give(std::vector<CComPtr<Object>> entries, IWorldIterator** view) {
        *view = nullptr;
        if (!giveViews)
            return E_FAIL;
        *view = MakeComObject<View>(std::move(entries)).Detach();
        return S_OK;
    }
};

struct Move {
    ObjectId item = 0;
    ObjectId container = 0;
    LONG slot = 0;
    bool merge = false;
    friend bool operator==(const Move&, const Move&) = default;
};

class Hooks final : public ComObject<IACHooks> {
  public:
    std::vector<std::string> chat;
    std::vector<ObjectId> selects;
    std::vector<Move> moves;
    std::vector<LONG> splits;
    std::vector<ObjectId> idRequests;
    LONG selection = 0;

    HRESULT ChatOut(BSTR text, LONG, LONG) override {
        chat.push_back(BstrToUtf8(text));
        return S_OK;
    }
    HRESULT InvokeChatParser(BSTR) override { return S_OK; }
    HRESULT SelectItem(LONG id) override {
        selects.push_back(static_cast<ObjectId>(id));
        return S_OK;
    }
    HRESULT get_CurrentSelection(LONG* id) override {
        *id = selection;
        return S_OK;
    }
    HRESULT MoveItemEx(LONG item, LONG container, LONG slot, VARIANT_BOOL merge) override {
        moves.push_back({static_cast<ObjectId>(item), static_cast<ObjectId>(container), slot,
                         merge == VARIANT_TRUE});
        return S_OK;
    }
    HRESULT UseItemOnTarget(LONG, LONG) override { return S_OK; }
    HRESULT RequestId(LONG id) override {
        idRequests.push_back(static_cast<ObjectId>(id));
        return S_OK;
    }
    HRESULT SetSplitCount(LONG count) override {
        splits.push_back(count);
        return S_OK;
    }
    HRESULT get_ChatState(VARIANT_BOOL* active) override {
        *active = VARIANT_FALSE;
        return S_OK;
    }
};

class Checkbox final : public ComObject<ICheckbox> {
  public:
    bool checked = false;
    HRESULT get_ID(LONG* id) override {
        *id = 0;
        return S_OK;
    }
    HRESULT get_Checked(VARIANT_BOOL* value) override {
        *value = checked ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT put_Checked(VARIANT_BOOL value) override {
        checked = value == VARIANT_TRUE;
        return S_OK;
    }
};

class Message final : public ComObject<IMessage2> {
  public:
    LONG type = 0;
    std::map<std::string, LONG> fields;

    HRESULT get_Type(LONG* value) override {
        *value = type;
        return S_OK;
    }
    HRESULT get_Value(BSTR field, LONG* value) override {
        auto it = fields.find(BstrToUtf8(field));
        *value = it == fields.end() ? 0 : it->second;
        return it == fields.end() ? E_INVALIDARG : S_OK;
    }
};

inline CComPtr<Message> InsertInvItem(ObjectId item, ObjectId container) {
    CComPtr<Message> m = MakeComObject<Message>();
    m->type = 0xF7B0;
    m->fields = {{"event", 0x22},
                 {"item", static_cast<LONG>(item)},
                 {"container", static_cast<LONG>(container)}};
    return m;
}
inline CComPtr<Message> WearItem(ObjectId item, LONG coverage = 0x400) {
    CComPtr<Message> m = MakeComObject<Message>();
    m->type = 0xF7B0;
    m->fields = {{"event", 0x23}, {"item", static_cast<LONG>(item)}, {"slot", coverage}};
    return m;
}
inline CComPtr<Message> StackAdjusted(ObjectId item, LONG count) {
    CComPtr<Message> m = MakeComObject<Message>();
    m->type = 0x0197;
    m->fields = {{"item", static_cast<LONG>(item)}, {"count", count}};
    return m;
}

// Records the interval of every timer armed while it is installed; nothing fires.
class Timers final : public ITimerBackend {
  public:
    Timers() { SetTimerBackend(this); }
    ~Timers() { SetTimerBackend(nullptr); }
    Timers(const Timers&) = delete;
    Timers& operator=(const Timers&) = delete;

    std::vector<UINT> armed;

    UINT_PTR SetTimer(UINT elapseMs, TIMERPROC) override {
        armed.push_back(elapseMs);
        return armed.size();
    }
    bool KillTimer(UINT_PTR) override { return true; }
};

// A plug-in object wired to the fakes above (no Initialize), with its trace captured
// at every level.
class PluginTest {
  public:
    PluginTest() {
        tarnik->m_pWorld = world.get();
        tarnik->m_pHooks = hooks.get();
        tarnik->m_cbReverse = reverse.get();
        tarnik->m_Me = kMe;
        tarnik->m_Log.SetThreshold(TRC);
        SetDebugOutputSink([this](const char* line) { trace.emplace_back(line); });
    }
    ~PluginTest() {
        SetDebugOutputSink({});
        tarnik->m_pWorld.Release();
        tarnik->m_pHooks.Release();
        tarnik->m_cbReverse.Release();
    }
    PluginTest(const PluginTest&) = delete;
    PluginTest& operator=(const PluginTest&) = delete;

    bool Traced(const std::string& line) const {
        for (const auto& t : trace)
            if (t == line)
                return true;
        return false;
    }

    static constexpr ObjectId kMe = 0x50000001;
    CComPtr<World> world = MakeComObject<World>();
    CComPtr<Hooks> hooks = MakeComObject<Hooks>();
    CComPtr<Checkbox> reverse = MakeComObject<Checkbox>();
    CComPtr<CTarnik> tarnik = CreateTarnik();
    std::vector<std::string> trace;
};

}  // namespace fake
