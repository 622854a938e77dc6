#include "print/PageCommands.h"

#include "common/Capacity.h"
#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "common/Text.h"
#include "print/Layout.h"
#include "print/Page.h"
#include "print/Printer.h"
#include "print/SetPages.h"
#include "print/Surface.h"
#include "store/WorksheetFile.h"

#include <algorithm>
#include <vector>

namespace sbk3 {
namespace {

bool isPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return c == '/' || c == '\\' || c == ':' || isControl(c); });
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
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

constexpr PageCommand kPageCommands[] = {
    {.objectName = "actPrintSaved", .caption = "Print Saved", .takesNewSheet = true},
    {.objectName = "actPrintAnswerKey",
     .menuText = "Print Answer Key...",
     .caption = "Print Answer Key",
     .answerKey = true},
    {.objectName = "actSaveWorksheetPdf",
     .menuText = "Save Worksheet as PDF...",
     .caption = "Save Worksheet as PDF",
     .toPdf = true},
    {.objectName = "actSaveAnswerKeyPdf",
     .menuText = "Save Answer Key as PDF...",
     .caption = "Save Answer Key as PDF",
     .answerKey = true,
     .toPdf = true},
};

// One run of a page command, step by step.
class PageRun {
public:
    PageRun(const PageCommand& command, const PageControls& controls, SheetState& state,
            const PagePorts& ports, std::string number)
        : m_command(command), m_controls(controls), m_state(state), m_ports(ports),
          m_number(std::move(number)) {}

    void run() {
        try {
            m_ports.printer.setFontBold(false);
            if (!askNumber())
                return;
            const SavedWorksheet sheet = readWorksheetFile(findFile());
            if (!layoutHolds(sheet) || !chooseTarget())
                return;
            report(print(sheet));
        } catch (const std::exception& failure) {
            m_state.PrintNewSheet = false;
            if (m_started)
                recover();
            reportFailure(failure);
        }
    }

private:
    std::string caption() const { return std::string(m_command.caption); }
    std::string document() const { return m_command.answerKey ? m_number + "-answers" : m_number; }

    // The new sheet's number, the one given, or the one the user types; false on Cancel.
    bool askNumber() {
        if (!m_number.empty())
            return true;
        if (m_command.takesNewSheet && m_state.PrintNewSheet) {
            m_number = m_state.SheetCode;
            return true;
        }
        m_number =
            m_ports.dialogs.inputBox("Enter the worksheet number:", caption(), m_ports.folder);
        return !m_number.empty();
    }

    std::filesystem::path findFile() {
        const std::optional<std::filesystem::path> path =
            FindWorksheetFile(m_ports.folder, m_number);
        if (!path)
            throw RuntimeError(ErrorNumber::FileNotFound);
        m_number = pathToUtf8(path->filename()); // its own number, whatever the case typed
        return *path;
    }

    bool layoutHolds(const SavedWorksheet& sheet) {
        const std::string refusal = LayoutRefusal(
            m_number, sheet.count, m_controls.look.easy && !sheet.laidOut, m_command.answerKey);
        if (refusal.empty())
            return true;
        m_state.PrintNewSheet = false;
        m_ports.dialogs.messageBox({.text = refusal,
                                    .icon = MsgIcon::Exclamation,
                                    .caption = "Worksheet Can Not Be Processed"});
        return false;
    }

    // The printer, or the PDF file the user picks; false on Cancel.
    bool chooseTarget() {
        m_ports.printer.setJobName(document());
        if (!m_command.toPdf)
            return true;
        const std::filesystem::path proposed =
            m_ports.documentsFolder / pathFromUtf8(document() + ".pdf");
        const std::string target = m_ports.dialogs.saveFileBox(caption(), pathToUtf8(proposed));
        if (target.empty())
            return false;
        m_ports.printer.setPdfTarget(target);
        return true;
    }

    PageOutcome print(const SavedWorksheet& sheet) {
        m_started = true;
        PositionTable compact;
        const PositionTable& positions = LayoutForKey(m_ports.ProblemPos, m_controls.look.easy,
                                                      sheet.count, m_command.answerKey, compact);
        PageOutcome outcome = PrintWorksheetPage(
            m_ports.printer, m_ports.picRetPic,
            {positions, m_controls.look, m_command.answerKey, m_controls.decimalSeparator}, sheet);
        m_state.PrintNewSheet = false;
        return outcome;
    }

    void report(const PageOutcome& outcome) {
        switch (outcome.kind) {
        case PageOutcome::Kind::Printed:
            return;
        case PageOutcome::Kind::WrittenToFile:
            if (m_command.toPdf)
                m_ports.dialogs.messageBox(
                    {.text = "Worksheet " + m_number + " was saved as:\n" + outcome.where,
                     .caption = caption()});
            else
                m_ports.dialogs.messageBox(
                    {.text = "No printer is set up on this computer, so " +
                             std::string(m_command.answerKey ? "the answer key of " : "") +
                             "worksheet " + m_number + " was printed to the file:\n" +
                             outcome.where});
            return;
        case PageOutcome::Kind::HeldByPrinter:
            m_ports.dialogs.messageBox(
                {.text = "Worksheet " + m_number + " was sent to the printer " + outcome.where +
                         ", which is paused. It will print when the printer is resumed.",
                 .icon = MsgIcon::Exclamation,
                 .caption = caption()});
            return;
        case PageOutcome::Kind::Failed:
            recover();
            m_ports.dialogs.messageBox({.text = failedText(outcome.reason),
                                        .icon = MsgIcon::Exclamation,
                                        .caption = caption()});
            return;
        }
    }

    // Nothing half-drawn goes to paper, and the next print starts as usual.
    void recover() noexcept {
        try {
            m_ports.printer.killDoc();
            m_ports.printer.setFontSize(12);
            m_ports.printer.setFontBold(false);
        } catch (const std::exception&) {
        }
    }

    std::string failedText(const std::string& description) const {
        return "Worksheet " + m_number + " could not be " +
               (m_command.toPdf ? "saved as PDF" : "printed") + ": " + description;
    }

    void reportFailure(const std::exception& failure) {
        const std::string description = describeFailure(failure);
        // The rule for a missing number holds while the file is found and read; once the page
        // is under way, a failure such as "File too large" on a full disk is no missing number.
        if (!m_started && meansMissingWorksheet(description)) {
            m_ports.dialogs.messageBox({.text = "This number is either deleted or doesn't exist!",
                                        .icon = MsgIcon::Exclamation,
                                        .caption = "No Serial"});
            return;
        }
        const auto* error = dynamic_cast<const RuntimeError*>(&failure);
        std::string text = failedText(description);
        if (error && error->code() == ErrorNumber::BadFileMode)
            text = m_number + " is not a worksheet file.";
        else if (error && error->code() == ErrorNumber::OutOfMemory)
            text = m_number + " is too large to be a worksheet.";
        m_ports.dialogs.messageBox(
            {.text = text, .icon = MsgIcon::Exclamation, .caption = caption()});
    }

    const PageCommand& m_command;
    const PageControls& m_controls;
    SheetState& m_state;
    const PagePorts& m_ports;
    std::string m_number;
    bool m_started = false;
};

} // namespace

std::string LayoutRefusal(const std::string& number, int count, bool easy, bool answerKey) {
    // An answer key of more than 80 problems goes on the Compact Test layout, which any sheet
    // of it was printed on; only a worksheet itself is refused.
    if (count <= kEasyCapacity || !easy || answerKey)
        return {};
    return "Worksheet " + number + " has " + std::to_string(count) +
           " problems, but the Easy Reading layout holds at most " + std::to_string(kEasyCapacity) +
           ". Choose Compact Test to print it.";
}

std::span<const PageCommand> pageCommands() {
    return kPageCommands;
}

namespace {

// The worksheets that can be printed on the window's layout, read; why each other one cannot,
// a line each.
std::string readPrintable(const std::vector<std::string>& numbers, bool answerKey,
                          const PageControls& controls, const std::filesystem::path& folder,
                          std::vector<SavedWorksheet>& sheets, std::vector<std::string>& printed) {
    std::string leftOut;
    for (const std::string& number : numbers) {
        try {
            const std::optional<std::filesystem::path> path = FindWorksheetFile(folder, number);
            if (!path)
                throw RuntimeError(ErrorNumber::FileNotFound);
            SavedWorksheet sheet = readWorksheetFile(*path);
            if (const std::string refusal = LayoutRefusal(
                    number, sheet.count, controls.look.easy && !sheet.laidOut, answerKey);
                !refusal.empty()) {
                leftOut += "\n" + refusal;
                continue;
            }
            sheets.push_back(std::move(sheet));
            printed.push_back(number);
        } catch (const std::exception& failure) {
            leftOut += "\n" + number + ": " + describeFailure(failure);
        }
    }
    return leftOut;
}

} // namespace

void PrintStoredSheets(const std::vector<std::string>& numbers, int copies, bool answerKey,
                       const PageControls& controls, const PagePorts& ports) {
    const std::string caption = answerKey ? "Print Answer Keys" : "Print Worksheets";
    std::vector<SavedWorksheet> sheets;
    std::vector<std::string> printed;
    const std::string leftOut =
        readPrintable(numbers, answerKey, controls, ports.folder, sheets, printed);
    std::string text;
    bool trouble = !leftOut.empty();
    if (!sheets.empty()) {
        std::vector<SetPage> pages;
        for (const SetPage& page : SetPageOrder(sheets.size(), copies, false, false))
            pages.push_back({page.sheet, answerKey});
        const std::string names = namesOf(printed);
        const std::string what = std::to_string(pages.size()) +
                                 (pages.size() == 1 ? " page" : " pages") + " of " +
                                 (answerKey ? "the answer keys of " : "") + names;
        PageOutcome outcome;
        try {
            ports.printer.setJobName(printed.size() == 1 ? printed.front()
                                                         : printed.front() + "-" + printed.back());
            outcome = PrintSetPages(
                ports.printer, ports.picRetPic,
                {ports.ProblemPos, controls.look, answerKey, controls.decimalSeparator}, sheets,
                pages);
        } catch (const std::exception& failure) {
            ports.printer.killDoc();
            ports.printer.setFontSize(12);
            outcome = {PageOutcome::Kind::Failed, {}, describeFailure(failure)};
        }
        switch (outcome.kind) {
        case PageOutcome::Kind::Printed:
            text = "Sent " + what + " to the printer.";
            break;
        case PageOutcome::Kind::WrittenToFile:
            text = "No printer is set up on this computer, so " + what +
                   " were printed to the file:\n" + outcome.where;
            break;
        case PageOutcome::Kind::HeldByPrinter:
            text = "Sent " + what + " to the printer " + outcome.where +
                   ", which is paused. They will print when the printer is resumed.";
            trouble = true;
            break;
        case PageOutcome::Kind::Failed:
            text = "The " + what + " could not be printed: " + outcome.reason;
            trouble = true;
            break;
        }
    }
    if (!leftOut.empty())
        text += (text.empty() ? "" : "\n\n") + std::string("Not printed:") + leftOut;
    ports.dialogs.messageBox(
        {.text = text, .icon = trouble ? MsgIcon::Exclamation : MsgIcon::None, .caption = caption});
}

void RunPageCommand(const PageCommand& command, const PageControls& controls, SheetState& state,
                    const PagePorts& ports, const std::string& number) {
    PageRun(command, controls, state, ports, number).run();
}

void PrintSaved(const PageControls& controls, SheetState& state, const PagePorts& ports) {
    RunPageCommand(kPageCommands[0], controls, state, ports, {});
}

} // namespace sbk3
