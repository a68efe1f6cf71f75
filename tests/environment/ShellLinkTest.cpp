// Shortcuts written through the shell's link object and read back, through
// the link interface and from the file's bytes.
#include <gtest/gtest.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <win95/Exports.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/TestFiles.h"

namespace {

struct LinkReadBack {
    std::string path, description, arguments, workingDirectory;
};

bool ReadLink(const std::string& file, LinkReadBack& out) {
    CoInitialize(nullptr);
    bool ok = false;
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
            char text[MAX_PATH];
            link->GetPath(text, sizeof text, nullptr, 0);
            out.path = text;
            link->GetDescription(text, sizeof text);
            out.description = text;
            link->GetArguments(text, sizeof text);
            out.arguments = text;
            link->GetWorkingDirectory(text, sizeof text);
            out.workingDirectory = text;
            ok = true;
        }
    }
    if (persist) persist->Release();
    if (link) link->Release();
    CoUninitialize();
    return ok;
}

// The icon index of a shortcut file: a 32-bit value at byte 56 of its header.
int32_t IconIndexOf(const std::string& bytes) {
    int32_t index = -1;
    if (bytes.size() >= 60) std::memcpy(&index, bytes.data() + 56, sizeof index);
    return index;
}

ShellLinkRecord Record(const std::string& target, const std::string& link) {
    ShellLinkRecord record;
    std::memset(&record, 0, sizeof record);
    std::strcpy(record.targetPath, target.c_str());
    std::strcpy(record.linkPath, link.c_str());
    std::strcpy(record.description, "Connect to Orvo VelTrane");
    record.iconIndex = 2;
    std::strcpy(record.arguments, "/S");
    std::strcpy(record.workingDirectory, "C:\\windows");
    return record;
}

TEST(ShellLinkTest, TheShortcutCarriesEveryField) {
    TempDir temp;
    std::string target = temp.File("Connect.exe");
    WriteFileBytes(target, "MZ");
    // WIN95_LNK_OUT keeps the shortcut where another checker can read it.
    char kept[MAX_PATH] = "";
    GetEnvironmentVariableA("WIN95_LNK_OUT", kept, sizeof kept);
    std::string link = kept[0] ? kept : temp.File("Connect.lnk");
    ShellLinkRecord record = Record(target, link);
    ASSERT_EQ(SetShellLink(&record), 0u);

    LinkReadBack back;
    ASSERT_TRUE(ReadLink(link, back));
    EXPECT_EQ(back.path, target);
    EXPECT_EQ(back.description, "Connect to Orvo VelTrane");
    EXPECT_EQ(back.arguments, "/S");
    EXPECT_EQ(back.workingDirectory, "C:\\windows");
    EXPECT_EQ(IconIndexOf(ReadFileBytes(link)), 2) << "the third icon of the target";
}

TEST(ShellLinkTest, FailuresAnswerEight) {
    TempDir temp;
    ShellLinkRecord record = Record(temp.File("x.exe"), temp.File("no\\such\\dir\\x.lnk"));
    EXPECT_EQ(SetShellLink(&record), 8u);
    EXPECT_EQ(SetShellLink(nullptr), 8u);
    std::memset(&record, 'a', sizeof record);  // no terminators anywhere
    record.iconIndex = 0;
    EXPECT_EQ(SetShellLink(&record), 8u);
}

}  // namespace
