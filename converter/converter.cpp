#include "converter/converter.h"

namespace {

CNumber::Parser ParserOf(Field field) {
    switch (field) {
    case Field::Dec: return &CNumber::ParseDec;
    case Field::Hex: return &CNumber::ParseHex;
    case Field::Text: return &CNumber::ParseText;
    case Field::IP: return &CNumber::ParseIP;
    case Field::Bin: return &CNumber::ParseBin;
    }
    return &CNumber::ParseDec;
}

}  // namespace

CConverter::CConverter(CConverterView& view, CNumber& number, Settings& settings, int16_t& wheelDelta)
    : m_view(view), m_number(number), m_settings(settings), m_nWheelDelta(wheelDelta) {}

void CConverter::Refresh() {
    m_view.WriteField(Field::Text, m_number.GetText());
    m_view.WriteField(Field::Dec, m_number.GetDec());
    m_view.WriteField(Field::Hex, m_number.GetHex());
    m_view.WriteField(Field::IP, m_number.GetIP());
    m_view.WriteField(Field::Bin, m_number.GetBin());
    // The stored value, not narrowed: at widths 1 and 2 the swatch is disabled and keeps it.
    m_view.ShowColor(m_number.GetValue() & 0x00FFFFFFu);
}

void CConverter::Commit(Field field) {
    const char* text = m_view.ReadField(field);
    if (text && !*text && !m_settings.bClear) return;
    if (m_view.IsFieldModified(field) && !(text && (m_number.*ParserOf(field))(text))) m_view.Refuse();
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
    m_view.EnableLongOnly(nSize == 4);
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

void CConverter::PickColor(uint32_t rgb) {
    m_number.SetValue(rgb);
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
