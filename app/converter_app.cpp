#include "app/converter_app.h"

#include "platform/services.h"
#include "res/resource.h"
#include "ui/converter_dialog.h"

// The one application object; the start-up routine finds it.
CConverterApp theApp;

BOOL CConverterApp::InitInstance() {
    INT_PTR result;
    {
        CConverterDlg dlg;
        m_pMainWnd = &dlg;
        result = dlg.DoModal();
    }  // the dialog saves the options as it goes
    m_pMainWnd = nullptr;
    // The window could not be made (no display, say): the launcher must not report a start.
    if (result == -1) m_nExitCode = 1;
    return result == IDOK;
}

void CConverterApp::WinHelp(DWORD_PTR, UINT) {
    // Every request opens the same page, resolved against the current directory.
    char text[128] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDS_NOHELP, text, sizeof text);
    HINSTANCE result = platform::ShellOpen(nullptr, "open", "Help\\Quendrix.htm", SW_SHOW);
    if (reinterpret_cast<INT_PTR>(result) <= 32) {
        platform::Beep(MB_ICONEXCLAMATION);
        // Unowned, yet above the converter window even when that stays on top. (Not task-modal:
        // the window would come back without the focus.)
        platform::ShowMessageBox(nullptr, text, nullptr, MB_ICONEXCLAMATION | MB_TOPMOST | MB_SETFOREGROUND);
    }
}
