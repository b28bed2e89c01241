#include "platform/dialog.h"

#include "engine/text.h"
#include "platform/app.h"

// ---- data exchange

HWND CDataExchange::PrepareCtrl(int id) {
    HWND hWnd = GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_hWndLastControl = hWnd;
    m_bEditLastControl = false;
    return hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND hWnd = PrepareCtrl(id);
    m_bEditLastControl = true;
    return hWnd;
}

void CDataExchange::Fail() {
    m_bFailed = true;
    if (!m_bSaveAndValidate || !m_hWndLastControl) return;
    SetFocus(m_hWndLastControl);
    if (m_bEditLastControl) SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (pDX->Failed() || control.m_hWnd) return;
    control.SubclassWindow(pDX->PrepareCtrl(id));
}

void DDX_ControlUnrouted(CDataExchange* pDX, int id, CWnd& control) {
    if (!pDX->Failed()) control.m_hWnd = pDX->PrepareCtrl(id);
}

void DDX_Text(CDataExchange* pDX, int id, UINT& value) {
    if (pDX->Failed()) return;
    HWND hWnd = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        char digits[16];
        *text::WriteDecimal(digits, value) = '\0';
        SetWindowTextA(hWnd, digits);
        return;
    }
    CWnd field;
    field.m_hWnd = hWnd;
    CString typed;
    field.GetWindowText(typed);
    field.m_hWnd = nullptr;
    if (!text::ReadUnsigned(typed.c_str(), value)) {
        pDX->m_pDlgWnd->MessageBox(text::kNotAnUnsigned, nullptr, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT min, UINT max) {
    if (pDX->Failed() || !pDX->m_bSaveAndValidate || (value >= min && value <= max)) return;
    char message[64];
    text::OutOfRange(min, max, message);
    pDX->m_pDlgWnd->MessageBox(message, nullptr, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    if (pDX->Failed()) return;
    HWND hWnd = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(SendMessageA(hWnd, BM_GETCHECK, 0, 0));
    } else {
        value = text::ShownCheck(value);
        SendMessageA(hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

// ---- the dialog

INT_PTR CDialog::DoModal() {
    platform::InitControls();
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (CWinApp* app = platform::GetApp(); !owner && app && app->m_pMainWnd && app->m_pMainWnd != this)
        owner = app->m_pMainWnd->m_hWnd;  // without a parent the main window owns it
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.Failed();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnWndMsg(const platform::Message& m, LRESULT& result) {
    result = 0;
    switch (m.message) {
    case WM_COMMAND:
        if (HIWORD(m.wParam) != 0 && HIWORD(m.wParam) != 1) return false;  // menus, accelerators, clicks only
        switch (LOWORD(m.wParam)) {
        case IDOK: OnOK(); return true;
        case IDCANCEL: OnCancel(); return true;
        case platform::kHelpCommand:
            if (CWinApp* app = platform::GetApp()) app->OnHelp();
            return true;
        }
        return false;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.lParam);
        CWnd* control = CWnd::FromHandle(dis->hwndItem);
        if (!control || control == this) return false;
        control->DrawItem(dis);
        result = TRUE;
        return true;
    }
    case WM_HELP: {
        // F1 in any window reaches its top-level dialog; with no Shift, Ctrl or Alt held it
        // becomes the main window's help command.
        if (GetStyle() & WS_CHILD) return false;
        CWinApp* app = platform::GetApp();
        bool modified = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
        if (modified || !app || !app->m_pMainWnd || !app->m_pMainWnd->m_hWnd) return false;
        ::SendMessageA(app->m_pMainWnd->m_hWnd, WM_COMMAND, platform::kHelpCommand, 0);
        result = TRUE;
        return true;
    }
    case WM_NCDESTROY:
        if (CWinApp* app = platform::GetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
        return false;
    }
    return false;
}

void CDialog::CenterOnOwner() {
    RECT self, area;
    GetWindowRect(m_hWnd, &self);
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !::IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    int x = area.left + ((area.right - area.left) - (self.right - self.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (self.bottom - self.top)) / 2;
    UINT order = m_hWndPlaceAfter ? 0 : SWP_NOZORDER;
    ::SetWindowPos(m_hWnd, m_hWndPlaceAfter, x, y, 0, 0, SWP_NOSIZE | order | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT msg, WPARAM, LPARAM lp) {
    // Only the creation comes here; from then on the subclass routes every message.
    if (msg != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lp);
    self->SubclassWindow(hWnd);
    BOOL focusDefault = self->OnInitDialog();
    self->CenterOnOwner();
    return focusDefault;
}
