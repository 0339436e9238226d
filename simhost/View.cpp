// The view built from a description, and its controls of every kind.
#include "plugin/host/HostEvents.h"
#include "simhost/HostObjects.h"

namespace sim {

namespace {

BSTR NewBstr(std::string_view utf8) {
    return CComBSTR(utf8).Detach();
}

template <class I>
class CControl : public CEventSource<I>, public SimControl {
  public:
    CControl(ControlState initial, const IID& events) : CEventSource<I>(events) {
        state = std::move(initial);
    }
    HRESULT STDMETHODCALLTYPE get_ID(LONG* id) override {
        if (!id)
            return E_POINTER;
        *id = state.id;
        return S_OK;
    }
    IControl* Interface() override { return static_cast<I*>(this); }
    void FireEvent(DISPID dispid, std::vector<VARIANT> args) override {
        this->Fire(dispid, std::move(args));
    }

  protected:
    HRESULT GetText(BSTR* text) {
        if (!text)
            return E_POINTER;
        *text = NewBstr(state.text);
        return S_OK;
    }
    HRESULT PutText(BSTR text) {
        state.text = BstrToUtf8(text);
        return S_OK;
    }
};

class CPushButton final : public CControl<IPushButton> {
  public:
    explicit CPushButton(ControlState initial)
        : CControl(std::move(initial), host::DIID_ICommandEvents) {}
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override { return GetText(text); }
    HRESULT STDMETHODCALLTYPE put_Text(BSTR text) override { return PutText(text); }
    HRESULT STDMETHODCALLTYPE get_TextColor(LONG* color) override {
        if (!color)
            return E_POINTER;
        *color = state.textColor;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_TextColor(LONG color) override {
        state.textColor = color;
        return S_OK;
    }
};

class CStaticText final : public CControl<IStaticText> {
  public:
    explicit CStaticText(ControlState initial) : CControl(std::move(initial), IID_NULL) {}
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override { return GetText(text); }
    HRESULT STDMETHODCALLTYPE put_Text(BSTR text) override { return PutText(text); }
};

class CEdit final : public CControl<IEdit> {
  public:
    explicit CEdit(ControlState initial) : CControl(std::move(initial), IID_NULL) {}
    HRESULT STDMETHODCALLTYPE get_Text(BSTR* text) override { return GetText(text); }
    HRESULT STDMETHODCALLTYPE put_Text(BSTR text) override { return PutText(text); }
};

class CCheckbox final : public CControl<ICheckbox> {
  public:
    explicit CCheckbox(ControlState initial) : CControl(std::move(initial), IID_NULL) {}
    HRESULT STDMETHODCALLTYPE get_Checked(VARIANT_BOOL* checked) override {
        if (!checked)
            return E_POINTER;
        *checked = state.checked ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Checked(VARIANT_BOOL checked) override {
        state.checked = checked != VARIANT_FALSE;
        return S_OK;
    }
};

class CChoice final : public CControl<IChoice> {
  public:
    explicit CChoice(ControlState initial)
        : CControl(std::move(initial), host::DIID_IChoiceEvents) {}
    HRESULT STDMETHODCALLTYPE get_ChoiceCount(LONG* count) override {
        if (!count)
            return E_POINTER;
        *count = Count();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddChoice(BSTR text) override {
        state.options.push_back(BstrToUtf8(text));
        return S_OK;
    }
    // The selection stays on the same option; removing the selected one selects nothing.
    HRESULT STDMETHODCALLTYPE RemoveChoice(LONG index) override {
        if (!Valid(index))
            return E_INVALIDARG;
        state.options.erase(state.options.begin() + index);
        if (state.selected == index)
            state.selected = -1;
        else if (state.selected > index)
            --state.selected;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Text(LONG index, BSTR* text) override {
        if (!text)
            return E_POINTER;
        *text = nullptr;
        if (!Valid(index))
            return E_INVALIDARG;
        *text = NewBstr(state.options[static_cast<std::size_t>(index)]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Text(LONG index, BSTR text) override {
        if (!Valid(index))
            return E_INVALIDARG;
        state.options[static_cast<std::size_t>(index)] = BstrToUtf8(text);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Selected(LONG* index) override {
        if (!index)
            return E_POINTER;
        *index = state.selected;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Selected(LONG index) override {
        state.selected = Valid(index) ? index : -1;
        return S_OK;
    }

  private:
    LONG Count() const { return static_cast<LONG>(state.options.size()); }
    bool Valid(LONG index) const { return index >= 0 && index < Count(); }
};

class CLayout final : public CControl<IControl> {
  public:
    explicit CLayout(ControlState initial) : CControl(std::move(initial), IID_NULL) {}
};

template <class T>
void Keep(const ControlState& state, std::vector<CComPtr<IControl>>& owned,
          std::vector<SimControl*>& controls) {
    auto made = MakeComObject<T>(state);
    owned.emplace_back(made->Interface());
    controls.push_back(made.get());
}

}  // namespace

CSimView::CSimView(ViewLayout layout)
    : CEventSource(host::DIID_IViewEvents), layout_(std::move(layout)) {
    for (const ControlState& state : layout_.controls) {
        switch (state.kind) {
            case ControlKind::PushButton:
                Keep<CPushButton>(state, owned_, controls_);
                break;
            case ControlKind::StaticText:
                Keep<CStaticText>(state, owned_, controls_);
                break;
            case ControlKind::Choice:
                Keep<CChoice>(state, owned_, controls_);
                break;
            case ControlKind::Checkbox:
                Keep<CCheckbox>(state, owned_, controls_);
                break;
            case ControlKind::Edit:
                Keep<CEdit>(state, owned_, controls_);
                break;
            case ControlKind::Notebook:
            case ControlKind::FixedLayout:
                Keep<CLayout>(state, owned_, controls_);
                break;
        }
    }
}

CSimView::~CSimView() = default;

SimControl* CSimView::Find(std::string_view name) const {
    for (SimControl* control : controls_)
        if (!name.empty() && control->state.name == name)
            return control;
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CSimView::get_Control(BSTR name, IControl** control) {
    if (!control)
        return E_POINTER;
    *control = nullptr;
    SimControl* found = Find(BstrToUtf8(name));
    if (!found)
        return E_INVALIDARG;
    *control = found->Interface();
    (*control)->AddRef();
    return S_OK;
}

}  // namespace sim
