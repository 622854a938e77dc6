#include "app/PrinterQuery.h"

#include "app/Background.h"

#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>

namespace sbk3 {
namespace {

template <typename T>
void ask(QObject* context, std::chrono::milliseconds timeout, T (*question)(),
         std::function<void(std::optional<T>)> answered) {
    auto* watcher = new QFutureWatcher<T>(context);
    auto* deadline = new QTimer(watcher);
    deadline->setSingleShot(true);
    const auto answer =
        std::make_shared<std::function<void(std::optional<T>)>>(std::move(answered));
    QObject::connect(deadline, &QTimer::timeout, watcher, [watcher, answer] {
        const auto call = std::exchange(*answer, {});
        watcher->deleteLater(); // the question goes on on its thread, unheard
        if (call)
            call(std::nullopt);
    });
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, [watcher, answer] {
        const auto call = std::exchange(*answer, {});
        const T result = watcher->result();
        watcher->deleteLater();
        if (call)
            call(result);
    });
    watcher->setFuture(QtConcurrent::run(backgroundPool(), question));
    deadline->start(timeout);
}

} // namespace

void askSystemPrinters(QObject* context, std::chrono::milliseconds timeout,
                       std::function<void(std::optional<std::vector<SystemPrinter>>)> answered) {
    ask<std::vector<SystemPrinter>>(context, timeout, &systemPrinters, std::move(answered));
}

void askDefaultPrinter(QObject* context, std::chrono::milliseconds timeout,
                       std::function<void(std::optional<std::optional<SystemPrinter>>)> answered) {
    ask<std::optional<SystemPrinter>>(context, timeout, &defaultSystemPrinter, std::move(answered));
}

} // namespace sbk3
