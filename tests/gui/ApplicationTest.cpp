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

} // namespace
} // namespace sbk3
