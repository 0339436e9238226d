// The player's channel: chat lines, the chat window choice, and the texts and counts
// handed to the hooks; plus CTarnik's forwarding of the developer trace.
#include <cstdarg>
#include <string>

#include "plugin/Tarnik.h"

namespace {
constexpr std::size_t kMaxChatMessage = 192;
constexpr LONG kChatColor = 10;  // the host's fixed argument for every plug-in line
}  // namespace

void CTarnik::Log(LogLevel level, const char* format, ...) const {
    std::va_list args;
    va_start(args, format);
    m_Log.LogV(level, format, args);
    va_end(args);
}

void CTarnik::WriteToChat(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string line = ":tk:" + FormatCut(kMaxChatMessage, format, args);
    va_end(args);
    if (!m_pHooks) {
        m_Log.Log(ERR, "No hooks for the chat: %s", line.c_str());
        return;
    }
    HRESULT hr = m_pHooks->ChatOut(CComBSTR(line), kChatColor, m_OutputWindow);
    if (FAILED(hr))
        m_Log.Log(ERR, "ChatOut failed (0x%08x): %s", static_cast<unsigned>(hr), line.c_str());
}

void CTarnik::onOutputWindowChoice(LONG index) {
    Log(TRC, "onOutputWindowChoice [%d]", index);
    if (index < 0)
        return;
    m_OutputWindow = index + 1;
    if (!m_chOutputWindow) {
        Log(ERR, "onOutputWindowChoice: no chOutputWindow control");
        return;
    }
    CComBSTR name;
    HRESULT hr = m_chOutputWindow->get_Text(index, &name);
    if (FAILED(hr)) {
        Log(ERR, "chOutputWindow text %d failed (0x%08x)", index, static_cast<unsigned>(hr));
        return;
    }
    m_OutputWindowName = name.ToUtf8();
}

void CTarnik::SendText(const std::string& text) {
    Log(INF, "SendText %s", text.c_str());
    if (!m_pHooks) {
        Log(ERR, "No hooks for the chat parser: %s", text.c_str());
        return;
    }
    HRESULT hr = m_pHooks->InvokeChatParser(CComBSTR(text));
    if (FAILED(hr))
        Log(ERR, "InvokeChatParser failed (0x%08x)", static_cast<unsigned>(hr));
}

void CTarnik::Split(LONG count) {
    Log(INF, "Split %d", count);
    if (!m_pHooks) {
        Log(ERR, "No hooks to split %d", count);
        return;
    }
    HRESULT hr = m_pHooks->SetSplitCount(count);
    if (FAILED(hr))
        Log(ERR, "SetSplitCount failed (0x%08x)", static_cast<unsigned>(hr));
}
