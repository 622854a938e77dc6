#pragma once

namespace sbk3 {

// Starts following whether a screen reader or other assistive technology is on, as Qt is told
// (Qt's AT-SPI bridge says so when the desktop turns one on), and gives every text box the
// accessible text this program answers for itself. Called once at start.
void installAccessibility();

// True while assistive technology is on.
bool assistiveTechnologyOn();

} // namespace sbk3
