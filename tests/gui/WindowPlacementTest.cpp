#include "app/WindowPlacement.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

using namespace Qt::StringLiterals;

constexpr qint64 kPid = 4242;

QJsonObject rect(int x, int y, int width, int height) {
    return {{u"x"_s, x}, {u"y"_s, y}, {u"width"_s, width}, {u"height"_s, height}};
}

// A floating window as sway's tree lists it: a 25-pixel title bar above its content, a 2-pixel
// border on each side and below; the content is width x height.
QJsonObject window(qint64 id, const char* title, int x, int y, int width, int height,
                   bool focused = false, qint64 pid = kPid) {
    return {{u"id"_s, id},
            {u"type"_s, u"floating_con"_s},
            {u"name"_s, QString::fromLatin1(title)},
            {u"pid"_s, pid},
            {u"focused"_s, focused},
            {u"rect"_s, rect(x, y + 25, width + 4, height + 2)},
            {u"deco_rect"_s, rect(0, 0, width + 4, 25)},
            {u"geometry"_s, rect(0, 0, width, height)}};
}

// Two outputs side by side, each with one workspace holding the windows given for it.
QByteArray tree(const QJsonArray& left, const QJsonArray& right = {}) {
    const auto output = [](const QString& name, int x, const QJsonArray& windows) {
        const QJsonObject workspace{{u"type"_s, u"workspace"_s},
                                    {u"rect"_s, rect(x, 0, 1366, 768)},
                                    {u"nodes"_s, QJsonArray{}},
                                    {u"floating_nodes"_s, windows}};
        return QJsonObject{{u"type"_s, u"output"_s},
                           {u"name"_s, name},
                           {u"rect"_s, rect(x, 0, 1366, 768)},
                           {u"nodes"_s, QJsonArray{workspace}}};
    };
    const QJsonObject root{{u"type"_s, u"root"_s},
                           {u"nodes"_s, QJsonArray{output(u"HEADLESS-1"_s, 0, left),
                                                   output(u"HEADLESS-2"_s, 1366, right)}}};
    return QJsonDocument(root).toJson();
}

const PlacedBox kPrintSaved{u"Print Saved"_s, {502, 292}, u"Sumbrook 3"_s, {314, 272}, kPid};

TEST(WindowPlacementTest, TheBoxGoesOverItsWindowWhollyOnThatWindowsOutput) {
    // A window in the second output's bottom right corner: the box stops at that output's edges.
    EXPECT_EQ(swayMoveOverParent(tree({window(7, "Print Saved", 430, 213, 502, 292, true)},
                                      {window(6, "Sumbrook 3", 1366 + 1100, 500, 314, 272)}),
                                 kPrintSaved)
                  .command,
              "[con_id=7] move absolute position 2226 449");
    // A window at the first output's top left corner.
    EXPECT_EQ(swayMoveOverParent(tree({window(6, "Sumbrook 3", 0, 0, 314, 272),
                                       window(7, "Print Saved", 430, 213, 502, 292, true)}),
                                 kPrintSaved)
                  .command,
              "[con_id=7] move absolute position 0 0");
}

TEST(WindowPlacementTest, AWindowOfTheSameTitleIsToldApartBySize) {
    // A message box titled as the main window, beside another window of that title; the
    // program runs at scale 2, so sway's units are twice the program's.
    const PlacedBox message{u"Sumbrook 3"_s, {200, 100}, u"Sumbrook 3"_s, {314, 272}, kPid};
    const QByteArray windows = tree({window(3, "Sumbrook 3", 20, 20, 628, 544),
                                     window(4, "Sumbrook 3", 700, 100, 800, 400),
                                     window(5, "Sumbrook 3", 400, 300, 400, 200, true)});
    // The main window's frame is 632 x 571 at (20, 20), its middle (335, 305); the box's frame
    // is 404 x 227.
    EXPECT_EQ(swayMoveOverParent(windows, message).command,
              "[con_id=5] move absolute position 133 192");
}

TEST(WindowPlacementTest, NothingMovesWhileTheBoxOrItsWindowIsInDoubt) {
    // Not shown yet (not focused), or another program's window of the same title.
    const QByteArray notYet = tree({window(6, "Sumbrook 3", 900, 450, 314, 272),
                                    window(7, "Print Saved", 430, 213, 502, 292, false),
                                    window(9, "Print Saved", 10, 10, 502, 292, true, 99)});
    EXPECT_FALSE(swayMoveOverParent(notYet, kPrintSaved).boxShown);
    // Two windows that could be its own: shown, but left where sway put it.
    const SwayPlacement twoParents =
        swayMoveOverParent(tree({window(6, "Sumbrook 3", 900, 450, 314, 272),
                                 window(8, "Sumbrook 3", 100, 50, 314, 272),
                                 window(7, "Print Saved", 430, 213, 502, 292, true)}),
                           kPrintSaved);
    EXPECT_TRUE(twoParents.boxShown);
    EXPECT_TRUE(twoParents.command.isEmpty());
    // Not sway's answer at all.
    EXPECT_FALSE(swayMoveOverParent("not json", kPrintSaved).boxShown);
}

} // namespace
} // namespace sbk3
