// The About box: the icon, the version line and the maker's notice; OK and Escape close it.
#pragma once

#include "platform/dialog.h"
#include "res/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};
