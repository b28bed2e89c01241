// The colour swatch beside "Color:": the value's low 24 bits as a colour. A drag from it picks
// the pixel under the pointer anywhere on the screen (X11), and a click reports the colour shown;
// where a program cannot read the screen (Wayland) a click asks the desktop's colour picker
// instead. A double-click, or Space, opens the colour dialog. Every colour picked is reported; a
// cancelled pick reports nothing.
#pragma once

#include <QAbstractButton>
#include <QTimer>
#include <QVariantMap>

#include <cstdint>

class ColorSwatch final : public QAbstractButton {
    Q_OBJECT

public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    // 0x00RRGGBB; redraws, and the name a screen reader says follows ("Color #RRGGBB").
    void SetRgb(uint32_t rgb);
    uint32_t Rgb() const { return m_rgb; }
    bool IsPicking() const { return m_picking; }

    QSize sizeHint() const override;

signals:
    void ColorPicked(uint32_t rgb);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    // The desktop portal's answer to PickColor.
    void PortalResponse(uint response, const QVariantMap& results);

private:
    static bool CanReadScreen();
    void Sample(QPoint global);
    void EndPick(bool report);
    void OpenDialog();
    void AskPortal();
    // Hears the portal's answer to the pick under way, or no longer.
    void Listen(bool on);

    uint32_t m_rgb = 0;
    uint32_t m_savedRgb = 0;  // the colour when the pick began, for a cancel
    bool m_picking = false;
    bool m_pressed = false;  // the left button went down on the swatch
    QString m_portalRequest;  // the portal's pick under way, if any
    QTimer m_portalSoon;      // a click asks the portal once it is not the first of a double-click
};
