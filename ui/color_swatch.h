// The colour swatch beside "Color:": an owner-drawn button showing the value's low 24 bits as
// 0xRRGGBB. Dragging from it picks the colour of any screen pixel (an eyedropper); a
// double-click opens the colour dialog. A chosen colour goes to the parent as WM_COLORPICKED.
#pragma once

#include "platform/controls.h"

#include <cstdint>

// The swatch reports a picked colour to its parent: wParam its identifier, lParam 0x00RRGGBB.
constexpr UINT WM_COLORPICKED = WM_USER + 11;

class CColorSwatch : public CButton {
public:
    CColorSwatch();
    ~CColorSwatch() override;

    // The colour to show, as the platform's COLORREF (red in the low byte).
    void SetColor(COLORREF cr) { SetRGB(ColorRefToRGB(cr)); }
    // The colour as 0x00RRGGBB; redraws without erasing.
    void SetRGB(uint32_t rgb);
    uint32_t GetRGB() const { return m_dwColor & 0x00FFFFFF; }
    bool IsPicking() const { return m_bPicking; }

    static uint32_t ColorRefToRGB(COLORREF cr) {
        return ((cr & 0xFF) << 16) | (cr & 0xFF00) | ((cr >> 16) & 0xFF);
    }
    static COLORREF RGBToColorRef(uint32_t rgb) {
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }

    // Every draw request paints the whole control alike: no focus mark, no pushed look.
    void DrawItem(DRAWITEMSTRUCT* dis) override;

protected:
    bool OnWndMsg(const platform::Message& m, LRESULT& result) override;

private:
    // A press alone does nothing: the swatch never takes the focus or the capture by a click.
    void OnLButtonDown(UINT nFlags, POINT point);
    // Any left release that reaches the swatch ends a pick and reports the colour shown.
    void OnLButtonUp(UINT nFlags, POINT point);
    // With the left button held a pick starts; while picking every move samples the screen.
    void OnMouseMove(UINT nFlags, POINT point);
    // While picking: cancel, back to the colour from before the pick, nothing reported.
    void OnRButtonDown(UINT nFlags, POINT point);
    // The colour dialog; its colour (the start colour after Cancel) is reported.
    void OnLButtonDblClk(UINT nFlags, POINT point);

    void Report();

    static const platform::MessageMap<CColorSwatch> messageMap;

    uint32_t m_dwColor;
    uint32_t m_dwSavedColor;  // the colour when the current pick began; read only by a cancel
    bool m_bPicking;
    HCURSOR m_hPickCursor;  // loaded at the first pick; a shared resource, never destroyed
    HBITMAP m_bmpDisabled;  // loaded the first time it is drawn disabled; owned
};
