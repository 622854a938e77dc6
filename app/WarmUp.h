#pragma once

namespace sbk3 {

// One-time work that the first question box and the first page would otherwise make the user
// wait for, done in a moment the user is not waiting on: the box's style, icons and fonts, and
// the PDF engine with the page's fonts. Nothing is shown or written.
void warmUpMessageBoxes();
void warmUpPages();

// Gives the memory that the warm-ups used and freed back to the system, where the C library
// keeps freed memory for later use.
void returnFreedMemory();

// The print system's library, loaded on a thread of the pool once a print is near (Print/Save,
// Print Saved, the context menu, the library): the window shown at start does without its 2 MB,
// and the first page does not wait for it while the user reads the box before it.
void warmUpPrinting();

} // namespace sbk3
