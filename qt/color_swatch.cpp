#include "qt/color_swatch.h"

#include <QApplication>
#include <QColorDialog>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyleOptionFocusRect>

namespace {

constexpr char kPortal[] = "org.freedesktop.portal.Desktop";
constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";

QColor ToColor(uint32_t rgb) { return QColor::fromRgb(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }
uint32_t FromColor(const QColor& c) {
    return static_cast<uint32_t>(c.red()) << 16 | static_cast<uint32_t>(c.green()) << 8 | static_cast<uint32_t>(c.blue());
}

}  // namespace

ColorSwatch::ColorSwatch(QWidget* parent) : QAbstractButton(parent) {
    // The keyboard reaches it; a click leaves the focus in the field being typed in.
    setFocusPolicy(Qt::TabFocus);
    m_portalSoon.setSingleShot(true);
    connect(&m_portalSoon, &QTimer::timeout, this, &ColorSwatch::AskPortal);
    SetRgb(0);
}

QSize ColorSwatch::sizeHint() const {
    const int h = fontMetrics().height();
    return {h * 3 / 2, h};
}

void ColorSwatch::SetRgb(uint32_t rgb) {
    m_rgb = rgb & 0x00FFFFFFu;
    setAccessibleName(QStringLiteral("Color #") + QString::number(m_rgb, 16).rightJustified(6, u'0').toUpper());
    update();
}

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    if (isEnabled()) {
        painter.setBrush(ToColor(m_rgb));
    } else {
        // Disabled at Word and Char: a hatch, as the window's swatch shows then.
        painter.fillRect(r, palette().color(QPalette::Window));
        painter.setBrush(QBrush(palette().color(QPalette::Disabled, QPalette::WindowText), Qt::Dense5Pattern));
    }
    painter.drawRect(r);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

bool ColorSwatch::CanReadScreen() {
    // Wayland gives no program the screen's pixels; the portal picks for it there.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void ColorSwatch::mousePressEvent(QMouseEvent* event) {
    if (m_picking && event->button() == Qt::RightButton) {
        // Cancelled: back to the colour from before the pick, nothing reported.
        SetRgb(m_savedRgb);
        EndPick(false);
        return;
    }
    // A press alone picks nothing and takes no focus, as the window's swatch does.
    m_pressed = event->button() == Qt::LeftButton;
}

void ColorSwatch::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed || !(event->buttons() & Qt::LeftButton) || !CanReadScreen()) return;
    if (!m_picking) {
        m_picking = true;
        m_savedRgb = m_rgb;
        setCursor(Qt::CrossCursor);
    }
    Sample(event->globalPosition().toPoint());
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const bool clicked = m_pressed && !m_picking && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (m_picking) EndPick(true);
    // A second click may yet come and make it a double-click, which opens the dialog instead.
    else if (clicked && !CanReadScreen()) m_portalSoon.start(QApplication::doubleClickInterval());
}

void ColorSwatch::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_portalSoon.stop();
    OpenDialog();
}

void ColorSwatch::keyPressEvent(QKeyEvent* event) {
    if (m_picking && event->key() == Qt::Key_Escape) {
        SetRgb(m_savedRgb);
        EndPick(false);
        return;
    }
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OpenDialog();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ColorSwatch::Sample(QPoint global) {
    QScreen* screen = QGuiApplication::screenAt(global);
    if (!screen) return;
    const QPoint at = global - screen->geometry().topLeft();
    const QImage pixel = screen->grabWindow(0, at.x(), at.y(), 1, 1).toImage();
    if (pixel.isNull()) return;
    SetRgb(static_cast<uint32_t>(pixel.pixel(0, 0)) & 0x00FFFFFFu);
}

void ColorSwatch::EndPick(bool report) {
    m_picking = false;
    m_pressed = false;
    unsetCursor();
    if (report) emit ColorPicked(m_rgb);
}

void ColorSwatch::OpenDialog() {
    const QColor chosen = QColorDialog::getColor(ToColor(m_rgb), window());
    if (!chosen.isValid()) return;
    SetRgb(FromColor(chosen));
    emit ColorPicked(m_rgb);
}

void ColorSwatch::AskPortal() {
    QDBusMessage call = QDBusMessage::createMethodCall(kPortal, kPortalPath, "org.freedesktop.portal.Screenshot",
                                                       "PickColor");
    call << QString() << QVariantMap();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        // No portal that picks colours: the colour dialog instead.
        OpenDialog();
        return;
    }
    m_portalRequest = reply.arguments().first().value<QDBusObjectPath>().path();
    QDBusConnection::sessionBus().connect(kPortal, m_portalRequest, "org.freedesktop.portal.Request", "Response",
                                          this, SLOT(PortalResponse(uint, QVariantMap)));
}

void ColorSwatch::PortalResponse(uint response, const QVariantMap& results) {
    QDBusConnection::sessionBus().disconnect(kPortal, m_portalRequest, "org.freedesktop.portal.Request", "Response",
                                             this, SLOT(PortalResponse(uint, QVariantMap)));
    if (response != 0 || !results.contains("color")) return;  // cancelled
    double red = 0, green = 0, blue = 0;
    const QDBusArgument color = results.value("color").value<QDBusArgument>();
    color.beginStructure();
    color >> red >> green >> blue;
    color.endStructure();
    const auto byte = [](double v) { return static_cast<uint32_t>(qBound(0.0, v, 1.0) * 255.0 + 0.5); };
    SetRgb(byte(red) << 16 | byte(green) << 8 | byte(blue));
    emit ColorPicked(m_rgb);
}
