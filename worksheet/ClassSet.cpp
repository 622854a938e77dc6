#include "worksheet/ClassSet.h"

#include "common/Capacity.h"
#include "common/RuntimeError.h"
#include "store/WorksheetFile.h"
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

StoredVersions StoreVersions(const ClassSetRequest& request, const std::string& title,
                             const std::filesystem::path& folder, RandomPort& random,
                             const std::string& decimalSeparator,
                             const std::function<bool(std::size_t stored)>& goOn) {
    StoredVersions stored;
    const std::string stem =
        SettingsTypeCode(request.settings) + CountCode(request.problems, decimalSeparator);
    for (int version = 1; version <= request.versions; ++version) {
        if (goOn && !goOn(stored.numbers.size()))
            return stored;
        std::string number = stem;
        std::optional<NewWorksheetFile> file;
        try {
            random.rtcRandomize();
            file = CreateUnderFreeNumber(title, request.problems, number, folder, random,
                                         UsesLaidOutPage(request.settings));
            if (!file) {
                stored.failure = kAllNumbersTaken;
                return stored;
            }
            // Drawn before they are written, so all the lines go in one write; the file is
            // flushed before anything is printed, as Print/Save's is.
            WorksheetAppender lines(*file);
            lines.writeLines(DrawProblemLines(request.settings, request.problems, random));
            lines.close();
            file->makeDurable();
        } catch (const std::exception& failure) {
            if (file)
                file->removeIfStillOurs();
            stored.failure =
                "Worksheet " + number + " could not be saved: " + describeFailure(failure);
            return stored;
        }
        stored.numbers.push_back(number);
    }
    return stored;
}

} // namespace sbk3
