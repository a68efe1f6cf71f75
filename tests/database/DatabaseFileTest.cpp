// CDatabaseFile, the file seam: open modes, text line ends, lines, sizes,
// positioned transfers and cuts, the same in both builds.
#include <gtest/gtest.h>

#include "database/CDatabaseFile.h"
#include "tests/database/DatabaseTesting.h"

namespace {

class DatabaseFileTest : public DatabaseTest {
protected:
    std::string Path() const { return dir.File("file.bin"); }
    CDatabaseFile file;
};

TEST_F(DatabaseFileTest, OpenModes) {
    EXPECT_EQ(file.Open(Path().c_str(), CDatabaseFile::kReadWrite), 0) << "missing file";
    EXPECT_FALSE(Exists(Path()));
    WriteBytes(Path(), "content");
    ASSERT_EQ(file.Open(Path().c_str(), CDatabaseFile::kReadWrite), 1);
    EXPECT_EQ(file.GetSize(), 7);
    ASSERT_EQ(file.Open(Path().c_str(), CDatabaseFile::kCreate), 1) << "reopening closes first";
    EXPECT_EQ(file.GetSize(), 0) << "creation empties";
    EXPECT_TRUE(file.WriteAt(0, "abc", 3));
    file.Close();
    EXPECT_EQ(ReadBytes(Path()), "abc");

    ASSERT_EQ(file.Open(Path().c_str(), CDatabaseFile::kReadOnly), 1);
    EXPECT_EQ(file.Write("x", 1), 0u);
    EXPECT_FALSE(file.WriteAt(0, "x", 1));
    char two[2];
    EXPECT_TRUE(file.ReadAt(1, two, 2));
    EXPECT_EQ(std::string(two, 2), "bc");
    EXPECT_FALSE(file.ReadAt(2, two, 2)) << "past the end";
    file.Close();
    EXPECT_EQ(ReadBytes(Path()), "abc");
    EXPECT_EQ(file.Open(dir.File("no/such/dir").c_str(), CDatabaseFile::kCreate), 0);
    EXPECT_EQ(file.GetSize(), -1) << "a failed open leaves the file closed";
    EXPECT_EQ(file.ReadLine(two, 2), 0);
}

TEST_F(DatabaseFileTest, WriteTextPutsACarriageReturnBeforeEveryLineFeed) {
    ASSERT_EQ(file.Open(Path().c_str(), CDatabaseFile::kCreate), 1);
    EXPECT_EQ(file.WriteText("a\nb\r\n"), 1);
    std::string lines;
    for (int i = 0; i < 700; ++i) lines += "\n";
    EXPECT_EQ(file.WriteText(lines.c_str()), 1) << "longer than the scratch buffer once converted";
    file.Close();
    std::string expected = "a\r\nb\r\r\n";
    for (int i = 0; i < 700; ++i) expected += "\r\n";
    EXPECT_EQ(ReadBytes(Path()), expected);
}

TEST_F(DatabaseFileTest, ReadLineDeliversCrLfAsOneLineFeed) {
    std::string longLine(2000, 'z');
    WriteBytes(Path(), "one\r\ntwo\nthree\rx\r\n" + longLine + "\r\nlast\r");
    ASSERT_EQ(file.Open(Path().c_str(), CDatabaseFile::kReadOnly), 1);
    char line[1100];
    std::vector<std::string> lines;
    while (file.ReadLine(line, sizeof line)) lines.push_back(line);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"one\n", "two\n", "three\rx\n", std::string(1099, 'z'),
                                        std::string(901, 'z') + "\n", "last\r"}));
}

TEST_F(DatabaseFileTest, SizesSeeksAndCuts) {
    ASSERT_EQ(file.Open(Path().c_str(), CDatabaseFile::kCreate), 1);
    EXPECT_TRUE(file.WriteAt(0, "0123456789", 10));
    EXPECT_EQ(file.SeekEnd(), 10);
    EXPECT_EQ(file.Seek(4), 4);
    char four[4];
    EXPECT_EQ(file.Read(four, 4), 4u);
    EXPECT_EQ(std::string(four, 4), "4567");
    EXPECT_EQ(file.GetSize(), 10);
    EXPECT_EQ(file.Read(four, 4), 2u) << "GetSize puts the position back";
    EXPECT_EQ(file.SeekStart(), 0);
    EXPECT_TRUE(file.Truncate(6));
    EXPECT_EQ(file.GetSize(), 6);
    EXPECT_TRUE(file.Truncate(8));
    file.Close();
    EXPECT_EQ(ReadBytes(Path()), std::string("012345\0\0", 8));

    ASSERT_EQ(file.Open(Path().c_str(), CDatabaseFile::kReadWrite), 1);
    EXPECT_FALSE(file.WriteAt(0x7FFFFFFF, "x", 1)) << "past the 32-bit signed offsets";
    EXPECT_FALSE(file.ReadAt(0x7FFFFFF0, four, 0x20));
}

}  // namespace
