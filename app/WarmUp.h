#pragma once

namespace sbk3 {

// One-time work that the first question box and the first page would otherwise make the user
// wait for, done in a moment the user is not waiting on: the box's style, icons and fonts, and
// the PDF engine with the page's fonts, and the print system's library (on a thread of the
// pool). Nothing is shown or written.
void warmUpMessageBoxes();
void warmUpPages();

} // namespace sbk3
