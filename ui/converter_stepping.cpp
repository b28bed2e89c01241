// Stepping the value with the up-down control and the mouse wheel. Steps wrap around in 32 bits
// in every width; the up-down control's own position is put back to 0 at every report, so it
// never reaches an end of its range and holding an arrow keeps stepping.
#include "ui/converter_dialog.h"

namespace {

// Text typed into the field that still has the focus becomes the value before it is stepped.
void CommitActiveEdit(CConverterDlg& dlg) {
    if (dlg.m_pActiveEdit && dlg.m_pActiveEdit->GetModify()) dlg.CommitEdit(*dlg.m_pActiveEdit);
}

}  // namespace

void CConverterDlg::OnDeltaposSpin(NMHDR* pNMHDR, LRESULT* pResult) {
    CommitActiveEdit(*this);
    const auto* updown = reinterpret_cast<const NMUPDOWN*>(pNMHDR);
    uint32_t offset = m_settings.nIncrement * static_cast<uint32_t>(updown->iDelta);
    m_number.SetValue(m_number.GetValue() + offset);
    m_spin.SetPos(0);
    RefreshFields();
    *pResult = 0;  // lets the control move from 0 to +1 or -1
}

BOOL CConverterDlg::OnMouseWheel(UINT nFlags, short zDelta, POINT) {
    CommitActiveEdit(*this);
    // The accumulator wraps in 16 bits, as the wheel's delta does.
    m_nWheelDelta = static_cast<int16_t>(static_cast<uint16_t>(m_nWheelDelta) + static_cast<uint16_t>(zDelta));
    uint32_t step = (nFlags & MK_MBUTTON) ? 1u : m_settings.nIncrement;
    if (m_nWheelDelta >= WHEEL_DELTA || m_nWheelDelta <= -WHEEL_DELTA) {
        uint32_t value = m_number.GetValue();
        m_number.SetValue(m_nWheelDelta > 0 ? value + step : value - step);
        m_nWheelDelta = 0;  // cleared, not reduced: one message makes at most one step
        RefreshFields();
    }
    return static_cast<BOOL>(Default());
}
