#include "app/Application.h"

#include "support/TempFolder.h"

#include <QString>

#include <gtest/gtest.h>

namespace sbk3 {
namespace {

TEST(ApplicationTest, AnInstalledProgramsFolderIsToldFromABuildFolder) {
    test::TempFolder folder;
    std::filesystem::create_directories(folder / "prefix" / "bin");
    std::filesystem::create_directories(folder / "build");
    std::filesystem::create_directories(folder / "opt" / "programs");
    std::filesystem::create_symlink(folder / "prefix" / "bin", folder / "linked");
    const auto at = [&](const char* name) {
        return QString::fromStdString((folder / name).string());
    };
    const QString configured = at("opt/programs");
    const struct {
        QString folder;
        bool installed;
    } cases[] = {
        {QStringLiteral("/usr/bin"), true},
        {QStringLiteral("/usr/local/bin"), true},
        {QStringLiteral("/usr/lib/sbk3"), true},
        {at("prefix/bin"), true}, // cmake --install --prefix ~/.local and the like
        {at("linked"), true},     // a link to such a folder counts as that folder
        {at("opt/programs"), true},
        {at("build"), false}, // where scripts/run builds it
        {at("prefix"), false},
        {QStringLiteral("/home/user/bin-tools"), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isInstalledProgramFolder(c.folder, configured), c.installed)
            << c.folder.toStdString();
    EXPECT_FALSE(isInstalledProgramFolder(at("opt/programs"), QString()));
}

// No home folder (HOME unset or empty gives a per-user folder no one can make), or one that
// cannot be written: one problem to tell, naming the folder tried, and the program's own
// folder all the same when it can be written. A folder under a plain file cannot be made, even
// by root.
TEST(ApplicationTest, WithoutAPerUserFolderTheProgramsFolderIsKeptAndTheUserIsTold) {
    test::TempFolder folder;
    test::writeBytes(folder / "plain", "x");
    const auto program =
        folder / std::string("Kl\xE4sse"); // bytes that are no UTF-8 kept as they are
    std::filesystem::create_directory(program);
    const auto home = folder / "home";
    const auto nowhere = folder / "plain" / ".local" / "share" / "SBK3";

    const WorksheetFolder built = chooseWorksheetFolder(program, false, nowhere);
    EXPECT_EQ(built.folder, program);
    EXPECT_EQ(built.problem, "");

    const WorksheetFolder installed = chooseWorksheetFolder(program, true, home / "SBK3");
    EXPECT_EQ(installed.folder, home / "SBK3");
    EXPECT_TRUE(std::filesystem::is_directory(home / "SBK3"));
    EXPECT_EQ(installed.problem, "");

    const WorksheetFolder noHome = chooseWorksheetFolder(program, true, nowhere);
    EXPECT_EQ(noHome.folder, program);
    EXPECT_NE(noHome.problem.find(nowhere.string()), std::string::npos) << noHome.problem;
    EXPECT_NE(noHome.problem.find("program's folder"), std::string::npos) << noHome.problem;

    // Neither: the folder tried, and the problem; every save then says why it fails.
    const WorksheetFolder neither = chooseWorksheetFolder(folder / "plain", true, nowhere);
    EXPECT_EQ(neither.folder, nowhere);
    EXPECT_NE(neither.problem.find(nowhere.string()), std::string::npos);
    // A relative per-user folder (HOME empty) is never used.
    EXPECT_EQ(chooseWorksheetFolder(program, true, ".local/share/SBK3").folder, program);
}

// Save dialogs propose Documents, or the home folder where there is none: never the folder the
// program was started in.
TEST(ApplicationTest, PdfsAreProposedInDocumentsOrElseTheHomeFolder) {
    test::TempFolder home;
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.path().c_str(), 1);
    EXPECT_EQ(documentsFolder(), home.path());
    std::filesystem::create_directory(home / "Documents");
    EXPECT_EQ(documentsFolder(), home / "Documents");
    ::setenv("HOME", oldHome.c_str(), 1);
}

} // namespace
} // namespace sbk3
