#include "store/Trash.h"

#include "support/FileSizeLimit.h"
#include "support/Platform.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sbk3 {
namespace {

// A home of the test's own, so the trash is made and read there.
class TrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("HOME"))
            m_oldHome = old;
        ::setenv("HOME", home.path().c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        test::writeBytes(folder / "ADD001001", "sheet");
    }
    void TearDown() override { ::setenv("HOME", m_oldHome.c_str(), 1); }

    std::filesystem::path trash() const { return home / ".local/share/Trash"; }

    // The move, given a few seconds: a trash that cannot take the file must never hang it.
    std::optional<std::string> trashInTime(const std::filesystem::path& file) {
        auto moved = std::async(std::launch::async, [file] { return moveToTrash(file); });
        if (moved.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
            std::abort(); // hung: nothing else would end it
        return moved.get();
    }

    test::TempFolder home;
    test::TempFolder folder;

private:
    std::string m_oldHome;
};

TEST_F(TrashTest, TheRecordPutsTheFileBackExactlyWhateverTheBytesOfItsName) {
    // A Latin-1 folder name, which is no UTF-8, and a second file of the same name.
    const std::filesystem::path latin = folder / "Cl\xE9ment 3";
    std::filesystem::create_directory(latin);
    test::writeBytes(latin / "ADD001001", "first");
    ASSERT_EQ(trashInTime(latin / "ADD001001"), std::nullopt);
    test::writeBytes(latin / "ADD001001", "second");
    ASSERT_EQ(trashInTime(latin / "ADD001001"), std::nullopt);

    EXPECT_FALSE(std::filesystem::exists(latin / "ADD001001"));
    // A new account's data folder is made for this user alone.
    for (const char* made : {".local", ".local/share", ".local/share/Trash"})
        EXPECT_EQ(std::filesystem::status(home / made).permissions() &
                      std::filesystem::perms::group_all,
                  std::filesystem::perms::none)
            << made;
    EXPECT_EQ(test::readBytes(trash() / "files/ADD001001"), "first");
    EXPECT_EQ(test::readBytes(trash() / "files/ADD001001.2"), "second");
    const std::string record = test::readBytes(trash() / "info/ADD001001.2.trashinfo");
    const std::string path = trashInfoPath(latin.string() + "/ADD001001");
    EXPECT_NE(path.find("Cl%E9ment%203/ADD001001"), std::string::npos) << path;
    EXPECT_EQ(record.rfind("[Trash Info]\nPath=" + path + "\nDeletionDate=", 0), 0u) << record;
    EXPECT_EQ(trashInfoPath("/a-b_c.d~/\x01%"), "/a-b_c.d~/%01%25");
}

// Nothing is moved without its whole restore record, and nothing is left behind: a trash whose
// info is a plain file, a full disk, or a record that cannot be made.
TEST_F(TrashTest, WithoutAWholeRecordTheFileStaysAndTheReasonIsGiven) {
    std::filesystem::create_directories(trash() / "files");
    test::writeBytes(trash() / "info", "a plain file");
    std::optional<std::string> why = trashInTime(folder / "ADD001001");
    ASSERT_TRUE(why);
    EXPECT_NE(why->find("is not a folder"), std::string::npos) << *why;
    EXPECT_EQ(test::readBytes(folder / "ADD001001"), "sheet");
    EXPECT_TRUE(std::filesystem::is_empty(trash() / "files"));

    std::filesystem::remove(trash() / "info");
    {
        const test::FileSizeLimit full(10); // the record is longer than that
        why = trashInTime(folder / "ADD001001");
    }
    ASSERT_TRUE(why);
    EXPECT_EQ(*why, "Disk full");
    EXPECT_EQ(test::readBytes(folder / "ADD001001"), "sheet");
    EXPECT_TRUE(std::filesystem::is_empty(trash() / "files"));
    EXPECT_TRUE(std::filesystem::is_empty(trash() / "info")); // no record of nothing

    EXPECT_EQ(trashInTime(folder / "gone"), "File not found");
}

// An info folder the user may not write: root writes any, so the move is tried by another user.
TEST_F(TrashTest, AReadOnlyTrashKeepsTheFile) {
    std::filesystem::create_directories(trash() / "files");
    std::filesystem::create_directories(trash() / "info");
    for (const auto& made : std::filesystem::recursive_directory_iterator(home.path()))
        ::chown(made.path().c_str(), 61001, 61001);
    ::chown(home.path().c_str(), 61001, 61001);
    std::filesystem::permissions(trash() / "info", std::filesystem::perms(0555));
    ::chown(folder.path().c_str(), 61001, 61001);
    ::chown((folder / "ADD001001").c_str(), 61001, 61001);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(61001) != 0 || ::setuid(61001) != 0))
            ::_exit(99);
        const std::optional<std::string> why = moveToTrash(folder / "ADD001001");
        ::_exit(why && *why == "Permission denied" ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(test::readBytes(folder / "ADD001001"), "sheet");
    EXPECT_TRUE(std::filesystem::is_empty(trash() / "info"));
}

// A small tmpfs of its own, where the system lets this process mount one (root); the test is
// skipped elsewhere.
class Tmpfs {
public:
    Tmpfs(const std::filesystem::path& at, const char* options) : m_at(at) {
        std::filesystem::create_directories(at);
        m_mounted = ::mount("tmpfs", at.c_str(), "tmpfs", 0, options) == 0;
    }
    ~Tmpfs() {
        if (m_mounted)
            ::umount2(m_at.c_str(), MNT_DETACH);
    }
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;
    bool mounted() const { return m_mounted; }

private:
    std::filesystem::path m_at;
    bool m_mounted = false;
};

// A worksheet on another file system than the home folder goes to that file system's own trash,
// at its top, with a record relative to the top; where the administrator made a shared .Trash
// (sticky), into the user's folder in it. A file system with no inode left for the record keeps
// the worksheet, at once.
TEST_F(TrashTest, AnotherFileSystemHasItsOwnTrashAtItsTop) {
    const Tmpfs stick(folder / "stick", "size=1m,nr_inodes=64");
    if (!stick.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const std::filesystem::path top = folder / "stick";
    std::filesystem::create_directory(top / "class");
    test::writeBytes(top / "class/ADD001001", "on the stick");
    ASSERT_EQ(trashInTime(top / "class/ADD001001"), std::nullopt);
    const std::filesystem::path own = top / (".Trash-" + std::to_string(::getuid()));
    EXPECT_EQ(test::readBytes(own / "files/ADD001001"), "on the stick");
    EXPECT_NE(test::readBytes(own / "info/ADD001001.trashinfo").find("\nPath=class/ADD001001\n"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(trash()));

    std::filesystem::create_directory(top / ".Trash");
    std::filesystem::permissions(top / ".Trash", std::filesystem::perms(01777));
    test::writeBytes(top / "class/SUB001001", "shared");
    ASSERT_EQ(trashInTime(top / "class/SUB001001"), std::nullopt);
    EXPECT_EQ(test::readBytes(top / ".Trash" / std::to_string(::getuid()) / "files/SUB001001"),
              "shared");

    const Tmpfs full(folder / "full", "size=1m,nr_inodes=4");
    ASSERT_TRUE(full.mounted());
    test::writeBytes(folder / "full/MUL001001", "kept");
    const std::optional<std::string> why = trashInTime(folder / "full/MUL001001");
    ASSERT_TRUE(why);
    EXPECT_EQ(*why, "Disk full");
    EXPECT_EQ(test::readBytes(folder / "full/MUL001001"), "kept");
}

} // namespace
} // namespace sbk3
