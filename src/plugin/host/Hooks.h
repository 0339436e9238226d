// The host's hooks into the game client: chat, selection, item requests. Raises
// ChatText (dispid 3) and SelectedChanged (dispid 5) through IConnectionPointContainer.
#pragma once

#include "platform/Bstr.h"
#include "platform/Unknown.h"

struct IACHooks : IUnknown {
    static constexpr IID iid = MakeGuid("202b7102-5a9e-4a39-b5ac-13ed9325d3c6");
    // Prints a line in chat window `window` (1 = Main, 2..5 = Chat 1..4); `color` is the
    // host's fixed argument (the plug-in always passes 10).
    virtual HRESULT STDMETHODCALLTYPE ChatOut(BSTR text, LONG color, LONG window) = 0;
    // Hands a text to the game's chat-command parser, as if the player typed it.
    virtual HRESULT STDMETHODCALLTYPE InvokeChatParser(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE SelectItem(LONG objectId) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CurrentSelection(LONG* objectId) = 0;  // 0 when nothing
    // Asks the server to move an item into a container slot; confirmed later by a
    // server message, or never when the server refuses.
    virtual HRESULT STDMETHODCALLTYPE MoveItemEx(LONG item, LONG container, LONG slot,
                                                 VARIANT_BOOL merge) = 0;
    virtual HRESULT STDMETHODCALLTYPE UseItemOnTarget(LONG item, LONG target) = 0;
    virtual HRESULT STDMETHODCALLTYPE RequestId(LONG objectId) = 0;
    // Units to split off the selected stack at its next move.
    virtual HRESULT STDMETHODCALLTYPE SetSplitCount(LONG count) = 0;
    // True while the player is typing in the game's chat line.
    virtual HRESULT STDMETHODCALLTYPE get_ChatState(VARIANT_BOOL* active) = 0;

  protected:
    ~IACHooks() = default;
};
