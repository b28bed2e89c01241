// The colour swatch beside "Color:": an owner-drawn button showing the value's low 24 bits.
#pragma once

#include "platform/controls.h"

#include <cstdint>

// The swatch reports a picked colour to its parent: wParam its identifier, lParam 0x00RRGGBB.
constexpr UINT WM_COLORPICKED = WM_USER + 11;

class CColorSwatch : public CButton {
public:
    CColorSwatch() = default;

    // The colour to show, as the platform's COLORREF (red in the low byte).
    void SetColor(COLORREF cr) { SetRGB(ColorRefToRGB(cr)); }
    // The colour as 0x00RRGGBB; redraws without erasing.
    void SetRGB(uint32_t rgb);
    uint32_t GetRGB() const { return m_dwColor & 0x00FFFFFF; }

    static uint32_t ColorRefToRGB(COLORREF cr) {
        return ((cr & 0xFF) << 16) | (cr & 0xFF00) | ((cr >> 16) & 0xFF);
    }
    static COLORREF RGBToColorRef(uint32_t rgb) {
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }

    void DrawItem(DRAWITEMSTRUCT* dis) override;

private:
    uint32_t m_dwColor = 0;
};
