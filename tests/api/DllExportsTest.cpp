// The built WIN95.dll as a caller loads it: every export found by name and
// by ordinal at the same address, and a dialer made and freed through it.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/TestFiles.h"

namespace {

class LoadedDll : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA((ProgramDirectory() + "WIN95.dll").c_str());
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
    }
    void TearDown() override { FreeLibrary(module); }
    HMODULE module = nullptr;
};

TEST_F(LoadedDll, EveryExportHasItsOrdinal) {
    std::ifstream expected(WIN95_EXPORTS_EXPECTED);
    ASSERT_TRUE(expected.good()) << WIN95_EXPORTS_EXPECTED;
    std::string line;
    int checked = 0;
    while (std::getline(expected, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        unsigned ordinal = 0;
        std::string name;
        fields >> ordinal >> name;
        FARPROC byName = GetProcAddress(module, name.c_str());
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
        EXPECT_NE(byName, nullptr) << name;
        EXPECT_EQ(byName, byOrdinal) << name << " @" << ordinal;
        ++checked;
    }
    EXPECT_EQ(checked, 108);
}

TEST_F(LoadedDll, DialerRoundTripThroughOrdinals) {
    typedef DWORD(WINAPI * GetObjectHandleFn)(DWORD, DWORD*);
    typedef DWORD(WINAPI * FreeObjectFn)(DWORD);
    typedef DWORD(WINAPI * GetObjectInfoFn)(DWORD, ObjectInfo*);
    auto getHandle = reinterpret_cast<GetObjectHandleFn>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(1))));
    auto freeObject = reinterpret_cast<FreeObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(2))));
    auto getInfo = reinterpret_cast<GetObjectInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(5))));
    DWORD handle = 0;
    ASSERT_EQ(getHandle(WIN95_DIALER_CLASS_ID, &handle), 0u);
    EXPECT_EQ(handle, 1u);
    ObjectInfo info = {};
    ASSERT_EQ(getInfo(handle, &info), 0u);
    EXPECT_STREQ(info.name, "Win95 Dialer");
    EXPECT_EQ(freeObject(handle), 0u);
    EXPECT_EQ(freeObject(handle), 1u);
}

}  // namespace
