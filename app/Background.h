#pragma once

#include <QtGlobal>

class QThreadPool;

namespace sbk3 {

// The threads the windows hand slow work to (reading folders, asking printers, making class
// sets). Nothing ever waits for them on the window's thread: a read hung on a network share or a
// print server that never answers holds one of these threads, never a window, and the program
// still ends at once. So the pool is never destroyed, and no window joins its work: each one
// cancels what it started and lets it end on its own.
QThreadPool* backgroundPool();

} // namespace sbk3
