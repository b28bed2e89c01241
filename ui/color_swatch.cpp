#include "ui/color_swatch.h"

void CColorSwatch::SetRGB(uint32_t rgb) {
    m_dwColor = rgb & 0x00FFFFFF;
    if (m_hWnd) InvalidateRect(nullptr, FALSE);
}

void CColorSwatch::DrawItem(DRAWITEMSTRUCT* dis) {
    HBRUSH brush = CreateSolidBrush(RGBToColorRef(m_dwColor));
    HGDIOBJ old = SelectObject(dis->hDC, brush);
    // Oversized so the brush fills the control and the outline falls outside it.
    Rectangle(dis->hDC, -10, -10, 4096, 4096);
    SelectObject(dis->hDC, old);
    DeleteObject(brush);
}
