// Stepping the value with the up-down control and the mouse wheel.
#include "ui/converter_dialog.h"

void CConverterDlg::OnDeltaposSpin(NMHDR*, LRESULT* pResult) {
    *pResult = 0;  // TEMP: stepping lands with the settings store
}

BOOL CConverterDlg::OnMouseWheel(UINT, short, POINT) {
    return static_cast<BOOL>(Default());  // TEMP: stepping lands with the settings store
}
