#pragma once

#include <QSize>

#include <vector>

class QGridLayout;
class QWidget;

namespace sbk3 {

// The room a window has on the screen it opens on (or the main screen), less its frame: what a
// window may take at any scale and font size.
QSize roomOnScreen(const QWidget* window);

// Resizes a top-level window to the size it asks for, or less where the screen is smaller, and
// moves it so that all of it is on the screen.
void fitOnScreen(QWidget* window, QSize wanted);

// The buttons in rows no wider than width, as many to a row as fit: a large font or scale
// wraps them instead of pushing them off the screen.
QGridLayout* buttonRows(const std::vector<QWidget*>& buttons, int width);

} // namespace sbk3
