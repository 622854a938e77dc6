#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

namespace sbk3 {

// On Wayland a program cannot place its windows: it names a box's parent window and the
// compositor decides. Most compositors then put the box over its window; sway puts every
// floating window in the middle of its output. Under sway, boxes are therefore moved over their
// window through sway's command socket, as the user's own "move" command would. Elsewhere this
// does nothing.
void installWindowPlacement();

// What is known of a box and the window it belongs to: their titles and sizes as the program
// has them, and the program's process.
struct PlacedBox {
    QString title;
    QSize size;
    QString parentTitle;
    QSize parentSize;
    qint64 pid = 0;
};

struct SwayPlacement {
    bool boxShown = false; // sway shows the box, focused: there is nothing more to wait for
    QByteArray command;    // what moves it over its window; empty where it is there already,
                           // or where its window cannot be told apart from others
};

// Where the box goes, read from sway's window tree (its get_tree answer): over the middle of its
// window, on the same output and wholly on it.
SwayPlacement swayMoveOverParent(const QByteArray& tree, const PlacedBox& box);

} // namespace sbk3
