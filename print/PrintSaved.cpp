#include "print/PrintSaved.h"

#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Printer.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"
#include "store/WorksheetList.h"

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
                        const std::string& description, const std::string& what) {
    if (error && error->code() == ErrorNumber::BadFileMode)
        return number + " is not a worksheet file.";
    if (error && error->code() == ErrorNumber::OutOfMemory)
        return number + " is too large to be a worksheet.";
    return "Worksheet " + number + " could not be " + what + ": " + description;
}

} // namespace

std::optional<std::filesystem::path> FindWorksheetFile(const std::filesystem::path& folder,
                                                       const std::string& number) {
    if (!isPlainFileName(number))
        return std::nullopt;
    // The folder's own spelling of the name: on a file system that ignores letter case
    // (Windows, a network share) the typed spelling would open the file too, and name the job.
    std::vector<std::filesystem::path> matches;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = pathToUtf8(it->path().filename());
        if (name == number)
            return it->path();
        if (equalsIgnoringCase(name, number))
            matches.push_back(it->path());
    }
    if (matches.empty())
        return folder / pathFromUtf8(number); // reading it reports what is wrong
    std::sort(matches.begin(), matches.end());
    return matches.front();
}

namespace {

// The commands that take a stored worksheet to a page differ only in these.
struct PageCommand {
    std::string caption;        // of the number box and of the boxes that report
    bool answerKey = false;     // the page with its answers
    bool toPdf = false;         // to a PDF file the user picks, not the printer
    bool takesNewSheet = false; // Print Saved run from Print/Save prints SheetCode
};

std::vector<WorksheetChoice> storedChoices(const std::filesystem::path& folder) {
    std::vector<WorksheetChoice> choices;
    for (ListedWorksheet& sheet : ListWorksheets(folder))
        choices.push_back({std::move(sheet.number), std::move(sheet.title)});
    return choices;
}

void runPageCommand(const PageCommand& command, const PrintSavedControls& controls,
                    SheetState& state, const PrintSavedPorts& ports) {
    std::string number;
    bool started = false;
    try {
        ports.printer.setFontBold(false);
        if (command.takesNewSheet && state.PrintNewSheet) {
            number = state.SheetCode;
        } else {
            number = ports.dialogs.inputBox("Enter the worksheet number:", command.caption,
                                            storedChoices(ports.folder));
            if (number.empty())
                return;
        }

        const std::optional<std::filesystem::path> path = FindWorksheetFile(ports.folder, number);
        if (!path)
            throw RuntimeError(ErrorNumber::FileNotFound);
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

        const std::string document = command.answerKey ? number + "-answers" : number;
        ports.printer.setJobName(document);
        if (command.toPdf) {
            const std::filesystem::path proposed =
                ports.documentsFolder / pathFromUtf8(document + ".pdf");
            const std::string target =
                ports.dialogs.saveFileBox(command.caption, pathToUtf8(proposed));
            if (target.empty())
                return;
            ports.printer.setPdfTarget(target);
        }

        started = true;
        PrintWorksheetPage(
            ports.printer, ports.picRetPic,
            {ports.ProblemPos, controls.chkBold, controls.txtAppend, command.answerKey}, sheet);
        started = false;
        state.PrintNewSheet = false;

        const std::string file = ports.printer.outputFile();
        if (command.toPdf)
            ports.dialogs.messageBox({.text = "Worksheet " + number + " was saved as:\n" + file,
                                      .caption = command.caption});
        else if (!file.empty())
            ports.dialogs.messageBox(
                {.text = "No printer is set up on this computer, so worksheet " + number +
                         " was printed to the file:\n" + file});
        if (const std::string held = ports.printer.heldByPrinter(); !held.empty())
            ports.dialogs.messageBox(
                {.text = "Worksheet " + number + " was sent to the printer " + held +
                         ", which is paused. It will print when the printer is resumed.",
                 .icon = MsgIcon::Exclamation,
                 .caption = command.caption});
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
        if (!started && meansMissingWorksheet(description)) {
            ports.dialogs.messageBox({.text = "This number is either deleted or doesn't exist!",
                                      .icon = MsgIcon::Exclamation,
                                      .caption = "No Serial"});
        } else {
            ports.dialogs.messageBox(
                {.text = failureText(number, error, description,
                                     command.toPdf ? "saved as PDF" : "printed"),
                 .icon = MsgIcon::Exclamation,
                 .caption = command.caption});
        }
    }
}

} // namespace

void PrintSaved(const PrintSavedControls& controls, SheetState& state,
                const PrintSavedPorts& ports) {
    runPageCommand({.caption = "Print Saved", .takesNewSheet = true}, controls, state, ports);
}

void PrintAnswerKey(const PrintSavedControls& controls, SheetState& state,
                    const PrintSavedPorts& ports) {
    runPageCommand({.caption = "Print Answer Key", .answerKey = true}, controls, state, ports);
}

void SavePdf(bool answerKey, const PrintSavedControls& controls, SheetState& state,
             const PrintSavedPorts& ports) {
    runPageCommand({.caption = answerKey ? "Save Answer Key as PDF" : "Save Worksheet as PDF",
                    .answerKey = answerKey,
                    .toPdf = true},
                   controls, state, ports);
}

} // namespace sbk3
