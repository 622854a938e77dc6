#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>

class QProgressDialog;
class QThreadPool;
class QWidget;

namespace sbk3 {

// The threads the windows hand slow work to (reading folders, asking printers, making class
// sets). Nothing ever waits for them on the window's thread: a read hung on a network share or a
// print server that never answers holds one of these threads, never a window, and the program
// still ends at once. So the pool is never destroyed, and no window joins its work: each one
// cancels what it started and lets it end on its own.
QThreadPool* backgroundPool();

// The progress box of slow work: titled, wide enough for its title, shown once the work has
// taken a moment, modal to what modality says; whoever started the work deletes it when the work
// has ended. Cancel (or Esc, or closing it) sets the flag it returns with, which the work reads
// between its steps; it never cancels a future, so what the work handed back so far is kept.
struct ProgressBox {
    QProgressDialog* box;
    std::shared_ptr<std::atomic<bool>> stop;
};
ProgressBox newProgressBox(QWidget* parent, const QString& objectName, const QString& title,
                           const QString& text, int steps, Qt::WindowModality modality);

} // namespace sbk3
