#pragma once

#include "print/SystemPrinter.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace sbk3 {

// How long a window waits for the print system before it goes on without it.
inline constexpr std::chrono::milliseconds kPrinterAnswerTime{3000};

// Asks the print system on a thread of the background pool, never on the window's: a print
// server that accepts and never answers holds that thread, not a window. answered runs on
// context's thread with what the print system said, or with nothing once timeout has passed
// without an answer (a later answer is dropped). Nothing runs once context is gone.
void askSystemPrinters(QObject* context, std::chrono::milliseconds timeout,
                       std::function<void(std::optional<std::vector<SystemPrinter>>)> answered);
void askDefaultPrinter(QObject* context, std::chrono::milliseconds timeout,
                       std::function<void(std::optional<std::optional<SystemPrinter>>)> answered);

} // namespace sbk3
