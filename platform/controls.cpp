#include "platform/controls.h"

#include "platform/app.h"
#include "platform/services.h"

namespace {
COLORREF g_customColors[16] = {
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
};
}  // namespace

bool platform::AnsiCodePageIsMultiByte() {
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
}

bool platform::RunsUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

HWND platform::RecreateAsUnicodeEdit(HWND edit) {
    HWND parent = ::GetParent(edit);
    RECT rect;
    GetWindowRect(edit, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    HWND created = CreateWindowExW(static_cast<DWORD>(GetWindowLongPtrW(edit, GWL_EXSTYLE)), L"EDIT", L"",
                                   static_cast<DWORD>(GetWindowLongPtrW(edit, GWL_STYLE)), rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(edit))),
                                   GetModuleHandleW(nullptr), nullptr);
    if (!created) return nullptr;
    SendMessageW(created, WM_SETFONT, static_cast<WPARAM>(SendMessageW(edit, WM_GETFONT, 0, 0)), FALSE);
    // Just after the old one in the z-order, which is the dialog's tab order.
    SetWindowPos(created, edit, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    DestroyWindow(edit);
    return created;
}

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd), m_initial(initial) {
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.rgbResult = initial;
    m_cc.lpCustColors = g_customColors;
    m_cc.Flags = flags | CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (CWinApp* app = platform::GetApp(); !owner && app && app->m_pMainWnd) owner = app->m_pMainWnd->m_hWnd;
    m_cc.hwndOwner = owner;
    // The common dialogs are loaded on the first double-click, not at start.
    using ChooseColorFn = BOOL(WINAPI*)(CHOOSECOLORA*);
    static auto chooseColor = platform::LoadFunction<ChooseColorFn>("comdlg32.dll", "ChooseColorA");
    if (chooseColor && chooseColor(&m_cc)) return IDOK;
    m_cc.rgbResult = m_initial;
    return IDCANCEL;
}
