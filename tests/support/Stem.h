#pragma once

#include "store/WorksheetFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace sbk3::test {

// Fills the stem's numbers in folder with taken files ("x"), all but every 25th (40 left free),
// and gives the draws that name exactly the free ones, in order.
inline std::vector<float> fillStemButEvery25th(const std::filesystem::path& folder,
                                               const std::string& stem) {
    std::vector<float> free;
    for (int part = 0; part < 1000; ++part) {
        if (part % 25 == 0) {
            free.push_back((static_cast<float>(part) + 0.5f) / 1000.0f);
            continue;
        }
        char digits[8];
        std::snprintf(digits, sizeof digits, "%03d", part);
        writeBytes(folder / (stem + digits), "x");
    }
    return free;
}

// After two savers titled "<who> 0 (N)" and "<who> 1 (N)" raced for 5-problem worksheets: every
// new file is whole (its header, exactly 5 lines) and titled by one of them. Gives how many
// there are; with remove, takes them away for the next round.
inline std::size_t checkRacedSheets(const std::filesystem::path& folder, const std::string& who,
                                    bool remove) {
    std::size_t saved = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string bytes = readBytes(entry.path());
        if (bytes == "x")
            continue;
        const std::string name = entry.path().filename().string();
        ++saved;
        const SavedWorksheet sheet = readWorksheetFile(entry.path());
        EXPECT_EQ(sheet.sheetCode, name);
        EXPECT_TRUE(sheet.title == who + " 0 " + name || sheet.title == who + " 1 " + name)
            << sheet.title;
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 6) << name;
        if (remove)
            std::filesystem::remove(entry.path());
    }
    return saved;
}

} // namespace sbk3::test
