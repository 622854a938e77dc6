#include "app/Splash.h"

#include "app/Accessibility.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace sbk3 {
namespace {

constexpr int kWidth = 320; // 4800 x 3600 twips
constexpr int kHeight = 240;
constexpr int kDotsPerMeter96Dpi = 3780;

} // namespace

frmSplash::frmSplash(std::function<void()> onDismiss, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_onDismiss(std::move(onDismiss)) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Splash"));
    setAttribute(Qt::WA_QuitOnClose, false); // the main window opens right after it closes
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kWidth, kHeight);
    Form_Load();
    // A screen reader names the splash and says how to go on; with one running, Return or Space
    // goes on as a click does, so no one is held here without a mouse.
    setAccessibleName(QStringLiteral("Sumbrook 3"));
    setAccessibleDescription(QStringLiteral("Press Return to start."));
    setFocusPolicy(Qt::StrongFocus);
    connect(&assistiveTechnologySignals(), &AssistiveTechnologySignals::turnedOn, this,
            &frmSplash::takeKeyboard);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
    }
}

void frmSplash::Form_Load() {
    m_image = paint(devicePixelRatioF());
}

QImage frmSplash::paint(qreal ratio) {
    QImage image(QSize(kWidth, kHeight) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    // Font sizes in points on the image mean the same as on a 96 dpi screen; the ratio then
    // gives each logical pixel its device pixels.
    image.setDotsPerMeterX(kDotsPerMeter96Dpi);
    image.setDotsPerMeterY(kDotsPerMeter96Dpi);
    image.fill(Qt::white);

    QPainter painter(&image);
    const int w = kWidth;
    const int h = kHeight;
    for (int i = 0; i <= 16; ++i) {
        const int c = i == 0 ? 0 : 16 * i - 1;
        const QColor colour(c, c, c);
        // The outline of the rectangle with corners (i, i) and (W - i, H - i), one pixel wide:
        // the outermost right and bottom sides fall just outside the image.
        painter.fillRect(QRect(i, i, w - 2 * i + 1, 1), colour);
        painter.fillRect(QRect(i, h - i, w - 2 * i + 1, 1), colour);
        painter.fillRect(QRect(i, i, 1, h - 2 * i + 1), colour);
        painter.fillRect(QRect(w - i, i, 1, h - 2 * i + 1), colour);
    }

    QFont font(QStringLiteral("Arial"));
    font.setPointSize(44);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, &image);
    double y = 16;
    for (const QString& line : {QStringLiteral("Sumbrook"), QStringLiteral("3")}) {
        painter.drawText(QPointF(16, y + metrics.ascent()), line);
        y += metrics.height();
    }
    return image;
}

void frmSplash::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
    if (m_afterFirstPaint)
        QTimer::singleShot(0, this, std::exchange(m_afterFirstPaint, {}));
}

void frmSplash::mousePressEvent(QMouseEvent*) {
    Form_MouseDown();
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (assistiveTechnologyOn() &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        Form_MouseDown();
        return;
    }
    event->ignore(); // for everyone else keys leave the splash as it is
}

void frmSplash::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (assistiveTechnologyOn())
        takeKeyboard();
}

// The keyboard comes here, so that a screen reader reads the splash and Return reaches it: as it
// shows, or when assistive technology comes on while it does.
void frmSplash::takeKeyboard() {
    if (!isVisible())
        return;
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}
void frmSplash::Form_MouseDown() {
    if (!isVisible())
        return;
    close();
    deleteLater();
    if (m_onDismiss)
        m_onDismiss();
}

} // namespace sbk3
