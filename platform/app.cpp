#include "platform/app.h"

#include "platform/dialog.h"

#include <cstring>

namespace {
CWinApp* g_app = nullptr;

CDialog* DialogOf(HWND hWnd) {
    for (; hWnd; hWnd = GetParent(hWnd))
        if (auto* dlg = dynamic_cast<CDialog*>(CWnd::FromHandle(hWnd))) return dlg;
    return nullptr;
}
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

void CWinApp::WinHelp(DWORD_PTR, UINT) {}

void CWinApp::OnHelp() {
    // The first dialog up from the capture, then the focus, then the last active popup.
    CDialog* dlg = DialogOf(GetCapture());
    if (!dlg) dlg = DialogOf(GetFocus());
    if (!dlg && m_pMainWnd && m_pMainWnd->m_hWnd) dlg = DialogOf(GetLastActivePopup(m_pMainWnd->m_hWnd));
    if (!dlg) dlg = dynamic_cast<CDialog*>(m_pMainWnd);
    if (dlg) WinHelp(platform::kHelpContextBase + dlg->m_nIDTemplate, HELP_CONTEXT);
}

namespace platform {

CWinApp* GetApp() { return g_app; }

const char* AppName() {
    static char name[MAX_PATH] = "";
    if (!name[0]) {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        const char* base = path;
        for (const char* p = path; *p; ++p)
            if (*p == '\\' || *p == '/') base = p + 1;
        std::strncpy(name, base, MAX_PATH - 1);
        if (char* dot = std::strrchr(name, '.')) *dot = '\0';
    }
    return name;
}

void InitControls() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    done = true;
}

int RunApplication() {
    InitControls();
    CWinApp* app = GetApp();
    if (!app) return 0;
    if (!app->InitInstance()) return app->m_nExitCode;
    // A program that keeps a main window runs its loop until the window is gone.
    MSG msg{};
    while (app->m_pMainWnd && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace platform
