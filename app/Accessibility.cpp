#include "app/Accessibility.h"

#include <QAccessible>

namespace sbk3 {
namespace {

class Watcher : public QAccessible::ActivationObserver {
public:
    Watcher() { QAccessible::installActivationObserver(this); }
    void accessibilityActiveChanged(bool active) override { on = active; }
    bool on = false;
};

Watcher& watcher() {
    static Watcher watching;
    return watching;
}

} // namespace

void watchAssistiveTechnology() {
    watcher();
}

bool assistiveTechnologyOn() {
    return QAccessible::isActive() || watcher().on;
}

} // namespace sbk3
