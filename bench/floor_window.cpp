// The floors the start-up figures are judged against, each the least a Qt program does to put
// the same thing on screen:
//   bare  a 320 x 240 frameless window, white, with one frame line of grey 15 at (1, 1)
//   text  the same with the splash's two lines of 44-point Arial
//   main  the text window; a click on it shows a main window built before the click
// Usage: sbk3_floor_window bare|text|main
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QtDialogs.h"
#include "print/QtPrinter.h"
#include "worksheet/Random.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <cstring>
#include <functional>
#include <memory>

namespace {

class FloorWindow : public QWidget {
public:
    FloorWindow(bool text, std::function<void()> onClick)
        : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), m_text(text),
          m_onClick(std::move(onClick)) {
        setFixedSize(320, 240);
        setAttribute(Qt::WA_OpaquePaintEvent);
        const QRect area = QGuiApplication::primaryScreen()->geometry();
        move(area.x() + (area.width() - 320) / 2, area.y() + (area.height() - 240) / 2);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(QColor(15, 15, 15));
        painter.drawRect(QRect(1, 1, 318, 238));
        if (m_text) {
            QFont font(QStringLiteral("Arial"));
            font.setPointSize(44);
            painter.setFont(font);
            painter.setPen(Qt::black);
            const QFontMetricsF metrics(font, this);
            painter.drawText(QPointF(16, 16 + metrics.ascent()), QStringLiteral("Sumbrook"));
            painter.drawText(QPointF(16, 16 + metrics.height() + metrics.ascent()),
                             QStringLiteral("3"));
        }
    }
    void mousePressEvent(QMouseEvent*) override {
        if (m_onClick) {
            close();
            m_onClick();
        }
    }

private:
    bool m_text;
    std::function<void()> m_onClick;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const char* mode = argc > 1 ? argv[1] : "bare";
    if (std::strcmp(mode, "main") != 0) {
        FloorWindow window(std::strcmp(mode, "text") == 0, {});
        window.show();
        return QApplication::exec();
    }
    sbk3::configureApplication();
    const std::filesystem::path folder = QDir::tempPath().toStdString();
    sbk3::QtDialogs dialogs;
    sbk3::QtPrinter printer(folder);
    sbk3::ClockRandom random;
    sbk3::frmMain built(sbk3::MainPorts{dialogs, printer, random, folder, ".", [] {}, folder});
    FloorWindow window(true, [&] {
        built.show();
        built.activateWindow();
    });
    window.show();
    return QApplication::exec();
}
