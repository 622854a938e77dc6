#include "print/PrintSaved.h"

#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Printer.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <vector>

namespace sbk3 {
namespace {

constexpr int kEasyCapacity = 80;

bool isPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20;
    });
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// What the "Print Saved" box says of a failure that is not a missing file.
std::string failureText(const std::string& number, const RuntimeError* error,
                        const std::string& description) {
    if (error && error->number() == RuntimeError::badFileMode().number())
        return number + " is not a worksheet file.";
    if (error && error->number() == RuntimeError::outOfMemory().number())
        return number + " is too large to be a worksheet.";
    return "Worksheet " + number + " could not be printed: " + description;
}

} // namespace

std::optional<std::filesystem::path> FindWorksheetFile(const std::filesystem::path& folder,
                                                       const std::string& number) {
    if (!isPlainFileName(number))
        return std::nullopt;
    const std::filesystem::path exact = folder / pathFromUtf8(number);
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, ec)))
        return exact;

    std::vector<std::filesystem::path> matches;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec))
        if (equalsIgnoringCase(pathToUtf8(it->path().filename()), number))
            matches.push_back(it->path());
    if (matches.empty())
        return exact; // reading it reports the missing file
    std::sort(matches.begin(), matches.end());
    return matches.front();
}

void PrintSaved(const PrintSavedControls& controls, SheetState& state,
                const PrintSavedPorts& ports) {
    std::string number;
    bool started = false;
    try {
        ports.printer.setFontBold(false);
        if (state.PrintNewSheet) {
            number = state.SheetCode;
        } else {
            number = ports.dialogs.inputBox("Enter the worksheet number:", "Print Saved");
            if (number.empty())
                return;
        }

        const std::optional<std::filesystem::path> path = FindWorksheetFile(ports.folder, number);
        if (!path)
            throw RuntimeError::fileNotFound();
        number =
            pathToUtf8(path->filename()); // the worksheet's own number, whatever the case typed
        const SavedWorksheet sheet = readWorksheetFile(*path);

        if (sheet.count > kEasyCapacity && controls.easy) {
            state.PrintNewSheet = false;
            ports.dialogs.messageBox(
                {.text = "Worksheet " + number + " has " + std::to_string(sheet.count) +
                         " problems, but the Easy Reading layout holds at most 80. "
                         "Choose Compact Test to print it.",
                 .icon = MsgIcon::Exclamation,
                 .caption = "Worksheet Can Not Be Processed"});
            return;
        }

        started = true;
        ports.printer.setJobName(number);
        PrintWorksheetPage(ports.printer, ports.picRetPic,
                           {ports.ProblemPos, controls.chkBold, controls.txtAppend}, sheet);
        started = false;
        state.PrintNewSheet = false;

        if (const std::string file = ports.printer.outputFile(); !file.empty())
            ports.dialogs.messageBox(
                {.text = "No printer is set up on this computer, so worksheet " + number +
                         " was printed to the file:\n" + file});
        if (const std::string held = ports.printer.heldByPrinter(); !held.empty())
            ports.dialogs.messageBox(
                {.text = "Worksheet " + number + " was sent to the printer " + held +
                         ", which is paused. It will print when the printer is resumed.",
                 .icon = MsgIcon::Exclamation,
                 .caption = "Print Saved"});
    } catch (const std::exception& failure) {
        state.PrintNewSheet = false;
        if (started) {
            // Nothing half-drawn goes to paper, and the next print starts as usual.
            try {
                ports.printer.killDoc();
                ports.printer.setFontSize(12);
                ports.printer.setFontBold(false);
            } catch (const std::exception&) {
            }
        }
        const auto* error = dynamic_cast<const RuntimeError*>(&failure);
        const std::string description = error ? error->description() : failure.what();
        // The rule for a missing number holds while the file is found and read; once the page
        // is under way, a failure such as "File too large" on a full disk is no missing number.
        if (!started && !description.empty() && description.front() == 'F') {
            ports.dialogs.messageBox({.text = "This number is either deleted or doesn't exist!",
                                      .icon = MsgIcon::Exclamation,
                                      .caption = "No Serial"});
        } else {
            ports.dialogs.messageBox({.text = failureText(number, error, description),
                                      .icon = MsgIcon::Exclamation,
                                      .caption = "Print Saved"});
        }
    }
}

} // namespace sbk3
