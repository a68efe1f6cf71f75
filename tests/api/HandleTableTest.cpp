// Handles, the factory and the generic exports: exact codes, the lowest free
// slot first, and unload destroying what is left.
#include <gtest/gtest.h>
#include <win95/Exports.h>

#include <cstring>

#include "api/ApiObject.h"
#include "api/Library.h"
#include "api/ObjectHandleTable.h"

namespace {

class CountingObject : public ApiObject {
public:
    CountingObject() : ApiObject(WIN95_APPLICATION_OBJECT, 0x7E570003, "Counting") {}
    ~CountingObject() override { ++s_destroyed; }
    static int s_destroyed;
};
int CountingObject::s_destroyed = 0;

class HandleTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        LibraryAttach(GetModuleHandleA(nullptr));
        CountingObject::s_destroyed = 0;
    }
    void TearDown() override {
        for (DWORD handle = 1; handle <= WIN95_MAX_OBJECTS; ++handle) FreeObject(handle);
    }
};

TEST_F(HandleTableTest, InvalidHandlesAnswerOneFromEveryFunction) {
    ObjectInfo info;
    DWORD out = 0;
    for (DWORD handle : {0ul, 5ul, 20ul, 0xFFFFFFFFul}) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(FreeObject(handle), 1u);
        EXPECT_EQ(Set(handle, 0, 0), 1u);
        EXPECT_EQ(Get(handle, 0, 0, 0), 1u);
        EXPECT_EQ(GetObjectInfo(handle, &info), 1u);
        EXPECT_EQ(Dial(handle, nullptr), 1u);
        EXPECT_EQ(HangUp(handle), 1u);
        EXPECT_EQ(GetStatus(handle, &out), 1u);
        EXPECT_EQ(ComponentsInstalled(handle, 0), 1u);
        EXPECT_EQ(LaunchApp(handle, 0), 1u);
        EXPECT_EQ(IsMailSupported(handle, &out), 1u);
        EXPECT_EQ(AddBookmark(handle, 0, 0), 1u);
        EXPECT_EQ(SaveData(handle, 0), 1u);
        EXPECT_EQ(LoadData(handle, 0), 1u);
    }
}

TEST_F(HandleTableTest, DialerInfoWritesTypeClassAndNameOnly) {
    DWORD handle = 0xDEAD;
    ASSERT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &handle), 0u);
    EXPECT_EQ(handle, 1u);

    ObjectInfo info;
    std::memset(&info, 0xCC, sizeof info);
    ASSERT_EQ(GetObjectInfo(handle, &info), 0u);
    EXPECT_EQ(info.type, 3u);
    EXPECT_EQ(info.classId, 104281164u);
    for (unsigned char byte : info.reserved) EXPECT_EQ(byte, 0xCC);
    EXPECT_STREQ(info.name, "Win95 Dialer");
    for (size_t i = std::strlen("Win95 Dialer"); i < 127; ++i) EXPECT_EQ(info.name[i], 0) << i;
    EXPECT_EQ(static_cast<unsigned char>(info.name[127]), 0xCC) << "the last byte is not written";
}

TEST_F(HandleTableTest, OnlyKeyZeroReachesTheObject) {
    DWORD handle = 0;
    ASSERT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &handle), 0u);
    EXPECT_EQ(Set(handle, 0, 42), 6u);
    EXPECT_EQ(Get(handle, 0, 1, 2), 6u);
    EXPECT_EQ(Set(handle, 1, 42), 5u);
    EXPECT_EQ(Get(handle, 0x80000000u, 1, 2), 5u);
}

TEST_F(HandleTableTest, UnknownClassesAndNullOutValuesCreateNothing) {
    DWORD handle = 0xDEAD;
    EXPECT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID + 1, &handle), 11u);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(GetObjectHandle(0, &handle), 11u);
    EXPECT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, nullptr), 11u);
    EXPECT_EQ(ObjectHandleTable::Lookup(1), nullptr);

    ASSERT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &handle), 0u);
    EXPECT_EQ(GetObjectInfo(handle, nullptr), 1u);
}

TEST_F(HandleTableTest, FullTableRefusesAndTheLowestFreeSlotComesBack) {
    for (int i = 0; i < WIN95_MAX_OBJECTS - 1; ++i)
        ASSERT_EQ(ObjectHandleTable::Insert(new CountingObject), static_cast<DWORD>(i + 1));
    DWORD handle = 0;
    ASSERT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &handle), 0u);
    EXPECT_EQ(handle, 19u);

    DWORD refused = 0xDEAD;
    EXPECT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &refused), 4u);
    EXPECT_EQ(refused, 0u);

    EXPECT_EQ(FreeObject(7), 0u);
    EXPECT_EQ(CountingObject::s_destroyed, 1);
    ASSERT_EQ(GetObjectHandle(WIN95_DIALER_CLASS_ID, &handle), 0u);
    EXPECT_EQ(handle, 7u);
}

TEST_F(HandleTableTest, FreeingTwiceAnswersOneTheSecondTime) {
    DWORD handle = ObjectHandleTable::Insert(new CountingObject);
    EXPECT_EQ(FreeObject(handle), 0u);
    EXPECT_EQ(FreeObject(handle), 1u);
    EXPECT_EQ(CountingObject::s_destroyed, 1);
}

TEST_F(HandleTableTest, UnloadDestroysEveryLiveObjectOnce) {
    DWORD first = ObjectHandleTable::Insert(new CountingObject);
    DWORD second = ObjectHandleTable::Insert(new CountingObject);
    DWORD third = ObjectHandleTable::Insert(new CountingObject);
    FreeObject(second);
    ASSERT_EQ(CountingObject::s_destroyed, 1);

    LibraryDetach(GetModuleHandleA(nullptr));
    EXPECT_EQ(CountingObject::s_destroyed, 3);
    // Unload leaves the slots as they were; clear them before the next test.
    EXPECT_NE(ObjectHandleTable::Lookup(first), nullptr);
    ObjectHandleTable::Clear(first);
    ObjectHandleTable::Clear(third);
    LibraryAttach(GetModuleHandleA(nullptr));
}

}  // namespace
