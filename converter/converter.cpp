#include "converter/converter.h"

namespace {

// The order the window has always written its fields in.
constexpr Field kRefreshOrder[] = {Field::Text, Field::Dec, Field::Hex, Field::IP, Field::Bin};

}  // namespace

CConverter::CConverter(CConverterView& view) : m_view(view), m_number(0), m_settings(kDefaultSettings) {}

void CConverter::Start() {
    m_number.SetSigned(m_settings.bSigned);
    m_number.SetSize(m_settings.nSize);
    m_view.ShowMode(m_settings.nSize, m_settings.bSigned, m_settings.bClear);
    m_view.EnableIPAndColor(m_settings.nSize == 4);
    m_nWheelDelta = 0;
    m_active.reset();
}

void CConverter::Refresh() {
    for (Field field : kRefreshOrder) m_view.WriteField(field, FormOf(field).render(m_number));
    // The stored value, not narrowed: at widths 1 and 2 the swatch is disabled and keeps it.
    m_view.ShowColor(m_number.GetValue() & 0x00FFFFFFu);
}

void CConverter::Commit(Field field) {
    const char* text = m_view.ReadField(field);
    if (text && !*text && !m_settings.bClear) return;
    if (m_view.IsFieldModified(field) && !(text && FormOf(field).parse(m_number, text))) m_view.Refuse();
    // Also after a refusal and when nothing changed: the field shows the value again.
    Refresh();
}

void CConverter::Enter(Field field) {
    if (m_settings.bClear) m_view.WriteField(field, "");
    m_active = field;
}

void CConverter::PressEnter(Field field) {
    Commit(field);
    Enter(field);
}

void CConverter::SetWidth(int32_t nSize) {
    m_view.EnableIPAndColor(nSize == 4);
    m_settings.nSize = nSize;
    m_number.SetSize(nSize);
    Refresh();
}

void CConverter::SetSigned(int32_t bSigned) {
    m_settings.bSigned = bSigned;
    m_number.SetSigned(bSigned);
    Refresh();
}

void CConverter::SetClear(int32_t bClear) { m_settings.bClear = bClear; }

void CConverter::CommitActive() {
    if (m_active && m_view.IsFieldModified(*m_active)) Commit(*m_active);
}

void CConverter::Step(int32_t delta) {
    CommitActive();
    // Wraps in 32 bits, product and sum alike.
    const uint32_t offset = m_settings.nIncrement * static_cast<uint32_t>(delta);
    m_number.SetValue(m_number.GetValue() + offset);
    Refresh();
}

void CConverter::Wheel(int16_t delta, bool middleButton) {
    CommitActive();
    // The accumulator wraps in 16 bits, as the wheel's delta does.
    m_nWheelDelta = static_cast<int16_t>(static_cast<uint16_t>(m_nWheelDelta) + static_cast<uint16_t>(delta));
    if (m_nWheelDelta < kWheelNotch && m_nWheelDelta > -kWheelNotch) return;
    const uint32_t step = middleButton ? 1u : m_settings.nIncrement;
    const uint32_t value = m_number.GetValue();
    m_number.SetValue(m_nWheelDelta > 0 ? value + step : value - step);
    m_nWheelDelta = 0;  // cleared, not reduced: one message makes at most one step
    Refresh();
}

void CConverter::SetValue(uint32_t value) {
    m_number.SetValue(value);
    Refresh();
}

bool CConverter::ReplaceCommas(char* begin, char* end) {
    bool replaced = false;
    for (char* p = begin; p != end; ++p) {
        if (*p == ',') {
            *p = '.';
            replaced = true;
        }
    }
    return replaced;
}
