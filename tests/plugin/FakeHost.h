// Small stand-ins for the host objects the chat output talks to, and a capture of the
// debugger output, for the plug-in core's unit tests.
#pragma once

#include <string>
#include <vector>

#include "platform/ComObject.h"
#include "platform/DebugOutput.h"
#include "plugin/host/Choice.h"
#include "plugin/host/Hooks.h"

// Records chat lines, chat-parser texts and split counts; `failWith` makes every call
// answer that code after recording it.
class FakeHooks final : public ComObject<IACHooks> {
  public:
    struct ChatLine {
        std::string text;
        LONG color;
        LONG window;
    };
    std::vector<ChatLine> chat;
    std::vector<std::string> parsed;
    std::vector<LONG> splits;
    HRESULT failWith = S_OK;

    HRESULT ChatOut(BSTR text, LONG color, LONG window) override {
        chat.push_back({BstrToUtf8(text), color, window});
        return failWith;
    }
    HRESULT InvokeChatParser(BSTR text) override {
        parsed.push_back(BstrToUtf8(text));
        return failWith;
    }
    HRESULT SetSplitCount(LONG count) override {
        splits.push_back(count);
        return failWith;
    }
    HRESULT SelectItem(LONG) override { return E_NOTIMPL; }
    HRESULT get_CurrentSelection(LONG*) override { return E_NOTIMPL; }
    HRESULT MoveItemEx(LONG, LONG, LONG, VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT UseItemOnTarget(LONG, LONG) override { return E_NOTIMPL; }
    HRESULT RequestId(LONG) override { return E_NOTIMPL; }
    HRESULT get_ChatState(VARIANT_BOOL*) override { return E_NOTIMPL; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ChatLine& line : chat)
            texts.push_back(line.text);
        return texts;
    }
};

// A choice with fixed options.
class FakeChoice final : public ComObject<IChoice> {
  public:
    explicit FakeChoice(std::vector<std::string> options) : options_(std::move(options)) {}

    HRESULT get_ID(LONG* id) override {
        *id = 361;
        return S_OK;
    }
    HRESULT get_ChoiceCount(LONG* count) override {
        *count = static_cast<LONG>(options_.size());
        return S_OK;
    }
    HRESULT AddChoice(BSTR text) override {
        options_.push_back(BstrToUtf8(text));
        return S_OK;
    }
    HRESULT RemoveChoice(LONG) override { return E_NOTIMPL; }
    HRESULT get_Text(LONG index, BSTR* text) override {
        if (index < 0 || static_cast<std::size_t>(index) >= options_.size())
            return E_INVALIDARG;
        *text = CComBSTR(options_[index]).Detach();
        return S_OK;
    }
    HRESULT put_Text(LONG, BSTR) override { return E_NOTIMPL; }
    HRESULT get_Selected(LONG* index) override {
        *index = selected_;
        return S_OK;
    }
    HRESULT put_Selected(LONG index) override {
        selected_ = index;
        return S_OK;
    }

  private:
    std::vector<std::string> options_;
    LONG selected_ = -1;
};

// Captures the debugger output for as long as it lives.
class TraceCapture {
  public:
    TraceCapture() {
        SetDebugOutputSink([this](const char* text) { lines.emplace_back(text); });
    }
    ~TraceCapture() { SetDebugOutputSink({}); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::string> lines;
};
