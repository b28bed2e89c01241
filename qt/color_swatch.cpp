#include "qt/color_swatch.h"

#include <QApplication>
#include <QColorDialog>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
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
    return static_cast<uint32_t>(c.red() << 16 | c.green() << 8 | c.blue());
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
    // Wayland gives no program the screen's pixels (through XWayland it sees only X windows); the
    // portal picks for it there.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void ColorSwatch::mousePressEvent(QMouseEvent* event) {
    if (m_picking && event->button() == Qt::RightButton) {
        // Cancelled: back to the colour from before the pick, nothing reported.
        SetRgb(m_savedRgb);
        EndPick(false);
        return;
    }
    // A press alone picks nothing and takes no focus.
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
    // A release ends a pick and reports the colour shown, a plain click too, as the Windows
    // window's swatch does. Without the screen a click asks the portal, once a second click has
    // not made it a double-click, which opens the dialog instead.
    if (m_picking) EndPick(true);
    else if (clicked && CanReadScreen()) emit ColorPicked(m_rgb);
    else if (clicked) m_portalSoon.start(QApplication::doubleClickInterval());
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
    if (!m_portalRequest.isEmpty()) return;  // one pick at a time
    // The request's path is known before the call (its token is ours), so its answer is heard
    // even when it comes at once.
    QDBusConnection bus = QDBusConnection::sessionBus();
    static int requests = 0;
    const QString token = QStringLiteral("quendrix%1").arg(++requests);
    m_portalRequest = QStringLiteral("%1/request/%2/%3")
                          .arg(QLatin1String(kPortalPath), bus.baseService().mid(1).replace(u'.', u'_'), token);
    Listen(true);
    QDBusMessage call = QDBusMessage::createMethodCall(kPortal, kPortalPath, "org.freedesktop.portal.Screenshot",
                                                       "PickColor");
    call << QString() << QVariantMap{{"handle_token", token}};
    auto* asked = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answer) {
        answer->deleteLater();
        if (answer->isError()) {
            // No portal that picks colours: the colour dialog instead.
            Listen(false);
            OpenDialog();
        }
    });
}

void ColorSwatch::Listen(bool on) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const char* slot = SLOT(PortalResponse(uint, QVariantMap));
    if (on) bus.connect(kPortal, m_portalRequest, "org.freedesktop.portal.Request", "Response", this, slot);
    else bus.disconnect(kPortal, m_portalRequest, "org.freedesktop.portal.Request", "Response", this, slot);
    if (!on) m_portalRequest.clear();
}

void ColorSwatch::PortalResponse(uint response, const QVariantMap& results) {
    Listen(false);
    if (response == 2) return OpenDialog();  // the portal could not pick: the dialog instead
    // Cancelled, or the width changed to one without a colour while the user picked.
    if (response != 0 || !results.contains("color") || !isEnabled()) return;
    double red = 0, green = 0, blue = 0;
    const QDBusArgument color = results.value("color").value<QDBusArgument>();
    color.beginStructure();
    color >> red >> green >> blue;
    color.endStructure();
    const auto byte = [](double v) { return static_cast<uint32_t>(qBound(0.0, v, 1.0) * 255.0 + 0.5); };
    SetRgb(byte(red) << 16 | byte(green) << 8 | byte(blue));
    emit ColorPicked(m_rgb);
}
