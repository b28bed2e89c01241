#include "platform/window.h"

#include "engine/text.h"
#include "platform/app.h"
#include "platform/services.h"

#include <cstdlib>

namespace {
constexpr UINT_PTR kSubclassId = 0x51;      // one subclass of ours per window
constexpr char kObjectProp[] = "Quendrix.CWnd";  // finds the object from its window
}

CWnd::~CWnd() {
    UnsubclassWindow();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return hWnd ? static_cast<CWnd*>(GetPropA(hWnd, kObjectProp)) : nullptr;
}

bool CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || !SetWindowSubclass(hWnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    SetPropA(hWnd, kObjectProp, this);
    m_hWnd = hWnd;
    m_bSubclassed = true;
    return true;
}

void CWnd::UnsubclassWindow() {
    if (m_bSubclassed && m_hWnd && IsWindow(m_hWnd)) {
        RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
        RemovePropA(m_hWnd, kObjectProp);
    }
    m_bSubclassed = false;
}

void CWnd::GetWindowText(CString& text) const {
    int length = GetWindowTextLengthA(m_hWnd);
    if (!text.Resize(static_cast<size_t>(length))) return;  // no memory: read as empty
    length = ::GetWindowTextA(m_hWnd, text.begin(), length + 1);
    text.Resize(static_cast<size_t>(length > 0 ? length : 0));
}

bool CWnd::GetWindowTextCp1252(CString& text) const {
    const int length = GetWindowTextLengthW(m_hWnd);
    auto* wide = static_cast<wchar_t*>(std::malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (!wide) return false;  // no memory: unread, not empty
    const int read = ::GetWindowTextW(m_hWnd, wide, length + 1);
    bool whole = text.Resize(static_cast<size_t>(read > 0 ? read : 0));
    for (int i = 0; whole && i < read; ++i) {
        const int byte = text::Byte(wide[i]);  // a surrogate has none
        whole = byte > 0;
        text.begin()[i] = static_cast<char>(byte);
    }
    std::free(wide);
    return whole;
}

void CWnd::SetWindowTextCp1252(const char* text) {
    wchar_t wide[64];  // a rendering of the value: four characters at most
    size_t n = 0;
    for (; text[n] && n + 1 < sizeof wide / sizeof wide[0]; ++n)
        wide[n] = static_cast<wchar_t>(text::CodePoint(static_cast<unsigned char>(text[n])));
    wide[n] = L'\0';
    ::SetWindowTextW(m_hWnd, wide);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
    HWND owner = (m_hWnd && IsWindow(m_hWnd)) ? m_hWnd : nullptr;
    return platform::ShowMessageBox(owner, text, caption ? caption : platform::AppName(), type);
}

BOOL CWnd::EnableToolTips(BOOL enable) {
    if (!m_hWndToolTip && enable) {
        // Not owned by this window: under Wine a hidden owned popup makes the owner's
        // SetWindowPos(HWND_TOPMOST) fail. Destroyed with this window instead.
        m_hWndToolTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!m_hWndToolTip) return FALSE;
        for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            int id = ::GetDlgCtrlID(child);
            if (id == 0 || id == -1 || id == 0xFFFF) continue;  // labels and group boxes have none
            TOOLINFOA tool{};
            tool.cbSize = sizeof(tool);
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = m_hWnd;
            tool.uId = reinterpret_cast<UINT_PTR>(child);
            tool.lpszText = LPSTR_TEXTCALLBACKA;
            ::SendMessageA(m_hWndToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
        RelayPointer();
    }
    if (m_hWndToolTip) {
        if (!enable) ::SendMessageA(m_hWndToolTip, TTM_POP, 0, 0);
        ::SendMessageA(m_hWndToolTip, TTM_ACTIVATE, enable, 0);
    }
    return TRUE;
}

void CWnd::RelayPointer() {
    // The tools see the pointer only when it moves: one already resting on a control starts
    // that control's tip now, after the usual delay, as if it had just arrived.
    MSG msg{};
    if (!GetCursorPos(&msg.pt)) return;
    msg.hwnd = WindowFromPoint(msg.pt);
    if (!msg.hwnd || GetAncestor(msg.hwnd, GA_PARENT) != m_hWnd) return;  // a control, not an owned popup
    POINT client = msg.pt;
    ::ScreenToClient(msg.hwnd, &client);
    msg.message = WM_MOUSEMOVE;
    msg.lParam = MAKELPARAM(client.x, client.y);
    msg.time = static_cast<DWORD>(GetMessageTime());
    ::SendMessageA(m_hWndToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

bool CWnd::OnWndMsg(const platform::Message&, LRESULT&) {
    return false;
}

LRESULT CWnd::Default() {
    const platform::Message* m = m_pCurrentMsg;
    return m ? DefSubclassProc(m_hWnd, m->message, m->wParam, m->lParam) : 0;
}

LRESULT CWnd::Route(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp) {
    platform::Message m{msg, wp, lp};
    const platform::Message* outer = m_pCurrentMsg;  // handlers re-enter through sent messages
    m_pCurrentMsg = &m;
    LRESULT result = 0;
    bool handled = OnWndMsg(m, result);
    m_pCurrentMsg = outer;
    if (!handled) result = DefSubclassProc(hWnd, msg, wp, lp);
    if (msg == WM_DESTROY && m_hWndToolTip) {
        DestroyWindow(m_hWndToolTip);
        m_hWndToolTip = nullptr;
    }
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hWnd, SubclassProc, kSubclassId);
        RemovePropA(hWnd, kObjectProp);
        m_bSubclassed = false;
        m_hWnd = nullptr;
    }
    return result;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    return reinterpret_cast<CWnd*>(ref)->Route(hWnd, msg, wp, lp);
}
