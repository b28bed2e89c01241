// Application start-up: the one static application object, the entry point that calls its
// InitInstance and ends the process when it returns, and the help routing that brings F1
// from any window of the program to the application's WinHelp.
#pragma once

#include "platform/window.h"

class CWinApp {
public:
    CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Once, from the start-up routine; FALSE skips the message loop and ends the process.
    virtual BOOL InitInstance() { return FALSE; }
    // Every help request ends here, with the asking dialog's context.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    // The ID_HELP command: the dialog the user is in answers with its own help context.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    // The process's exit code when InitInstance returns FALSE; non-zero tells whoever started
    // the program that the start failed.
    int m_nExitCode = 0;
};

namespace platform {

// The help command F1 becomes, and the base of a dialog's help context (plus its template).
constexpr UINT kHelpCommand = 0xE146;
constexpr DWORD kHelpContextBase = 0x20000;

CWinApp* GetApp();
// The application's name: the executable's file name without its extension.
const char* AppName();
// Registers the common control classes the templates use (up-down, tooltips); idempotent.
void InitControls();
// The start-up routine: InitInstance, the message loop when it returns TRUE, the exit code
// (m_nExitCode when InitInstance returns FALSE).
int RunApplication();

}  // namespace platform
