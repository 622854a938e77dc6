#include "worksheet/ClassSet.h"

#include "common/Capacity.h"
#include "common/RuntimeError.h"
#include "store/WorksheetFile.h"
#include "worksheet/Preset.h"
#include "worksheet/PrintSave.h"
#include "worksheet/Random.h"
#include "worksheet/Request.h"

namespace sbk3 {

std::optional<std::string> CheckClassSet(const ClassSetRequest& request, bool easy) {
    if (auto failed = CheckRequest(request.problems, easy))
        return failed;
    if (request.versions < 1 || request.versions > kMaxVersions)
        return "The number of versions can range from 1 to " + std::to_string(kMaxVersions) + ".";
    if (request.copies < 1 || request.copies > kMaxCopies)
        return "The number of copies can range from 1 to " + std::to_string(kMaxCopies) + ".";
    return std::nullopt;
}

namespace {

// The versions written so far put on the disk: each file, then their folder once. A version
// whose file cannot be flushed is removed with the ones after it, and the failure names it
// instead of any later one's.
void makeDurable(StoredVersions& stored, std::vector<NewWorksheetFile>& files) {
    for (std::size_t k = 0; k < files.size(); ++k) {
        try {
            files[k].makeDurable(false);
        } catch (const std::exception& failure) {
            for (std::size_t later = k; later < files.size(); ++later)
                files[later].removeIfStillOurs();
            stored.failure = "Worksheet " + stored.numbers[k] +
                             " could not be saved: " + describeFailure(failure);
            stored.numbers.resize(k);
            files.erase(files.begin() + static_cast<std::ptrdiff_t>(k), files.end());
            break;
        }
    }
    if (files.empty())
        return;
    try {
        flushFolder(files.front().path().parent_path());
    } catch (const RuntimeError&) {
        // The files are on the disk; only their folder's entries may not have reached it yet.
    }
}

} // namespace

StoredVersions StoreVersions(const ClassSetRequest& request, const std::string& title,
                             const std::filesystem::path& folder, RandomPort& random,
                             const std::string& decimalSeparator,
                             const std::function<bool(std::size_t stored)>& goOn) {
    StoredVersions stored;
    std::vector<NewWorksheetFile> files;
    // With the number in a corner, the title is the title alone.
    const std::string shownTitle =
        request.look.numberPlace == NumberPlace::Corner ? TitleWithoutNumber(title) : title;
    const std::string stem =
        SettingsTypeCode(request.settings) + CountCode(request.problems, decimalSeparator);
    // Each version keeps the settings it was made with, so that it can be made again.
    const std::string settings = settingsLine(presetText(request));
    for (int version = 1; version <= request.versions; ++version) {
        if (goOn && !goOn(stored.numbers.size()))
            break;
        std::string number = stem;
        std::optional<NewWorksheetFile> file;
        try {
            random.rtcRandomize();
            file =
                CreateUnderFreeNumber(shownTitle, request.problems, number, folder, random, true);
            if (!file) {
                stored.failure = kAllNumbersTaken;
                break;
            }
            // Drawn before they are written, so all the lines go in one write: the page's look,
            // the version's place in its set, the settings, then the problems.
            std::vector<std::string> drawn{pageLine(request.look)};
            if (request.versions > 1)
                drawn.push_back(setLine({stored.numbers.empty() ? number : stored.numbers.front(),
                                         version, request.versions}));
            drawn.push_back(settings);
            for (std::string& line :
                 DrawProblemLines(request.settings, request.problems, random, true))
                drawn.push_back(std::move(line));
            WorksheetAppender lines(*file);
            lines.writeLines(drawn);
            lines.close();
        } catch (const std::exception& failure) {
            if (file)
                file->removeIfStillOurs();
            stored.failure =
                "Worksheet " + number + " could not be saved: " + describeFailure(failure);
            break;
        }
        stored.numbers.push_back(number);
        files.push_back(*file);
    }
    // Flushed before anything is printed, as Print/Save's is; the versions one after another
    // first, so the disk takes them in one go.
    makeDurable(stored, files);
    return stored;
}

} // namespace sbk3
