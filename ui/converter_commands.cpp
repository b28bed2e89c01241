// Window commands: the system menu, the context menu, tooltips and the minimised window.
#include "ui/converter_dialog.h"

void CConverterDlg::OnContextMenu(HWND, POINT) {}  // TEMP: window commands land later

void CConverterDlg::OnSysCommand(UINT, LPARAM) { Default(); }

void CConverterDlg::OnPaint() { Default(); }

HICON CConverterDlg::OnQueryDragIcon() { return m_hIcon; }

BOOL CConverterDlg::OnToolTipNotify(UINT, NMHDR*, LRESULT*) { return FALSE; }
