#include "ui/color_swatch.h"

#include "res/resource.h"

using namespace platform;

const MessageMap<CColorSwatch> CColorSwatch::messageMap = {
    onMouse(WM_LBUTTONDOWN, &CColorSwatch::OnLButtonDown),
    onMouse(WM_LBUTTONUP, &CColorSwatch::OnLButtonUp),
    onMouse(WM_MOUSEMOVE, &CColorSwatch::OnMouseMove),
    onMouse(WM_RBUTTONDOWN, &CColorSwatch::OnRButtonDown),
    onMouse(WM_LBUTTONDBLCLK, &CColorSwatch::OnLButtonDblClk),
};

CColorSwatch::CColorSwatch()
    : m_dwColor(0),
      m_dwSavedColor(0),
      m_bPicking(false),
      m_hPickCursor(nullptr),
      m_bmpDisabled(nullptr) {}

CColorSwatch::~CColorSwatch() {
    if (m_bmpDisabled) DeleteObject(m_bmpDisabled);
}

bool CColorSwatch::OnWndMsg(const Message& m, LRESULT& result) {
    return messageMap.Dispatch(*this, m, result) || CButton::OnWndMsg(m, result);
}

void CColorSwatch::SetRGB(uint32_t rgb) {
    m_dwColor = rgb & 0x00FFFFFF;
    if (m_hWnd) InvalidateRect(nullptr, FALSE);
}

void CColorSwatch::DrawItem(DRAWITEMSTRUCT* dis) {
    HBRUSH brush;
    if (IsWindowEnabled()) {
        brush = CreateSolidBrush(RGBToColorRef(m_dwColor));
    } else {
        // Loaded the first time the swatch is drawn disabled: most runs never are.
        if (!m_bmpDisabled) m_bmpDisabled = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_DISABLED));
        brush = CreatePatternBrush(m_bmpDisabled);
    }
    HGDIOBJ old = SelectObject(dis->hDC, brush);
    // Oversized so the brush fills the control and the outline falls outside it.
    Rectangle(dis->hDC, -10, -10, 4096, 4096);
    SelectObject(dis->hDC, old);
    DeleteObject(brush);
}

void CColorSwatch::Report() {
    ::SendMessageA(GetParent(), WM_COLORPICKED, static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(GetRGB()));
}

void CColorSwatch::OnLButtonDown(UINT, POINT) {}

void CColorSwatch::OnLButtonUp(UINT, POINT) {
    ReleaseCapture();  // harmless when another window holds it
    m_bPicking = false;
    Default();
    Report();
}

void CColorSwatch::OnMouseMove(UINT nFlags, POINT point) {
    if (!m_bPicking && (nFlags & MK_LBUTTON)) {
        m_dwSavedColor = m_dwColor;
        SetCapture(m_hWnd);
        m_bPicking = true;
        if (!m_hPickCursor) m_hPickCursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_PICKER));
        SetCursor(m_hPickCursor);  // the platform brings the arrow back once the capture is gone
    }
    if (m_bPicking) {
        HDC screen = GetDC(nullptr);
        ClientToScreen(&point);
        COLORREF pixel = GetPixel(screen, point.x, point.y);
        ReleaseDC(nullptr, screen);
        // No readable pixel (CLR_INVALID) reads as white.
        m_dwColor = ColorRefToRGB(pixel);
        InvalidateRect(nullptr, FALSE);
    }
    Default();
}

void CColorSwatch::OnRButtonDown(UINT, POINT) {
    if (m_bPicking) {
        ReleaseCapture();
        m_bPicking = false;
        SetRGB(m_dwSavedColor);
    }
    Default();
}

void CColorSwatch::OnLButtonDblClk(UINT, POINT) {
    // No parent: the main window owns the colour dialog.
    CColorDialog dlg(RGBToColorRef(m_dwColor), CC_FULLOPEN);
    dlg.DoModal();
    SetColor(dlg.GetColor());
    Report();
    Default();
}
