// FieldTable: descriptors as the stores build them and as files hold them.
#include <gtest/gtest.h>

#include <cstring>

#include "database/FieldTable.h"

namespace {

TEST(FieldTableTest, AddFieldCutsNameAndComment) {
    FieldTable table;
    ASSERT_EQ(table.Init(100, 9), 1);
    std::string name(40, 'n'), comment(70, 'c');
    EXPECT_EQ(table.AddField(name.c_str(), comment.c_str(), kFieldText, 20, 4), 0);
    EXPECT_EQ(table.AddField(nullptr, nullptr, kFieldLong, 1, 0), 1);
    const FieldDescriptor& first = *table.Descriptor(0);
    EXPECT_EQ(std::string(first.name), std::string(32, 'n'));
    EXPECT_EQ(std::string(first.comment), std::string(64, 'c'));
    EXPECT_EQ(first.flags, 0u);
    EXPECT_EQ(first.index, 0u);
    EXPECT_EQ(std::string(table.Descriptor(1)->name), "");
    EXPECT_EQ(table.Count(), 2u);
    EXPECT_EQ(table.RecordSize(), 100u);
    EXPECT_EQ(table.RecordVersion(), 9u);
    EXPECT_EQ(table.PrivateSize(), 0u);
}

TEST(FieldTableTest, GrowsPastItsFirstRoomAndFindsTheFirstOfAName) {
    FieldTable table;
    EXPECT_EQ(table.AddField("early", "", kFieldBytes, 1, 0), -1) << "no buffer before Init";
    table.Init(64, 1);
    for (int i = 0; i < 30; ++i) {
        std::string name = "f" + std::to_string(i);
        ASSERT_EQ(table.AddField(name.c_str(), "", kFieldBytes, 1, static_cast<uint32_t>(i)), i);
    }
    table.AddField("f3", "", kFieldLong, 1, 40);
    EXPECT_EQ(table.FindField("f29"), 29);
    EXPECT_EQ(table.GetFieldOffset(29), 29);
    EXPECT_EQ(table.FindField("f3"), 3) << "the first descriptor of a name wins";
    EXPECT_EQ(table.FindField("F3"), -1) << "names are case-sensitive";
    EXPECT_EQ(table.FindField("f"), -1);
    EXPECT_EQ(table.FindField(nullptr), -1);

    // A name that fills all 33 bytes of a file's descriptor is still a name.
    FieldDescriptor full{};
    std::memset(full.name, 'x', sizeof full.name);
    ASSERT_EQ(table.AddDescriptor(full), 31);
    EXPECT_EQ(table.FindField(std::string(33, 'x').c_str()), 31);
    EXPECT_EQ(table.FindField(std::string(32, 'x').c_str()), -1);
}

TEST(FieldTableTest, SizesFollowTheType) {
    FieldTable table;
    table.Init(1000, 1);
    const uint32_t types[] = {1, 2, 3, 4, 5, 6, 0};
    const int64_t sizes[] = {7, 7, 14, 28, 56, 0, 0};
    for (uint32_t type : types) table.AddField("t", "", type, 7, 0);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(table.GetFieldSize(i), sizes[i]) << "type " << types[i];
        EXPECT_EQ(table.GetFieldType(i), types[i]);
        EXPECT_EQ(table.GetFieldLength(i), 7);
    }
    EXPECT_EQ(table.GetFieldSize(7), -1);
    EXPECT_EQ(table.GetFieldType(-1), -1);
    EXPECT_EQ(table.GetFieldLength(7), -1);
    EXPECT_EQ(table.GetFieldOffset(100), -1);
    table.AddField("huge", "", kFieldLong, 0x40000000, 0);
    EXPECT_EQ(table.GetFieldSize(7), int64_t{1} << 32) << "no 32-bit wrap";
}

TEST(FieldTableTest, AssignmentSharesTheDescriptors) {
    FieldTable a;
    a.Init(16, 2);
    a.AddField("one", "", kFieldLong, 1, 0);
    FieldTable b;
    b = a;
    EXPECT_EQ(b.Count(), 1u);
    EXPECT_EQ(b.RecordSize(), 16u);
    a.Descriptor(0)->flags = 7;
    EXPECT_EQ(b.Descriptor(0)->flags, 7u) << "one buffer";
    a.AddField("two", "", kFieldLong, 1, 4);
    EXPECT_EQ(b.Count(), 1u) << "the counts are each table's own";
    EXPECT_EQ(b.FindField("two"), -1);
}

TEST(FieldTableTest, FieldsMustFitTheRecord) {
    FieldTable table;
    table.Init(16, 1);
    table.AddField("a", "", kFieldLong, 3, 4);
    EXPECT_TRUE(table.FieldsFitRecord());
    table.AddField("b", "", kFieldShort, 1, 15);
    EXPECT_FALSE(table.FieldsFitRecord());
    FieldTable empty;
    empty.Init(0, 1);
    EXPECT_FALSE(empty.FieldsFitRecord()) << "records of no bytes";
    empty.Init(16u << 20, 1);
    EXPECT_TRUE(empty.FieldsFitRecord());
    empty.Init((16u << 20) + 1, 1);
    EXPECT_FALSE(empty.FieldsFitRecord());
}

}  // namespace
