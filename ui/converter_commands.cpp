// Window commands: the system menu's Settings and About, the context menu with its edit
// commands (and under Wine Settings and About again), tooltips, the topmost state, the minimised
// window and the end of the session.
#include "ui/about_dialog.h"
#include "ui/converter_dialog.h"
#include "ui/settings_dialog.h"

#include "res/resource.h"

void CConverterDlg::AppendWindowCommands(HMENU menu) {
    if (!menu) return;
    char settings[64] = "", about[64] = "";
    HINSTANCE module = GetModuleHandleA(nullptr);
    LoadStringA(module, IDS_SETTINGS, settings, sizeof settings);
    LoadStringA(module, IDS_ABOUTBOX, about, sizeof about);
    if (!settings[0] || !about[0]) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_SETTINGS, settings);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
}

void CConverterDlg::ApplyStayOnTop() {
    SetWindowPos(m_converter.Options().bStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

void CConverterDlg::OnContextMenu(HWND, POINT point) {
    if (point.x == -1 && point.y == -1) {
        // From the keyboard: just inside the client area's top-left corner.
        RECT client;
        GetClientRect(&client);
        POINT corner{client.left, client.top};
        ClientToScreen(&corner);
        point = {corner.x + 5, corner.y + 5};
    } else if (SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) != HTCLIENT) {
        // A right click on the caption or the frame asks for the system menu, with Settings
        // and About: the default handling shows it.
        Default();
        return;
    }
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_CONTEXTMENU));
    if (!menu) return;
    // Under Wine a Linux window manager takes the caption's menu, with Settings and About, for its
    // own: they come here too. On Windows the caption's menu is the program's, and this one stays.
    if (platform::RunsUnderWine()) AppendWindowCommands(GetSubMenu(menu, 0));
    HWND owner = m_hWnd;
    while (GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD) owner = ::GetParent(owner);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, point.x, point.y, 0, owner, nullptr);
    DestroyMenu(menu);
}

void CConverterDlg::OnSysCommand(UINT nID, LPARAM) {
    switch (nID & 0xFFF0) {
    case IDM_ABOUTBOX: OnAbout(); break;
    case IDM_SETTINGS: OnSettings(); break;
    default: Default(); break;
    }
}

void CConverterDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CConverterDlg::OnSettings() {
    Settings& options = m_converter.Options();
    CSettingsDlg dlg;
    dlg.m_nIncrement = options.nIncrement;
    dlg.m_bToolTips = options.bToolTips;
    dlg.m_bStayOnTop = options.bStayOnTop;
    dlg.m_bSaveOnExit = options.bSaveOnExit;
    dlg.DoModal();
    // Whatever way it ended: after Cancel the fields hold what was copied in.
    options.nIncrement = dlg.m_nIncrement;
    options.bSaveOnExit = dlg.m_bSaveOnExit;
    options.bToolTips = dlg.m_bToolTips;
    options.bStayOnTop = dlg.m_bStayOnTop;
    EnableToolTips(options.bToolTips);
    ApplyStayOnTop();
}

void CConverterDlg::OnEditCut() {
    CEdit* edit = ActiveEdit();
    if (!edit || !edit->IsWindowEnabled()) return;
    edit->Cut();
    CommitIfLeft();
}

void CConverterDlg::OnEditCopy() {
    CEdit* edit = ActiveEdit();
    if (!edit) return;
    int start = 0, end = 0;
    edit->GetSel(start, end);
    if (start != end) {
        edit->Copy();
        return;
    }
    // Nothing selected (a refresh leaves every field so): the user wants the value, so the whole
    // field is copied and the caret stays where it was.
    edit->SetSel(0, -1);
    edit->Copy();
    edit->SetSel(start, end);
}

void CConverterDlg::OnEditPaste() {
    CEdit* edit = ActiveEdit();
    if (!edit || !edit->IsWindowEnabled()) return;
    edit->Paste();
    CommitIfLeft();
}

void CConverterDlg::CommitIfLeft() {
    // A cut or paste is the user's change; a field that no longer has the focus will not be
    // left again, so it is committed now rather than at some later step.
    const Field field = *m_converter.ActiveField();
    if (::GetFocus() != Edit(field).m_hWnd) m_converter.Commit(field);
}

void CConverterDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
}

HICON CConverterDlg::OnQueryDragIcon() { return m_hIcon; }

namespace {
// The tooltip control loads the string whose number is the control's. The ANSI and Unicode
// records hold the same fields at different places (their text buffers differ in size).
template <class ToolTipText>
BOOL NameTipString(NMHDR* pNMHDR) {
    auto* tip = reinterpret_cast<ToolTipText*>(pNMHDR);
    if (!(tip->uFlags & TTF_IDISHWND)) return FALSE;
    int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(pNMHDR->idFrom));
    if (id == 0) return FALSE;
    tip->lpszText = reinterpret_cast<decltype(tip->lpszText)>(static_cast<ULONG_PTR>(id & 0xFFFF));
    tip->hinst = GetModuleHandleA(nullptr);
    return TRUE;
}
}  // namespace

BOOL CConverterDlg::OnToolTipNotify(UINT, NMHDR* pNMHDR, LRESULT*) {
    // The tooltip asks in the form the dialog's window is: ANSI as created, Unicode once
    // Windows' subclassing has made it so.
    if (pNMHDR->code == TTN_NEEDTEXTW) return NameTipString<TOOLTIPTEXTW>(pNMHDR);
    return NameTipString<TOOLTIPTEXTA>(pNMHDR);
}

void CConverterDlg::OnEndSession(BOOL bEnding) {
    // At logoff or shutdown the process ends as soon as this returns and the modal loop never
    // unwinds, so the destructor would save nothing; no one is left to read a failure box
    // either. (When only this program is asked to close, for an update, it may go on: what
    // changes after this is saved at the end of the run as usual.)
    if (bEnding) SaveSettings(nullptr);
}
