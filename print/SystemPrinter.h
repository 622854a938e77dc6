#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sbk3 {

// The system's default printer as the print system sees it right now.
struct SystemPrinter {
    std::string name;
    bool accepting = true; // takes new jobs
    bool stopped = false;  // paused: jobs wait until it is resumed
    bool isDefault = false;
    // Its default paper and the margins it cannot print in, in points; nothing when it does not
    // say.
    struct Paper {
        double width = 0, height = 0;
        double left = 0, top = 0, right = 0, bottom = 0;
    };
    std::optional<Paper> paper;
};

// True where this build talks to the print system itself (CUPS); elsewhere Qt's printer does.
bool systemPrintersViaCups();

// Nothing when no printer is set up or the print system does not answer.
std::optional<SystemPrinter> defaultSystemPrinter();

// The printer of that name as the print system sees it right now; nothing when there is none.
std::optional<SystemPrinter> namedSystemPrinter(const std::string& name);

// Every printer the print system offers, the default first (their paper is not asked).
std::vector<SystemPrinter> systemPrinters();

// Sends a PDF document to the printer as one job named title. Throws RuntimeError with the
// print system's reason when the job is refused.
void sendToPrinter(const SystemPrinter& printer, const std::string& title, std::string_view pdf);

} // namespace sbk3
