// The application object: runs the converter window as the program's only main window and
// answers every help request by opening the help page with the shell.
#pragma once

#include "platform/app.h"

class CConverterApp : public CWinApp {
public:
    BOOL InitInstance() override;
    void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) override;
};

// The one application object.
extern CConverterApp theApp;
