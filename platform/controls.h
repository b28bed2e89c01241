// The standard controls the program binds to: edit fields, buttons, the up-down control, and
// the colour common dialog. Thin: each call is the control's own message.
#pragma once

#include "platform/window.h"

#include <commdlg.h>

class CEdit : public CWnd {
public:
    BOOL GetModify() const { return SendMessage(EM_GETMODIFY) != 0; }
    void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, modified); }
    void GetSel(int& start, int& end) const {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        start = static_cast<int>(s);
        end = static_cast<int>(e);
    }
    void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void ScrollCaret() { SendMessage(EM_SCROLLCARET); }
    void Cut() { SendMessage(WM_CUT); }
    void Copy() { SendMessage(WM_COPY); }
    void Paste() { SendMessage(WM_PASTE); }

protected:
    // A single-line field has no use for the wheel and hands it to its parent, as Windows' own
    // field does (Wine's keeps it).
    bool OnWndMsg(const platform::Message& m, LRESULT& result) override {
        if (m.message != WM_MOUSEWHEEL || (GetStyle() & ES_MULTILINE)) return CWnd::OnWndMsg(m, result);
        result = ::SendMessageA(GetParent(), WM_MOUSEWHEEL, m.wParam, m.lParam);
        return true;
    }
};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CSpinButtonCtrl : public CWnd {
public:
    int SetPos(int pos) { return static_cast<int>(SendMessage(UDM_SETPOS, 0, MAKELPARAM(pos, 0))); }
    int GetPos() const { return static_cast<int>(static_cast<short>(LOWORD(SendMessage(UDM_GETPOS)))); }
    // The upper limit travels in the low word, the lower in the high word.
    void SetRange(short lower, short upper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(upper, lower)); }
    BOOL SetAccel(int count, UDACCEL* accel) {
        return SendMessage(UDM_SETACCEL, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(accel)) != 0;
    }
};

namespace platform {

// True where a character of the ANSI code page may take more than one byte: Chinese, Japanese
// and Korean Windows, and Windows set to UTF-8.
bool AnsiCodePageIsMultiByte();
// True under Wine, where a Linux window manager may keep the caption's menu for itself.
bool RunsUnderWine();
// Makes an edit field again as a Unicode window, with the same identifier, styles, place, font and
// place in the tab order, and destroys the old one; the new window, or nullptr (the old kept).
HWND RecreateAsUnicodeEdit(HWND edit);

}  // namespace platform

// The platform's colour dialog, opened with the custom-colour part when asked; its sixteen
// custom colours start white and live as long as the process.
class CColorDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* pParentWnd = nullptr);
    // IDOK after a choice, IDCANCEL otherwise.
    INT_PTR DoModal();
    // The chosen colour after OK; the starting colour after Cancel.
    COLORREF GetColor() const { return m_cc.rgbResult; }

    CHOOSECOLORA m_cc{};

private:
    CWnd* m_pParentWnd;
    COLORREF m_initial;
};
