#include "ui/settings_dialog.h"

#include "res/resource.h"

CSettingsDlg::CSettingsDlg()
    : CDialog(IDD_SETTINGS), m_nIncrement(0), m_bSaveOnExit(0), m_bToolTips(1), m_bStayOnTop(0) {}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX) {
    // A refused number never replaces the increment the dialog opened with, so Cancel after a
    // refusal keeps it.
    UINT increment = m_nIncrement;
    DDX_Text(pDX, IDC_INCREMENT, increment);
    DDV_MinMaxUInt(pDX, increment, 1, kMaxIncrement);
    if (!pDX->Failed()) m_nIncrement = increment;
    DDX_Check(pDX, IDC_TOOLTIPS, m_bToolTips);
    DDX_Check(pDX, IDC_STAYONTOP, m_bStayOnTop);
    DDX_Check(pDX, IDC_SAVEONEXIT, m_bSaveOnExit);
}
