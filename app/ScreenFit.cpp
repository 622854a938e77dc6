#include "app/ScreenFit.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace sbk3 {

QSize roomOnScreen(const QWidget* window) {
    const QScreen* screen =
        window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {1024, 768};
    // The title bar and the frame the window manager adds, at this scale.
    const int title = window ? window->style()->pixelMetric(QStyle::PM_TitleBarHeight) : 24;
    return screen->availableGeometry().size() - QSize(16, title + 16);
}

void fitOnScreen(QWidget* window, QSize wanted) {
    const QSize room = roomOnScreen(window);
    window->resize(wanted.boundedTo(room));
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const int x =
        std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() - frame.width()));
    const int y =
        std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() - frame.height()));
    if (x != frame.x() || y != frame.y())
        window->move(x, y);
}

QGridLayout* buttonRows(const std::vector<QWidget*>& buttons, int width) {
    auto* rows = new QGridLayout;
    constexpr int kGap = 8;
    int row = 0, column = 0, used = 0, most = 1;
    for (QWidget* button : buttons) {
        const int wide = button->sizeHint().width() + kGap;
        if (column > 0 && used + wide > width) {
            ++row;
            column = 0;
            used = 0;
        }
        rows->addWidget(button, row, column++);
        most = std::max(most, column);
        used += wide;
    }
    rows->setColumnStretch(most, 1); // the rows keep to the left
    return rows;
}

} // namespace sbk3
