#include "worksheet/PrintSave.h"

#include "common/Dialogs.h"
#include "common/FileExists.h"
#include "common/RuntimeError.h"
#include "store/WorksheetFile.h"
#include "worksheet/Generator.h"
#include "worksheet/Random.h"
#include "worksheet/Request.h"

#include <optional>
#include <system_error>

namespace sbk3 {
namespace {

constexpr int kNumberDraws = 1000;

// A random part whose file does not exist yet, or nothing after all draws hit existing files.
std::optional<std::string> findFreePart(const std::filesystem::path& folder,
                                        const std::string& stem, RandomPort& random) {
    for (int draw = 0; draw < kNumberDraws; ++draw) {
        const int part = static_cast<int>(1000.0 * static_cast<double>(random.rtcRandomNext()));
        std::string text = RandomPartText(part);
        if (!FileExists(folder / pathFromUtf8(stem + text)))
            return text;
    }
    return std::nullopt;
}

void writeWorksheet(const std::filesystem::path& path, const std::string& header, int count,
                    const std::string& typeName, RandomPort& random) {
    const FileEncoding encoding = createWorksheetFile(path, header);
    try {
        // Each line by its own open, append and close, so every line is on disk before the next.
        for (int k = 1; k <= count; ++k) {
            WorksheetAppender file(path, encoding);
            WriteProblem(typeName, file, random);
            file.close();
        }
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored); // a broken worksheet must not stay behind
        throw;
    }
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

    const std::optional<std::string> part =
        findFreePart(ports.folder, state.SheetCode, ports.random);
    if (!part) {
        ports.dialogs.messageBox({.text = "Sorry please delete some worksheets!"});
        return;
    }
    state.SheetCode += *part;

    const std::string title = StoredTitle(controls.title, state.SheetCode);
    const int problems = NumberOfProblems(count);
    const std::filesystem::path path = ports.folder / pathFromUtf8(state.SheetCode);
    try {
        writeWorksheet(path, headerLine(title, state.SheetCode, problems), problems,
                       controls.typeName, ports.random);
    } catch (const RuntimeError& error) {
        ports.dialogs.messageBox(
            {.text = "Worksheet " + state.SheetCode + " could not be saved: " + error.description(),
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
