#include "platform/controls.h"

#include "platform/app.h"
#include "platform/services.h"

namespace {
COLORREF g_customColors[16] = {
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
};
}  // namespace

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
