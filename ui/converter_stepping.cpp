// Stepping the value with the up-down control and the mouse wheel. Steps wrap around in 32 bits
// in every width; the up-down control's own position is put back to 0 at every report, so it
// never reaches an end of its range and holding an arrow keeps stepping.
#include "ui/converter_dialog.h"

void CConverterDlg::OnDeltaposSpin(NMHDR* pNMHDR, LRESULT* pResult) {
    m_converter.Step(reinterpret_cast<const NMUPDOWN*>(pNMHDR)->iDelta);
    m_spin.SetPos(0);
    *pResult = 0;  // lets the control move from 0 to +1 or -1
}

BOOL CConverterDlg::OnMouseWheel(UINT nFlags, short zDelta, POINT) {
    m_converter.Wheel(zDelta, (nFlags & MK_MBUTTON) != 0);
    return static_cast<BOOL>(Default());
}
