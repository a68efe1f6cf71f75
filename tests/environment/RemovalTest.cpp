// Removing files and directory trees: what goes, what stays, and the log
// lines that say why.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/LogRecorder.h"
#include "tests/support/LogSetup.h"
#include "tests/support/TestFiles.h"

namespace {

class RemovalTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProduceAllGlobalLogs(); }
    void SetUp() override { recorder.Take(); }

    DWORD Remove(const std::string& path, bool isFile = false) {
        RemovalRecord record;
        std::memset(&record, 0, sizeof record);
        record.isFile = isFile ? 1 : 0;
        std::strncpy(record.path, path.c_str(), sizeof record.path - 1);
        return GenericApi(1, &record);
    }

    bool Logged(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), "256|" + line + "\n") != lines.end();
    }

    TempDir temp;
    LogRecorder recorder;
};

TEST_F(RemovalTest, ANestedTreeGoesWhole) {
    std::string root = temp.File("tree");
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\sub").c_str(), nullptr);
    CreateDirectoryA((root + "\\sub\\deeper").c_str(), nullptr);
    WriteFileBytes(root + "\\a.txt", "a");
    WriteFileBytes(root + "\\sub\\b.txt", "b");
    WriteFileBytes(root + "\\sub\\deeper\\c.txt", "c");
    EXPECT_EQ(Remove(root), 0u);
    EXPECT_FALSE(FileExists(root));

    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    EXPECT_EQ(lines.front(), "256|RemoveLongFilename: entered " + root + "\n");
    EXPECT_TRUE(Logged(lines, "RemoveLongFilename: found a directory " + root + "\\."));
    EXPECT_TRUE(Logged(lines, "RemoveLongFilename: found a directory " + root + "\\.."));
    EXPECT_TRUE(Logged(lines, "RemoveLongFilename: found a file " + root + "\\a.txt"));
    EXPECT_TRUE(Logged(lines, "RemoveLongFilename: found a directory " + root + "\\sub"));
    EXPECT_TRUE(Logged(lines, "RemoveLongFilename: entered " + root + "\\sub\\deeper"));
    EXPECT_TRUE(Logged(lines, "RemoveLongFilename: found a file " + root + "\\sub\\deeper\\c.txt"));
}

TEST_F(RemovalTest, ALockedFileStopsItsDirectory) {
    std::string root = temp.File("locked");
    CreateDirectoryA(root.c_str(), nullptr);
    std::string locked = root + "\\locked.txt";
    WriteFileBytes(locked, "x");
    HANDLE open = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Remove(root), 8u);
    CloseHandle(open);
    EXPECT_TRUE(FileExists(locked));
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    EXPECT_TRUE(Logged(
        lines, "RemoveLongFilename: attempt to remove " + locked + " returned -1, errno = 13"));
    EXPECT_EQ(lines.back(),
              "256|RemoveLongFilename: attempt to remove " + root + " returned -1, errno = 41\n");
}

TEST_F(RemovalTest, AMissingDirectoryFailsAtOnce) {
    std::string missing = temp.File("missing");
    EXPECT_EQ(Remove(missing), 8u);
    EXPECT_EQ(recorder.TakeLines("Win95Dialer"),
              (std::vector<std::string>{"256|RemoveLongFilename: entered " + missing + "\n",
                                        "256|RemoveLongFilename: attempt to remove " + missing +
                                            " returned -1, errno = 2\n"}));
}

TEST_F(RemovalTest, FilesAreRemovedAlone) {
    std::string file = temp.File("single.txt");
    WriteFileBytes(file, "x");
    EXPECT_EQ(Remove(file, true), 0u);
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(Remove(file, true), 8u);
}

TEST_F(RemovalTest, EntriesWhosePathWouldNotFitTheRecordAreRefused) {
    std::string root = temp.File("") + std::string(230 - temp.Path().size(), 'r');
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    std::string name(40, 'n');
    // Past MAX_PATH: only the wide functions take such a path.
    std::string longPath = "\\\\?\\" + root + "\\" + name;
    std::wstring wide(longPath.begin(), longPath.end());
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(file);
    EXPECT_EQ(Remove(root), 8u);
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    EXPECT_TRUE(
        Logged(lines, "RemoveLongFilename: path too long to remove: " + root + "\\" + name));
    EXPECT_TRUE(DeleteFileW(wide.c_str()));
    EXPECT_EQ(Remove(root), 0u);
}

// Paths that do not name something below a root of an absolute path are
// refused before anything is touched: files planted where each of them
// leads stay.
TEST_F(RemovalTest, PathsThatAreNotAbsoluteAndBelowARootAreRefused) {
    std::string tree = temp.File("tree");
    CreateDirectoryA(tree.c_str(), nullptr);
    CreateDirectoryA((tree + "\\sub").c_str(), nullptr);
    WriteFileBytes(tree + "\\keep.txt", "k");
    WriteFileBytes(tree + "\\sub\\keep.txt", "k");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(tree.c_str()));
    const std::string drive = tree.substr(0, 2);
    const std::string refused[] = {"",
                                   ".",
                                   "sub",
                                   ".\\sub",
                                   "\\",
                                   drive,
                                   drive + "\\",
                                   drive + "/",
                                   drive + "sub",
                                   tree.substr(2),
                                   tree + "\\sub\\..",
                                   tree + "\\sub\\..\\sub",
                                   tree + "/sub/..",
                                   tree + "\\.",
                                   tree + "\\sub\\...",
                                   drive + "\\.",
                                   drive + "\\.."};
    for (const std::string& path : refused) {
        for (bool isFile : {false, true}) {
            SCOPED_TRACE(path + (isFile ? " (file)" : " (directory)"));
            EXPECT_EQ(Remove(path, isFile), 8u);
            EXPECT_EQ(recorder.TakeLines("Win95Dialer"),
                      (std::vector<std::string>{"256|RemoveLongFilename: entered " + path + "\n",
                                                "1|RemoveLongFilename: refused " + path +
                                                    ": not an absolute path below a root\n"}));
        }
    }
    SetCurrentDirectoryA(previous);
    EXPECT_TRUE(FileExists(tree + "\\keep.txt"));
    EXPECT_TRUE(FileExists(tree + "\\sub\\keep.txt"));
    EXPECT_EQ(Remove(tree + "\\sub\\"), 0u) << "a trailing separator is fine";
    EXPECT_FALSE(FileExists(tree + "\\sub"));
}

// Run by check_links.sh, which makes on the host: a tree with a file and a
// symbolic link to a directory outside it, that directory with a file, and
// a second link to it. Wine shows a host link to a directory as a directory
// with FILE_ATTRIBUTE_REPARSE_POINT. A link is removed as a link, never
// listed. Wine itself cannot remove a host link as a link (its directory
// removal acts on the target, and fails while that holds files), so here
// the removal stops at the link, and the files outside stay.
TEST_F(RemovalTest, DirectoryLinksAreNeverFollowed) {
    char tree[MAX_PATH] = "", outside[MAX_PATH] = "", link[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("WIN95_LINK_TREE", tree, sizeof tree) ||
        !GetEnvironmentVariableA("WIN95_LINK_OUTSIDE", outside, sizeof outside) ||
        !GetEnvironmentVariableA("WIN95_LINK_TOP", link, sizeof link))
        GTEST_SKIP() << "run by check_links.sh";
    const std::string inner = std::string(tree) + "\\link";
    const DWORD kLink = FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY;
    ASSERT_EQ(GetFileAttributesA(inner.c_str()) & kLink, kLink);

    EXPECT_EQ(Remove(link), 8u);
    EXPECT_EQ(
        recorder.TakeLines("Win95Dialer"),
        (std::vector<std::string>{"256|RemoveLongFilename: entered " + std::string(link) + "\n",
                                  "256|RemoveLongFilename: attempt to remove " + std::string(link) +
                                      " returned -1, errno = 41\n"}));
    EXPECT_EQ(Remove(tree), 8u);
    std::vector<std::string> lines = recorder.TakeLines("Win95Dialer");
    EXPECT_TRUE(Logged(lines, "RemoveLongFilename: found a directory " + inner));
    EXPECT_TRUE(Logged(
        lines, "RemoveLongFilename: attempt to remove " + inner + " returned -1, errno = 41"));
    for (const std::string& line : lines)
        EXPECT_EQ(line.find(inner + "\\"), std::string::npos)
            << "listed through the link: " << line;
    EXPECT_TRUE(FileExists(std::string(outside) + "\\keep.txt"));
    EXPECT_TRUE(FileExists(std::string(outside) + "\\sub\\deep.txt"));
}

TEST_F(RemovalTest, GenericApiAnswersSixOutsideItsRequests) {
    std::string kept = temp.File("kept.txt");
    WriteFileBytes(kept, "x");
    RemovalRecord record = {};
    record.isFile = 1;
    std::strcpy(record.path, kept.c_str());
    EXPECT_EQ(GenericApi(0, &record), 6u);
    EXPECT_EQ(GenericApi(7, &record), 6u);
    EXPECT_EQ(GenericApi(0xFFFFFFFF, nullptr), 6u);
    EXPECT_TRUE(FileExists(kept));
    EXPECT_EQ(GenericApi(1, nullptr), 8u) << "a null record is refused";
}

TEST_F(RemovalTest, TheDllProbeTellsWhetherAFileIsInUse) {
    std::string file = temp.File("probe.dll");
    WriteFileBytes(file, "MZ");
    DllProbeRecord probe = {};
    std::strcpy(probe.path, file.c_str());
    probe.openedExclusively = 7;
    EXPECT_EQ(GenericApi(4, &probe), 0u);
    EXPECT_EQ(probe.openedExclusively, 1u);

    HANDLE open = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    recorder.Take();
    EXPECT_EQ(GenericApi(4, &probe), 0u);
    EXPECT_EQ(probe.openedExclusively, 0u);
    CloseHandle(open);
    EXPECT_EQ(
        recorder.TakeLines("Win95Dialer"),
        std::vector<std::string>{"1|Is32BitDllLoaded: Cannot open " + file + "Last error: 32\n"});

    std::memset(probe.path, 'p', sizeof probe.path);  // no terminator in the field
    EXPECT_EQ(GenericApi(4, &probe), 0u);
    EXPECT_EQ(probe.openedExclusively, 0u);
    EXPECT_EQ(recorder.TakeLines("Win95Dialer"),
              std::vector<std::string>{"1|Is32BitDllLoaded: Cannot open " + std::string(64, 'p') +
                                       "Last error: 2\n"});
}

}  // namespace
