#include "worksheet/PrintSave.h"

#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "store/WorksheetFile.h"
#include "worksheet/Generator.h"
#include "worksheet/Random.h"
#include "worksheet/Request.h"

#include <optional>

namespace sbk3 {
namespace {

constexpr int kNumberDraws = 1000;

// Creates the worksheet file under the first drawn number that is free, the number in
// SheetCode. FileExists is the quick test of a draw; the exclusive creation has the last word,
// so a name taken in any form, or by another copy of the program a moment ago, is drawn again.
// Nothing after all draws hit taken numbers; then SheetCode keeps the stem.
std::optional<NewWorksheetFile> createUnderFreeNumber(const RequestControls& controls, int problems,
                                                      SheetState& state,
                                                      const PrintSavePorts& ports) {
    const std::string stem = state.SheetCode;
    for (int draw = 0; draw < kNumberDraws; ++draw) {
        const int part =
            static_cast<int>(1000.0 * static_cast<double>(ports.random.rtcRandomNext()));
        const std::string code = stem + RandomPartText(part);
        const std::filesystem::path path = ports.folder / pathFromUtf8(code);
        if (FileExists(path))
            continue;
        state.SheetCode = code;
        if (std::optional<NewWorksheetFile> file = NewWorksheetFile::create(
                path, headerLine(StoredTitle(controls.title, code), code, problems)))
            return file;
    }
    state.SheetCode = stem;
    return std::nullopt;
}

// Each line by its own open, append and close, so every line is on disk before the next; then
// the whole file is flushed once, before its number is shown to anyone.
void writeProblems(const NewWorksheetFile& file, int count, const std::string& typeName,
                   RandomPort& random) {
    for (int k = 1; k <= count; ++k) {
        WorksheetAppender line(file);
        WriteProblem(typeName, line, random);
        line.close();
    }
    file.makeDurable();
}

} // namespace

void PrintSave(const RequestControls& controls, SheetState& state, const PrintSavePorts& ports) {
    state.SheetCode.clear();

    const double count = CountValue(controls.numOfProblems);
    if (const std::optional<std::string> failed = CheckRequest(count, controls.easy)) {
        ports.dialogs.messageBox({.text = *failed});
        return;
    }

    ports.random.rtcRandomize();
    state.SheetCode = TypeCode(controls.typeName) + CountCode(count, ports.decimalSeparator);

    const int problems = NumberOfProblems(count);
    std::optional<NewWorksheetFile> file;
    try {
        file = createUnderFreeNumber(controls, problems, state, ports);
        if (!file) {
            ports.dialogs.messageBox({.text = "Sorry please delete some worksheets!"});
            return;
        }
        writeProblems(*file, problems, controls.typeName, ports.random);
    } catch (const std::exception& failure) {
        if (file)
            file->removeIfStillOurs(); // a broken worksheet must not stay behind
        ports.dialogs.messageBox({.text = "Worksheet " + state.SheetCode +
                                          " could not be saved: " + describeFailure(failure),
                                  .icon = MsgIcon::Exclamation});
        return;
    }

    state.PrintNewSheet = true;
    const MsgResult answer = ports.dialogs.messageBox(
        {.text = "Do you want to print worksheet number " + state.SheetCode +
                 " right now? Please keep note of this number in case you lose the copy you "
                 "printed or if you want to print it later.",
         .buttons = MsgButtons::YesNo,
         .icon = MsgIcon::Question});
    if (answer == MsgResult::Yes && ports.printSaved)
        ports.printSaved();
    else
        state.PrintNewSheet = false;
}

} // namespace sbk3
