// The host's COM objects: site, hooks, World filter with its objects and views,
// CharacterStats, EchoFilter2 with its messages, and the view with its controls.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ComObject.h"
#include "platform/ConnectionPoint.h"
#include "plugin/host/CharacterStats.h"
#include "plugin/host/Checkbox.h"
#include "plugin/host/Choice.h"
#include "plugin/host/EchoFilter.h"
#include "plugin/host/Edit.h"
#include "plugin/host/Hooks.h"
#include "plugin/host/HostEvents.h"
#include "plugin/host/PushButton.h"
#include "plugin/host/Site.h"
#include "plugin/host/StaticText.h"
#include "plugin/host/View.h"
#include "plugin/host/WorldFilter.h"
#include "simhost/ViewDescription.h"
#include "simhost/World.h"

namespace sim {

class SimHost;

// An object with one connection point for `events` (none when `events` is IID_NULL).
template <class... Ifaces>
class CEventSource : public ComObject<Ifaces..., IConnectionPointContainer> {
  public:
    explicit CEventSource(const IID& events) {
        if (events != IID_NULL)
            point_ = MakeComObject<CConnectionPoint>(events);
    }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override {
        if (points)
            *points = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if (!point)
            return E_POINTER;
        *point = nullptr;
        if (!point_ || riid != point_->EventIid())
            return CONNECT_E_NOCONNECTION;
        *point = point_.get();
        (*point)->AddRef();
        return S_OK;
    }
    void Fire(DISPID dispid, std::vector<VARIANT> args = {}) {
        if (point_)
            point_->Fire(dispid, std::move(args));
    }
    std::size_t SinkCount() const { return point_ ? point_->SinkCount() : 0; }

  private:
    CComPtr<CConnectionPoint> point_;
};

// ---------------------------------------------------------------- World filter

class CSimWorldObject final : public ComObject<IWorldObject> {
  public:
    CSimWorldObject(std::shared_ptr<const World> world, ObjectId id)
        : world_(std::move(world)), id_(id) {}
    HRESULT STDMETHODCALLTYPE get_Id(LONG* id) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_Type(LONG* typeCode) override;
    HRESULT STDMETHODCALLTYPE Values(LONG key, LONG defaultValue, LONG* value) override;
    HRESULT STDMETHODCALLTYPE RealValues(LONG key, double defaultValue, double* value) override;
    HRESULT STDMETHODCALLTYPE get_HasIdData(VARIANT_BOOL* has) override;

  private:
    std::shared_ptr<const World> world_;
    ObjectId id_;
};

// A view: its members are read again at every Reset, so a view kept across changes of
// the world follows them.
class CSimWorldIterator final : public ComObject<IWorldIterator> {
  public:
    enum class Query { Inventory, Container, Type };
    CSimWorldIterator(std::shared_ptr<const World> world, Query query, LONG argument);
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Next(IWorldObject** object, VARIANT_BOOL* more) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HRESULT STDMETHODCALLTYPE ByContainer(LONG container) override;

  private:
    std::shared_ptr<const World> world_;
    Query query_;
    LONG argument_;
    std::optional<ObjectId> narrowedTo_;
    std::optional<std::size_t> emptyAt_;
    std::vector<ObjectId> members_;
    std::size_t position_ = 0;  // in members_ plus the empty entry
    bool emptyGiven_ = false;
};

class CSimWorldFilter final : public CEventSource<IWorld> {
  public:
    explicit CSimWorldFilter(std::shared_ptr<World> world);
    HRESULT STDMETHODCALLTYPE get_Object(LONG id, IWorldObject** object) override;
    HRESULT STDMETHODCALLTYPE get_Inventory(IWorldIterator** view) override;
    HRESULT STDMETHODCALLTYPE get_ByContainer(LONG container, IWorldIterator** view) override;
    HRESULT STDMETHODCALLTYPE get_ByType(LONG typeCode, IWorldIterator** view) override;
    HRESULT STDMETHODCALLTYPE Distance2D(LONG first, LONG second, double* distance) override;

    void FireCreated(ObjectId id);
    void FireReleased(ObjectId id);

  private:
    HRESULT MakeView(CSimWorldIterator::Query query, LONG argument, IWorldIterator** view);
    std::shared_ptr<World> world_;
};

// ---------------------------------------------------------------- Hooks

class CSimHooks final : public CEventSource<IACHooks> {
  public:
    explicit CSimHooks(SimHost* host);
    void Detach() { host_ = nullptr; }

    HRESULT STDMETHODCALLTYPE ChatOut(BSTR text, LONG color, LONG window) override;
    HRESULT STDMETHODCALLTYPE InvokeChatParser(BSTR text) override;
    HRESULT STDMETHODCALLTYPE SelectItem(LONG objectId) override;
    HRESULT STDMETHODCALLTYPE get_CurrentSelection(LONG* objectId) override;
    HRESULT STDMETHODCALLTYPE MoveItemEx(LONG item, LONG container, LONG slot,
                                         VARIANT_BOOL merge) override;
    HRESULT STDMETHODCALLTYPE UseItemOnTarget(LONG item, LONG target) override;
    HRESULT STDMETHODCALLTYPE RequestId(LONG objectId) override;
    HRESULT STDMETHODCALLTYPE SetSplitCount(LONG count) override;
    HRESULT STDMETHODCALLTYPE get_ChatState(VARIANT_BOOL* active) override;

  private:
    SimHost* host_;
};

// ---------------------------------------------------------------- Filters

class CSimCharacterStats final : public CEventSource<ICharacterStats> {
  public:
    explicit CSimCharacterStats(std::shared_ptr<const World> world);
    HRESULT STDMETHODCALLTYPE get_Character(LONG* id) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_Server(BSTR* server) override;

  private:
    std::shared_ptr<const World> world_;
};

class CSimMessage final : public ComObject<IMessage2> {
  public:
    explicit CSimMessage(Message message) : message_(std::move(message)) {}
    HRESULT STDMETHODCALLTYPE get_Type(LONG* type) override;
    HRESULT STDMETHODCALLTYPE get_Value(BSTR field, LONG* value) override;

  private:
    Message message_;
};

class CSimEchoFilter final : public CEventSource<IEcho2> {
  public:
    CSimEchoFilter();
    void Deliver(const Message& message);
};

// ---------------------------------------------------------------- View and controls

// What the view knows of each control, whatever its interface.
class SimControl {
  public:
    virtual ~SimControl() = default;
    virtual IControl* Interface() = 0;
    // Raises the control's event (a button press, a choice selection).
    virtual void FireEvent(DISPID dispid, std::vector<VARIANT> args) = 0;
    ControlState state;
};

class CSimView final : public CEventSource<IView> {
  public:
    explicit CSimView(ViewLayout layout);
    ~CSimView() override;
    HRESULT STDMETHODCALLTYPE get_Control(BSTR name, IControl** control) override;

    const ViewLayout& Layout() const { return layout_; }
    SimControl* Find(std::string_view name) const;  // the first of that name
    const std::vector<SimControl*>& Controls() const { return controls_; }
    void Activate() { Fire(host::DISPID_VIEW_ACTIVATE); }

  private:
    ViewLayout layout_;
    std::vector<CComPtr<IControl>> owned_;
    std::vector<SimControl*> controls_;
};

// ---------------------------------------------------------------- Site

class CSimSite final : public ComObject<IPluginSite2, IPluginSite> {
  public:
    CSimSite(SimHost* host, bool pluginSite1, CComPtr<IACHooks> hooks,
             CComPtr<IUnknown> worldFilter, CComPtr<IUnknown> characterStats,
             CComPtr<IUnknown> echoFilter);
    void Detach();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE get_Hooks(IACHooks** hooks) override;
    HRESULT STDMETHODCALLTYPE RegisterSinks(IUnknown* plugin) override;
    HRESULT STDMETHODCALLTYPE get_Object(BSTR name, IUnknown** object) override;
    HRESULT STDMETHODCALLTYPE LoadView(BSTR description, IView** view) override;

  private:
    SimHost* host_;
    bool pluginSite1_;
    CComPtr<IACHooks> hooks_;
    CComPtr<IUnknown> world_, stats_, echo_;
};

}  // namespace sim
