// One run of the real converter window for a UI test: no stored options before or after, the
// beeps, shell and message boxes recorded, the dialog the application's main window.
#pragma once

#include "app/converter_app.h"
#include "tests/support/ui_driver.h"
#include "ui/converter_dialog.h"

namespace uitest {

struct Session {
    CleanOptions options;
    RecordingServices services;
    CConverterDlg dlg;
    Session() { theApp.m_pMainWnd = &dlg; }
    ~Session() { theApp.m_pMainWnd = nullptr; }
    INT_PTR Run(const std::function<void(HWND)>& script) { return RunModal(dlg, script); }
};

}  // namespace uitest
