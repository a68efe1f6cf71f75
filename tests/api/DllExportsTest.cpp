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

// VLoggable's exported constructor gives an object the exported table of
// virtual operations, laid out as Visual C++ expects: slot 0 the deleting
// destructor, slot 1 LogTo (pure here).
TEST_F(LoadedDll, VLoggableHasTheVisualCppTable) {
    typedef void*(__thiscall * Constructor)(void* self);
    typedef void*(__thiscall * DeletingDestructor)(void* self, unsigned flags);
    auto construct = reinterpret_cast<Constructor>(
        reinterpret_cast<void*>(GetProcAddress(module, "??0VLoggable@@QAE@XZ")));
    auto table = reinterpret_cast<void* const*>(
        reinterpret_cast<void*>(GetProcAddress(module, "??_7VLoggable@@6B@")));
    ASSERT_NE(construct, nullptr);
    ASSERT_NE(table, nullptr);
    void* object[1] = {nullptr};
    EXPECT_EQ(construct(object), object) << "a Visual C++ constructor returns this";
    EXPECT_EQ(object[0], table);
    EXPECT_NE(table[0], nullptr);
    EXPECT_NE(table[1], nullptr);
    auto destroy = reinterpret_cast<DeletingDestructor>(table[0]);
    EXPECT_EQ(destroy(object, 0), object) << "flags 0: destroy without freeing";
}

}  // namespace
