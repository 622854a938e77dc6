#include "app/WindowPlacement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sbk3 {
namespace {

// A window as sway has it: its frame (title bar and border included) and its content's size.
struct SwayWindow {
    qint64 id = 0;
    QString title;
    qint64 pid = 0;
    bool focused = false;
    QRect frame;
    QSize content;
    QRect output;
};

QRect rectOf(const QJsonValue& value) {
    const QJsonObject rect = value.toObject();
    return {rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
            rect.value(QLatin1String("width")).toInt(),
            rect.value(QLatin1String("height")).toInt()};
}

void collectWindows(const QJsonObject& node, QRect output, std::vector<SwayWindow>& windows) {
    if (node.value(QLatin1String("type")).toString() == QLatin1String("output"))
        output = rectOf(node.value(QLatin1String("rect")));
    if (node.contains(QLatin1String("pid"))) {
        // The title bar sits above the content's rectangle; a move places the whole frame.
        const QRect rect = rectOf(node.value(QLatin1String("rect")));
        const int titleBar = rectOf(node.value(QLatin1String("deco_rect"))).height();
        windows.push_back({node.value(QLatin1String("id")).toInteger(),
                           node.value(QLatin1String("name")).toString(),
                           node.value(QLatin1String("pid")).toInteger(),
                           node.value(QLatin1String("focused")).toBool(),
                           rect.adjusted(0, -titleBar, 0, 0),
                           rectOf(node.value(QLatin1String("geometry"))).size(), output});
    }
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray())
            collectWindows(child.toObject(), output, windows);
}

bool near(int a, double b) {
    return std::abs(a - b) <= 2;
}

// The 6 bytes and two native 32-bit numbers (length, type) that start every message both ways.
constexpr int kHeaderSize = 14;
constexpr quint32 kRunCommand = 0;
constexpr quint32 kGetTree = 4;
constexpr int kAnswerWaitMs = 500;

// One question to sway and its answer; nothing where sway does not answer in time.
QByteArray ask(QLocalSocket& socket, quint32 type, const QByteArray& payload) {
    QByteArray message("i3-ipc");
    const quint32 header[2] = {static_cast<quint32>(payload.size()), type};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    message.append(payload);
    socket.write(message);
    socket.flush();
    QByteArray answer;
    quint32 length = 0;
    while (answer.size() < kHeaderSize ||
           answer.size() < kHeaderSize + static_cast<qsizetype>(length)) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(kAnswerWaitMs))
            return {};
        answer += socket.readAll();
        if (answer.size() >= kHeaderSize)
            std::memcpy(&length, answer.constData() + 6, sizeof length);
    }
    return answer.mid(kHeaderSize, length);
}

constexpr int kTries = 40; // every 25 ms: a second for sway to show the box
constexpr int kTryEveryMs = 25;

// Watches every window that opens with a parent, and asks sway where it is until sway shows it.
class SwayPlacer : public QObject {
public:
    SwayPlacer(QString socketPath, QObject* parent)
        : QObject(parent), m_socketPath(std::move(socketPath)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            const Qt::WindowType type = window->windowType();
            if (window->isWindow() && window->parentWidget() &&
                (type == Qt::Dialog || type == Qt::Window))
                tryToPlace(window, kTries);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void tryToPlace(QWidget* window, int triesLeft) {
        QTimer::singleShot(kTryEveryMs, this, [this, box = QPointer<QWidget>(window), triesLeft] {
            if (!box || !box->isVisible() || !box->parentWidget())
                return;
            if (!place(box) && triesLeft > 1)
                tryToPlace(box, triesLeft - 1);
        });
    }

    // Whether sway has shown the box, so that trying again is of no use.
    bool place(QWidget* box) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (!socket.waitForConnected(kAnswerWaitMs))
            return true; // no sway to ask
        const QWidget* parent = box->parentWidget()->window();
        const SwayPlacement placement = swayMoveOverParent(
            ask(socket, kGetTree, {}), {box->windowTitle(), box->size(), parent->windowTitle(),
                                        parent->size(), QCoreApplication::applicationPid()});
        if (!placement.command.isEmpty())
            ask(socket, kRunCommand, placement.command);
        return placement.boxShown;
    }

    QString m_socketPath;
};

} // namespace

SwayPlacement swayMoveOverParent(const QByteArray& tree, const PlacedBox& box) {
    std::vector<SwayWindow> windows;
    collectWindows(QJsonDocument::fromJson(tree).object(), {}, windows);
    const auto shown = std::find_if(windows.begin(), windows.end(), [&](const SwayWindow& w) {
        return w.pid == box.pid && w.focused && w.title == box.title && !box.size.isEmpty();
    });
    if (shown == windows.end())
        return {};
    const SwayWindow placed = *shown;
    // Sway counts in its own units: the program's scale, if any, comes from the box itself.
    const double scale = static_cast<double>(placed.content.width()) / box.size.width();
    std::vector<SwayWindow> parents;
    std::copy_if(windows.begin(), windows.end(), std::back_inserter(parents),
                 [&](const SwayWindow& w) {
                     return w.pid == box.pid && w.id != placed.id && w.title == box.parentTitle &&
                            near(w.content.width(), box.parentSize.width() * scale) &&
                            near(w.content.height(), box.parentSize.height() * scale);
                 });
    if (parents.size() != 1)
        return {true, {}};
    const SwayWindow& parent = parents.front();
    const QRect area = parent.output;
    const QSize frame = placed.frame.size();
    QPoint at = parent.frame.center() - QPoint(frame.width() / 2, frame.height() / 2);
    at.setX(std::max(area.left(), std::min(at.x(), area.left() + area.width() - frame.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.top() + area.height() - frame.height())));
    if (at == placed.frame.topLeft())
        return {true, {}};
    return {true, QStringLiteral("[con_id=%1] move absolute position %2 %3")
                      .arg(placed.id)
                      .arg(at.x())
                      .arg(at.y())
                      .toUtf8()};
}

void installWindowPlacement() {
    const QString socket = qEnvironmentVariable("SWAYSOCK");
    if (socket.isEmpty() || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    auto* placer = new SwayPlacer(socket, QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(placer);
}

} // namespace sbk3
