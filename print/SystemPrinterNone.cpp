// Where the system does not print through CUPS (Windows): Qt's printer takes every page.
#include "print/SystemPrinter.h"

#include "common/RuntimeError.h"

namespace sbk3 {

bool systemPrintersViaCups() {
    return false;
}

std::optional<SystemPrinter> defaultSystemPrinter() {
    return std::nullopt;
}

std::optional<SystemPrinter> namedSystemPrinter(const std::string&) {
    return std::nullopt;
}

std::vector<SystemPrinter> systemPrinters() {
    return {};
}

void sendToPrinter(const SystemPrinter& printer, const std::string&, std::string_view) {
    throw RuntimeError(ErrorNumber::PrinterError,
                       "The printer " + printer.name + " cannot be reached");
}

} // namespace sbk3
