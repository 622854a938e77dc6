#include "worksheet/Preset.h"

#include "common/RuntimeError.h"
#include "support/EverySetting.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

ClassSetRequest away() {
    return test::everySettingAwayFromDefault();
}

TEST(PresetTest, EverySettingComesBackAsItWentIn) {
    ASSERT_FALSE(away() == ClassSetRequest{});
    EXPECT_EQ(parsePreset(presetText(away())), away());
    EXPECT_EQ(parsePreset(presetText(ClassSetRequest{})), ClassSetRequest{});
    // A setting left out keeps its default; Windows line ends read the same.
    EXPECT_EQ(parsePreset("Sumbrook 3 settings 1\r\nversions = 6\r\n")->versions, 6);
    EXPECT_EQ(parsePreset("Sumbrook 3 settings 1\nversions = 6\n")->copies, 1);
}

TEST(PresetTest, WhatIsNotSettingsOfThisVersionIsRefusedWithWhy) {
    const auto why = [](const std::string& text) {
        std::string reason;
        EXPECT_FALSE(parsePreset(text, &reason)) << text;
        return reason;
    };
    EXPECT_EQ(why("Sumbrook 3 settings 2\nversions = 6\n"),
              "it was made by a later version of Sumbrook 3");
    EXPECT_EQ(why("\"Drill\",\"ADD003042\",3\n"), "it is no settings file of Sumbrook 3");
    EXPECT_EQ(why(""), "it is no settings file of Sumbrook 3");
    EXPECT_EQ(why("Sumbrook 3 settings 1\nversions = six\n"),
              "line 2 is not a setting: \"versions = six\"");
    for (const char* line : {"first = 1", "carrying = often", "forms = column column", "spread = 1",
                             "tables = 13", "divisors = 0", "operations = sums", "colour = red"})
        EXPECT_EQ(why(std::string("Sumbrook 3 settings 1\n") + line + "\n"),
                  "line 2 is not a setting: \"" + std::string(line) + "\"");
}

TEST(PresetTest, NamedSettingsAreFilesBesideTheWorksheets) {
    test::TempFolder worksheets;
    const std::filesystem::path folder = presetFolder(worksheets.path());
    EXPECT_TRUE(presetNames(folder).empty()); // no folder yet
    savePreset(folder, "Year 3 column addition", away());
    ClassSetRequest withPdf = away();
    withPdf.pdfPath = "/tmp/set.pdf";
    savePreset(folder, "Year 1", withPdf);
    EXPECT_EQ(presetNames(folder), (std::vector<std::string>{"Year 1", "Year 3 column addition"}));
    std::string why;
    EXPECT_EQ(loadPreset(folder, "Year 1", &why), away()); // the PDF file is asked for anew
    EXPECT_THROW(renamePreset(folder, "Year 1", "Year 3 column addition"), RuntimeError);
    renamePreset(folder, "Year 1", "Year 2");
    deletePreset(folder, "Year 3 column addition");
    EXPECT_EQ(presetNames(folder), std::vector<std::string>{"Year 2"});

    // A damaged file is reported and left exactly as it is.
    test::writeBytes(folder / "Broken.preset", "Sumbrook 3 settings 1\nversions = lots\n");
    EXPECT_FALSE(loadPreset(folder, "Broken", &why));
    EXPECT_EQ(why, "line 2 is not a setting: \"versions = lots\"");
    EXPECT_EQ(test::readBytes(folder / "Broken.preset"),
              "Sumbrook 3 settings 1\nversions = lots\n");
    EXPECT_FALSE(loadPreset(folder, "Missing", &why));
    EXPECT_FALSE(why.empty());

    EXPECT_TRUE(presetNameProblem(""));
    EXPECT_TRUE(presetNameProblem(".hidden"));
    EXPECT_TRUE(presetNameProblem("a/b"));
    EXPECT_TRUE(presetNameProblem("Year 3: sums")); // not on a Windows share
    EXPECT_FALSE(presetNameProblem("Year 3 - sums (column)"));
}

} // namespace
} // namespace sbk3
