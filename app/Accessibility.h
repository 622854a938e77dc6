#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace sbk3 {

// Says when assistive technology comes on, which the desktop may do after the program started.
class AssistiveTechnologySignals : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void turnedOn();
};
AssistiveTechnologySignals& assistiveTechnologySignals();

// Starts following whether a screen reader or other assistive technology is on, as Qt is told
// (Qt's AT-SPI bridge says so when the desktop turns one on), and gives every text box the
// accessible text this program answers for itself. Called once at start.
void installAccessibility();

// True while assistive technology is on.
bool assistiveTechnologyOn();

// Has a screen reader say text now, as a notification shown in window's corner: what changed
// without the focus moving (a drop-down's new value, a count of matches).
void announce(QWidget* window, const QString& text);

} // namespace sbk3
