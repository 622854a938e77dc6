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

} // namespace

std::optional<NewWorksheetFile> CreateUnderFreeNumber(const std::string& title, int problems,
                                                      std::string& SheetCode,
                                                      const std::filesystem::path& folder,
                                                      RandomPort& random, bool laidOut) {
    const std::string stem = SheetCode;
    for (int draw = 0; draw < kNumberDraws; ++draw) {
        const int part = static_cast<int>(1000.0 * static_cast<double>(random.rtcRandomNext()));
        const std::string code = stem + RandomPartText(part);
        const std::filesystem::path path = folder / pathFromUtf8(code);
        if (FileExists(path))
            continue;
        SheetCode = code;
        if (std::optional<NewWorksheetFile> file = NewWorksheetFile::create(
                path, laidOut ? laidOutHeaderLine(StoredTitle(title, code), code, problems)
                              : headerLine(StoredTitle(title, code), code, problems)))
            return file;
    }
    SheetCode = stem;
    return std::nullopt;
}

void WriteLines(const NewWorksheetFile& file, int count,
                const std::function<void(WorksheetAppender&)>& writeLine) {
    for (int k = 1; k <= count; ++k) {
        WorksheetAppender line(file);
        writeLine(line);
        line.close();
    }
    file.makeDurable();
}

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
        file = CreateUnderFreeNumber(controls.title, problems, state.SheetCode, ports.folder,
                                     ports.random);
        if (!file) {
            ports.dialogs.messageBox({.text = kAllNumbersTaken});
            return;
        }
        WriteLines(*file, problems, [&](WorksheetAppender& line) {
            WriteProblem(controls.typeName, line, ports.random);
        });
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
