#include "app/ClassSetCommand.h"

#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "print/Page.h"
#include "print/Printer.h"
#include "print/SetPages.h"
#include "store/WorksheetFile.h"

#include <vector>

namespace sbk3 {
namespace {

// "worksheet ADD020123", or "3 worksheets, ADD020123 to ADD020977".
std::string made(const std::vector<std::string>& numbers) {
    if (numbers.size() == 1)
        return "worksheet " + numbers.front();
    return std::to_string(numbers.size()) + " worksheets, " + numbers.front() + " to " +
           numbers.back();
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

void MakeClassSet(const ClassSetRequest& request, const ClassSetWindow& window,
                  const ClassSetPorts& ports) {
    const StoredVersions stored =
        StoreVersions(request, window.title, ports.folder, ports.random, ports.decimalSeparator);
    if (!stored.failure.empty()) {
        std::string text = "Version " + std::to_string(stored.numbers.size() + 1) + " of " +
                           std::to_string(request.versions) + ": " + stored.failure;
        if (!stored.numbers.empty())
            text += "\nThe versions before it are stored: " + made(stored.numbers) + ".";
        ports.dialogs.messageBox(
            {.text = text, .icon = MsgIcon::Exclamation, .caption = kClassSetCaption});
        return;
    }

    PageOutcome outcome;
    std::vector<SetPage> pages;
    try {
        std::vector<SavedWorksheet> sheets; // printed as stored, read back as Print Saved reads
        for (const std::string& number : stored.numbers)
            sheets.push_back(readWorksheetFile(ports.folder / pathFromUtf8(number)));
        pages = SetPageOrder(sheets.size(), request.copies, request.keys != AnswerKeys::None,
                             request.keys == AnswerKeys::AtTheEnd);
        const std::string job = stored.numbers.size() == 1
                                    ? stored.numbers.front()
                                    : stored.numbers.front() + "-" + stored.numbers.back();
        ports.printer.setJobName(job);
        if (!request.pdfPath.empty())
            ports.printer.setPdfTarget(request.pdfPath);
        else if (!request.printer.empty())
            ports.printer.setPrinter(request.printer);
        outcome = PrintSetPages(ports.printer, ports.picRetPic,
                                {ports.ProblemPos, window.chkBold, window.txtAppend}, window.easy,
                                sheets, pages);
    } catch (const std::exception& failure) {
        ports.printer.killDoc();
        ports.printer.setFontSize(12);
        outcome = {PageOutcome::Kind::Failed, {}, describeFailure(failure)};
    }
    const bool failed = outcome.kind == PageOutcome::Kind::Failed;
    ports.dialogs.messageBox({.text = "Made " + made(stored.numbers) + (failed ? "; " : ": ") +
                                      whereTheyWent(outcome, request, pages.size()),
                              .icon = failed || outcome.kind == PageOutcome::Kind::HeldByPrinter
                                          ? MsgIcon::Exclamation
                                          : MsgIcon::None,
                              .caption = kClassSetCaption});
}

} // namespace sbk3
