// CWnd: a C++ object bound to one window. Binding with SubclassWindow subclasses the window
// (comctl32's SetWindowSubclass), so messages reach the object's message map first and anything
// the map does not end goes to the window's original procedure. Offers the few window operations the
// program uses, under their Win32 names; everything else is plain Win32 on m_hWnd.
#pragma once

#include "platform/message_map.h"
#include "platform/text.h"

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object bound to a window, or none.
    static CWnd* FromHandle(HWND hWnd);

    // Bind to an existing window and route its messages through this object's map.
    bool SubclassWindow(HWND hWnd);
    void UnsubclassWindow();

    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    // The text as Windows-1252 bytes whatever the ANSI code page, through the wide entry points
    // (for a Unicode window). Reading is false when a character has no Windows-1252 byte; a
    // write takes a short text, 63 bytes at most.
    bool GetWindowTextCp1252(CString& text) const;
    void SetWindowTextCp1252(const char* text);
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void ClientToScreen(POINT* pt) const { ::ClientToScreen(m_hWnd, pt); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    HICON SetIcon(HICON icon, BOOL big) {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }

    // A message box owned by this window (none once it is gone); without a caption it carries
    // the application's name.
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    // Tooltips for every child control that has an identifier, their texts asked for on demand
    // with TTN_NEEDTEXTA or, once the window is a Unicode one, TTN_NEEDTEXTW; FALSE removes a
    // shown tip and shows no more. A control the pointer already rests on shows its tip after
    // the usual delay.
    BOOL EnableToolTips(BOOL enable = TRUE);

    // An owner-drawn control draws itself: the parent passes WM_DRAWITEM on to it.
    virtual void DrawItem(DRAWITEMSTRUCT*) {}

protected:
    // When a message reaches the window: true when this object ended it (result set).
    virtual bool OnWndMsg(const platform::Message& m, LRESULT& result);
    // Default processing of the message being handled: the window's original procedure.
    LRESULT Default();

private:
    // Runs one message through the map, then, unless the map ended it, the original procedure.
    LRESULT Route(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp);
    void RelayPointer();
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    const platform::Message* m_pCurrentMsg = nullptr;
    HWND m_hWndToolTip = nullptr;
    bool m_bSubclassed = false;
};
