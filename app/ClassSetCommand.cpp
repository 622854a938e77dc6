#include "app/ClassSetCommand.h"

#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "common/Text.h"
#include "print/Page.h"
#include "print/Printer.h"
#include "print/SetPages.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <vector>

namespace sbk3 {
namespace {

// "worksheet ADD020123", or "3 worksheets (ADD020123, ADD020456, ADD020977)": the numbers of a
// set are drawn, so no first and last could stand for them.
std::string made(const std::vector<std::string>& numbers) {
    if (numbers.size() == 1)
        return "worksheet " + numbers.front();
    return std::to_string(numbers.size()) + " worksheets (" + namesOf(numbers) + ")";
}

std::string whereTheyWent(const PageOutcome& outcome, const ClassSetRequest& request,
                          std::size_t pages) {
    const std::string count = std::to_string(pages) + (pages == 1 ? " page" : " pages");
    switch (outcome.kind) {
    case PageOutcome::Kind::Printed:
        return count + " sent to the printer" +
               (request.printer.empty() ? std::string() : " " + request.printer) + ".";
    case PageOutcome::Kind::HeldByPrinter:
        return count + " sent to the printer " + outcome.where +
               ", which is paused. They will print when the printer is resumed.";
    case PageOutcome::Kind::WrittenToFile:
        if (!request.pdfPath.empty())
            return count + " saved as:\n" + outcome.where;
        return count + " printed to the file, as no printer is set up on this computer:\n" +
               outcome.where;
    case PageOutcome::Kind::Failed:
        break;
    }
    return "the pages could not be printed: " + outcome.reason +
           ". Each worksheet can be printed again by its number.";
}

} // namespace

ClassSetResult RunClassSet(const ClassSetRequest& request, const ClassSetPorts& ports,
                           const ClassSetProgress& progress) {
    ClassSetResult result;
    const auto versions = static_cast<std::size_t>(std::max(request.versions, 0));
    const bool keys = request.keys != AnswerKeys::None;
    // The pages of every version; the set goes on to print only once every version is stored.
    const std::vector<SetPage> pages =
        SetPageOrder(versions, request.copies, keys, request.keys == AnswerKeys::AtTheEnd);
    // Every version stored, then every page drawn, are the steps the progress counts.
    const std::size_t steps = versions + pages.size();
    const auto goOn = [&](std::size_t done) {
        if (progress && !progress(done, steps))
            result.stopped = true;
        return !result.stopped;
    };
    result.stored = StoreVersions(request, request.title, ports.folder, ports.random,
                                  ports.decimalSeparator, goOn);
    if (!result.stored.failure.empty() || result.stopped)
        return result;
    try {
        std::vector<SavedWorksheet> sheets; // printed as stored, read back as Print Saved reads
        for (const std::string& number : result.stored.numbers)
            sheets.push_back(readWorksheetFile(ports.folder / pathFromUtf8(number)));
        result.pages = pages.size();
        const std::vector<std::string>& numbers = result.stored.numbers;
        ports.printer.setJobName(numbers.size() == 1 ? numbers.front()
                                                     : numbers.front() + "-" + numbers.back());
        if (!request.pdfPath.empty())
            ports.printer.setPdfTarget(request.pdfPath);
        else if (!request.printer.empty())
            ports.printer.setPrinter(request.printer);
        result.outcome =
            PrintSetPages(ports.printer, ports.picRetPic,
                          {ports.ProblemPos, request.look, false, ports.decimalSeparator}, sheets,
                          pages, [&](std::size_t drawn) { return goOn(versions + drawn); });
    } catch (const std::exception& failure) {
        ports.printer.killDoc();
        ports.printer.setFontSize(12);
        result.outcome = {PageOutcome::Kind::Failed, {}, describeFailure(failure)};
    }
    if (progress && !result.stopped)
        progress(steps, steps);
    return result;
}

Message ClassSetReport(const ClassSetRequest& request, const ClassSetResult& result) {
    const std::vector<std::string>& numbers = result.stored.numbers;
    if (!result.stored.failure.empty()) {
        std::string text = "Version " + std::to_string(numbers.size() + 1) + " of " +
                           std::to_string(request.versions) + ": " + result.stored.failure;
        if (!numbers.empty())
            text += "\nThe versions before it are stored: " + made(numbers) + ".";
        return {.text = text, .icon = MsgIcon::Exclamation, .caption = kClassSetCaption};
    }
    if (result.stopped) {
        const std::string text =
            numbers.empty() ? std::string("Stopped. No worksheet was made.")
                            : "Stopped. Made " + made(numbers) +
                                  "; nothing was printed. Each worksheet can be printed by "
                                  "its number.";
        return {.text = text, .icon = MsgIcon::Exclamation, .caption = kClassSetCaption};
    }
    const PageOutcome& outcome = result.outcome;
    const bool failed = outcome.kind == PageOutcome::Kind::Failed;
    return {.text = "Made " + made(numbers) + (failed ? "; " : ": ") +
                    whereTheyWent(outcome, request, result.pages),
            .icon = failed || outcome.kind == PageOutcome::Kind::HeldByPrinter
                        ? MsgIcon::Exclamation
                        : MsgIcon::None,
            .caption = kClassSetCaption};
}

void MakeClassSet(const ClassSetRequest& request, const ClassSetPorts& ports) {
    ports.dialogs.messageBox(ClassSetReport(request, RunClassSet(request, ports)));
}

} // namespace sbk3
