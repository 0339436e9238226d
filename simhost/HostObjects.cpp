// The host's COM objects, each a thin face over the world or over SimHost.
#include "simhost/HostObjects.h"

#include "plugin/host/HostEvents.h"
#include "simhost/SimHost.h"

namespace sim {

namespace {
BSTR NewBstr(std::string_view utf8) {
    return CComBSTR(utf8).Detach();
}

template <class T, class I>
void Hand(CComPtr<T>& object, I** out) {
    *out = static_cast<I*>(object.Detach());
}
}  // namespace

// ---------------------------------------------------------------- World objects

HRESULT STDMETHODCALLTYPE CSimWorldObject::get_Id(LONG* id) {
    if (!id)
        return E_POINTER;
    *id = static_cast<LONG>(id_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldObject::get_Name(BSTR* name) {
    if (!name)
        return E_POINTER;
    const Object* object = world_->FindAny(id_);
    *name = NewBstr(object ? object->name : "");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldObject::get_Type(LONG* typeCode) {
    if (!typeCode)
        return E_POINTER;
    const Object* object = world_->FindAny(id_);
    *typeCode = object ? object->type : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldObject::Values(LONG key, LONG defaultValue, LONG* value) {
    if (!value)
        return E_POINTER;
    const Object* object = world_->FindAny(id_);
    *value = object ? object->Int(key, defaultValue) : defaultValue;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldObject::RealValues(LONG key, double defaultValue,
                                                      double* value) {
    if (!value)
        return E_POINTER;
    const Object* object = world_->FindAny(id_);
    *value = object ? object->Real(key, defaultValue) : defaultValue;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldObject::get_HasIdData(VARIANT_BOOL* has) {
    if (!has)
        return E_POINTER;
    const Object* object = world_->FindAny(id_);
    *has = object && object->identified ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// ---------------------------------------------------------------- Views

CSimWorldIterator::CSimWorldIterator(std::shared_ptr<const World> world, Query query, LONG argument)
    : world_(std::move(world)), query_(query), argument_(argument) {
    emptyAt_ = world_->EmptyEntryAt();
    Reset();
}

HRESULT STDMETHODCALLTYPE CSimWorldIterator::Reset() {
    switch (query_) {
        case Query::Inventory:
            // The inventory lists every container's items in their container's order, so
            // narrowed to one container it is that container's view; computing it directly
            // keeps the stand-in's cost out of the plug-in's benchmarks.
            members_ = narrowedTo_ ? world_->ContainerView(*narrowedTo_) : world_->InventoryView();
            break;
        case Query::Container:
            members_ = world_->ContainerView(static_cast<ObjectId>(argument_));
            break;
        case Query::Type:
            members_ = world_->TypeView(argument_);
            break;
    }
    if (narrowedTo_ && query_ != Query::Inventory) {
        std::vector<ObjectId> inside = world_->ContainerView(*narrowedTo_);
        std::sort(inside.begin(), inside.end());
        std::vector<ObjectId> kept;
        for (ObjectId id : members_)
            if (std::binary_search(inside.begin(), inside.end(), id))
                kept.push_back(id);
        members_ = std::move(kept);
    }
    position_ = 0;
    emptyGiven_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldIterator::Next(IWorldObject** object, VARIANT_BOOL* more) {
    if (!object || !more)
        return E_POINTER;
    *object = nullptr;
    if (emptyAt_ && !emptyGiven_ && position_ >= std::min(*emptyAt_, members_.size())) {
        emptyGiven_ = true;
        *more = VARIANT_TRUE;
        return S_OK;
    }
    if (position_ >= members_.size()) {
        *more = VARIANT_FALSE;
        return S_OK;
    }
    auto entry = MakeComObject<CSimWorldObject>(world_, members_[position_++]);
    Hand(entry, object);
    *more = VARIANT_TRUE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldIterator::get_Count(LONG* count) {
    if (!count)
        return E_POINTER;
    *count = static_cast<LONG>(members_.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldIterator::ByContainer(LONG container) {
    narrowedTo_ = static_cast<ObjectId>(container);
    return Reset();
}

// ---------------------------------------------------------------- World filter

CSimWorldFilter::CSimWorldFilter(std::shared_ptr<World> world)
    : CEventSource(host::DIID_IWorldEvents), world_(std::move(world)) {}

HRESULT STDMETHODCALLTYPE CSimWorldFilter::get_Object(LONG id, IWorldObject** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!world_->Exists(static_cast<ObjectId>(id)))
        return S_FALSE;
    auto found = MakeComObject<CSimWorldObject>(world_, static_cast<ObjectId>(id));
    Hand(found, object);
    return S_OK;
}

HRESULT CSimWorldFilter::MakeView(CSimWorldIterator::Query query, LONG argument,
                                  IWorldIterator** view) {
    if (!view)
        return E_POINTER;
    *view = nullptr;
    if (world_->ViewsRefused())
        return E_FAIL;
    auto made = MakeComObject<CSimWorldIterator>(world_, query, argument);
    Hand(made, view);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimWorldFilter::get_Inventory(IWorldIterator** view) {
    return MakeView(CSimWorldIterator::Query::Inventory, 0, view);
}

HRESULT STDMETHODCALLTYPE CSimWorldFilter::get_ByContainer(LONG container, IWorldIterator** view) {
    return MakeView(CSimWorldIterator::Query::Container, container, view);
}

HRESULT STDMETHODCALLTYPE CSimWorldFilter::get_ByType(LONG typeCode, IWorldIterator** view) {
    return MakeView(CSimWorldIterator::Query::Type, typeCode, view);
}

HRESULT STDMETHODCALLTYPE CSimWorldFilter::Distance2D(LONG first, LONG second, double* distance) {
    if (!distance)
        return E_POINTER;
    auto measured = world_->Distance(static_cast<ObjectId>(first), static_cast<ObjectId>(second));
    *distance = measured.value_or(0.0);
    return measured ? S_OK : E_INVALIDARG;
}

void CSimWorldFilter::FireCreated(ObjectId id) {
    auto object = MakeComObject<CSimWorldObject>(world_, id);
    Fire(host::DISPID_WORLD_CREATED, {MakeVariantUnknown(static_cast<IWorldObject*>(object))});
}

void CSimWorldFilter::FireReleased(ObjectId id) {
    auto object = MakeComObject<CSimWorldObject>(world_, id);
    Fire(host::DISPID_WORLD_RELEASED, {MakeVariantUnknown(static_cast<IWorldObject*>(object))});
}

// ---------------------------------------------------------------- Hooks

CSimHooks::CSimHooks(SimHost* host) : CEventSource(host::DIID_IACHooksEvents), host_(host) {}

HRESULT STDMETHODCALLTYPE CSimHooks::ChatOut(BSTR text, LONG color, LONG window) {
    if (!host_)
        return E_UNEXPECTED;
    host_->RecordChat(ChatLine{BstrToUtf8(text), color, window});
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimHooks::InvokeChatParser(BSTR text) {
    if (!host_)
        return E_UNEXPECTED;
    host_->RecordGameText(BstrToUtf8(text), GameText::Source::ChatParser);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimHooks::SelectItem(LONG objectId) {
    if (!host_)
        return E_UNEXPECTED;
    host_->RequestSelect(static_cast<ObjectId>(objectId));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimHooks::get_CurrentSelection(LONG* objectId) {
    if (!objectId)
        return E_POINTER;
    *objectId = host_ ? static_cast<LONG>(host_->CurrentSelection()) : 0;
    return host_ ? S_OK : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE CSimHooks::MoveItemEx(LONG item, LONG container, LONG slot,
                                                VARIANT_BOOL merge) {
    if (!host_)
        return E_UNEXPECTED;
    return host_->RequestMove(static_cast<ObjectId>(item), static_cast<ObjectId>(container), slot,
                              merge != VARIANT_FALSE);
}

HRESULT STDMETHODCALLTYPE CSimHooks::UseItemOnTarget(LONG item, LONG target) {
    if (!host_)
        return E_UNEXPECTED;
    return host_->RequestUse(static_cast<ObjectId>(item), static_cast<ObjectId>(target));
}

HRESULT STDMETHODCALLTYPE CSimHooks::RequestId(LONG objectId) {
    if (!host_)
        return E_UNEXPECTED;
    host_->RequestId(static_cast<ObjectId>(objectId));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimHooks::SetSplitCount(LONG count) {
    if (!host_)
        return E_UNEXPECTED;
    host_->RequestSplit(count);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimHooks::get_ChatState(VARIANT_BOOL* active) {
    if (!active)
        return E_POINTER;
    *active = host_ && host_->ChatActive() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// ---------------------------------------------------------------- CharacterStats

CSimCharacterStats::CSimCharacterStats(std::shared_ptr<const World> world)
    : CEventSource(host::DIID_ICharacterStatsEvents), world_(std::move(world)) {}

HRESULT STDMETHODCALLTYPE CSimCharacterStats::get_Character(LONG* id) {
    if (!id)
        return E_POINTER;
    *id = static_cast<LONG>(world_->Character());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimCharacterStats::get_Name(BSTR* name) {
    if (!name)
        return E_POINTER;
    *name = NewBstr(world_->CharacterName());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimCharacterStats::get_Server(BSTR* server) {
    if (!server)
        return E_POINTER;
    *server = NewBstr(world_->ServerName());
    return S_OK;
}

// ---------------------------------------------------------------- EchoFilter2

HRESULT STDMETHODCALLTYPE CSimMessage::get_Type(LONG* type) {
    if (!type)
        return E_POINTER;
    *type = message_.type;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimMessage::get_Value(BSTR field, LONG* value) {
    if (!value)
        return E_POINTER;
    auto found = message_.Field(BstrToUtf8(field));
    *value = found.value_or(0);
    return found ? S_OK : E_INVALIDARG;
}

CSimEchoFilter::CSimEchoFilter() : CEventSource(host::DIID_IEchoEvents2) {}

void CSimEchoFilter::Deliver(const Message& message) {
    auto made = MakeComObject<CSimMessage>(message);
    Fire(host::DISPID_ECHO_MESSAGE, {MakeVariantUnknown(static_cast<IMessage2*>(made))});
}

// ---------------------------------------------------------------- Site

CSimSite::CSimSite(SimHost* host, bool pluginSite1, CComPtr<IACHooks> hooks,
                   CComPtr<IUnknown> worldFilter, CComPtr<IUnknown> characterStats,
                   CComPtr<IUnknown> echoFilter)
    : host_(host),
      pluginSite1_(pluginSite1),
      hooks_(std::move(hooks)),
      world_(std::move(worldFilter)),
      stats_(std::move(characterStats)),
      echo_(std::move(echoFilter)) {}

void CSimSite::Detach() {
    host_ = nullptr;
    hooks_.Release();
    world_.Release();
    stats_.Release();
    echo_.Release();
}

HRESULT STDMETHODCALLTYPE CSimSite::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IPluginSite::iid && !pluginSite1_) {
        if (ppv)
            *ppv = nullptr;
        return E_NOINTERFACE;
    }
    return ComObject::QueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CSimSite::get_Hooks(IACHooks** hooks) {
    if (!hooks)
        return E_POINTER;
    *hooks = hooks_.get();
    if (!*hooks)
        return S_FALSE;
    (*hooks)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimSite::RegisterSinks(IUnknown* plugin) {
    if (!plugin)
        return E_POINTER;
    if (!host_)
        return E_UNEXPECTED;
    host_->RegisterSink(plugin);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimSite::get_Object(BSTR name, IUnknown** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    std::string wanted = BstrToUtf8(name);
    IUnknown* found = nullptr;
    if (wanted == host::kWorldFilterName)
        found = world_.get();
    else if (wanted == host::kCharacterStatsName)
        found = stats_.get();
    else if (wanted == host::kEchoFilterName)
        found = echo_.get();
    if (!found)
        return S_FALSE;
    found->AddRef();
    *object = found;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSimSite::LoadView(BSTR description, IView** view) {
    if (!view)
        return E_POINTER;
    *view = nullptr;
    if (!host_)
        return E_UNEXPECTED;
    CSimView* made = nullptr;
    HRESULT hr = host_->LoadView(BstrToUtf8(description), &made);
    if (FAILED(hr))
        return hr;
    *view = made;  // LoadView handed over one reference
    return S_OK;
}

}  // namespace sim
