// The byte buffer: sharing, deep copies, resizing and the position-and-count
// operations, with exact contents.
#include <gtest/gtest.h>
#include <win95/CBuffer.h>

#include <vector>

namespace {

std::vector<unsigned char> Bytes(const CBuffer& buffer) {
    const unsigned char* p = buffer.GetPointer(nullptr);
    return std::vector<unsigned char>(p, p + buffer.GetBufferSize());
}

CBuffer Filled(std::initializer_list<unsigned char> content) {
    CBuffer buffer;
    unsigned char* p = buffer.Create(content.size());
    for (unsigned char c : content) *p++ = c;
    return buffer;
}

using B = std::vector<unsigned char>;

TEST(CBufferLifetime, CreateGivesZeroBytesOfTheSize) {
    CBuffer buffer;
    unsigned char* p = buffer.Create(16);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(buffer.GetBufferSize(), 16u);
    EXPECT_EQ(Bytes(buffer), B(16, 0));

    unsigned char* empty = buffer.Create(0);
    EXPECT_NE(empty, nullptr) << "a block of size 0 still has a bytes pointer";
    EXPECT_EQ(buffer.GetBufferSize(), 0u);
}

TEST(CBufferLifetime, CopiesShareUntilCopyMakesThePrivateBlock) {
    CBuffer a = Filled({1, 2, 3});
    CBuffer b(a);
    CBuffer c;
    c = b;
    EXPECT_EQ(a.GetPointer(nullptr), b.GetPointer(nullptr));
    EXPECT_EQ(a.GetPointer(nullptr), c.GetPointer(nullptr));

    ASSERT_EQ(b.Copy(), 1);
    EXPECT_NE(a.GetPointer(nullptr), b.GetPointer(nullptr));
    EXPECT_EQ(Bytes(b), B({1, 2, 3}));
    b.GetPointer(nullptr)[0] = 9;
    EXPECT_EQ(Bytes(a), B({1, 2, 3})) << "a private change must not reach the sharers";
    EXPECT_EQ(Bytes(c), B({1, 2, 3}));
}

TEST(CBufferLifetime, CopyOnSoleOwnerKeepsTheSameBytes) {
    CBuffer a = Filled({4, 5});
    unsigned char* before = a.GetPointer(nullptr);
    EXPECT_EQ(a.Copy(), 1);
    EXPECT_EQ(a.GetPointer(nullptr), before);
}

TEST(CBufferLifetime, SelfAssignmentAndSelfCopyKeepTheContent) {
    CBuffer a = Filled({7, 8, 9});
    CBuffer& alias = a;
    a = alias;
    EXPECT_EQ(Bytes(a), B({7, 8, 9}));
    EXPECT_EQ(a.Copy(alias), 1);
    EXPECT_EQ(Bytes(a), B({7, 8, 9}));
}

TEST(CBufferLifetime, DeepCopyFromAnotherBuffer) {
    CBuffer a = Filled({1, 2, 3, 4});
    CBuffer b = Filled({9});
    ASSERT_EQ(b.Copy(a), 1);
    EXPECT_EQ(Bytes(b), B({1, 2, 3, 4}));
    EXPECT_NE(a.GetPointer(nullptr), b.GetPointer(nullptr));

    CBuffer empty;
    EXPECT_EQ(b.Copy(empty), 1);
    EXPECT_EQ(b.GetPointer(nullptr), nullptr) << "a copy of an empty buffer is empty";
}

TEST(CBufferLifetime, ResizeKeepsThePrefixAndZeroFillsTheRest) {
    CBuffer a = Filled({1, 2, 3, 4});
    CBuffer sharer(a);
    ASSERT_EQ(a.Resize(8), 1);
    EXPECT_EQ(Bytes(a), B({1, 2, 3, 4, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(sharer), Bytes(a)) << "Resize changes the shared block in place";
    ASSERT_EQ(a.Resize(2), 1);
    EXPECT_EQ(Bytes(a), B({1, 2}));
}

TEST(CBufferLifetime, DestroyLeavesASharedBlockWithoutBytes) {
    CBuffer a = Filled({1, 2});
    CBuffer sharer(a);
    a.Destroy();
    EXPECT_EQ(a.GetBufferSize(), 0u);
    EXPECT_EQ(sharer.GetBufferSize(), 0u);
    EXPECT_EQ(sharer.GetPointer(nullptr), nullptr);
    EXPECT_EQ(a.Resize(3), 1) << "the block is still held and can grow again";
    EXPECT_EQ(Bytes(sharer), B({0, 0, 0}));
}

TEST(CBufferPositions, RemoveBytesShiftsAndFills) {
    CBuffer a = Filled({1, 2, 3, 4, 5, 6});
    ASSERT_EQ(a.RemoveBytes(a.GetPosition(2), 2, 0), 1);
    EXPECT_EQ(Bytes(a), B({1, 2, 5, 6, 0, 0}));

    CBuffer b = Filled({1, 2, 3, 4, 5, 6});
    ASSERT_EQ(b.RemoveBytes(b.GetPosition(4), 5, 0xEE), 1) << "count cut to the end";
    EXPECT_EQ(Bytes(b), B({1, 2, 3, 4, 0xEE, 0xEE}));
}

TEST(CBufferPositions, InsertBytesShiftsTheRestAndLosesTheOverflow) {
    CBuffer a = Filled({1, 2, 3, 4, 5, 6});
    const unsigned char source[] = {8, 9};
    ASSERT_EQ(a.InsertBytes(a.GetPosition(1), source, 2), 1);
    EXPECT_EQ(Bytes(a), B({1, 8, 9, 2, 3, 4}));

    ASSERT_EQ(a.InsertBytes(a.GetPosition(5), source, 2), 1) << "count cut to the end";
    EXPECT_EQ(Bytes(a), B({1, 8, 9, 2, 3, 8}));

    // A source inside the block is read before the shift moves it.
    CBuffer b = Filled({1, 2, 3, 4});
    ASSERT_EQ(b.InsertBytes(b.GetPosition(0), b.GetPosition(2), 2), 1);
    EXPECT_EQ(Bytes(b), B({3, 4, 1, 2}));
}

TEST(CBufferPositions, CopyBytesAllowsOverlap) {
    CBuffer a = Filled({1, 2, 3, 4, 5});
    ASSERT_EQ(a.CopyBytes(a.GetPosition(1), a.GetPosition(0), 4), 1);
    EXPECT_EQ(Bytes(a), B({1, 1, 2, 3, 4}));
}

TEST(CBufferPositions, PositionsOutsideTheBlockChangeNothing) {
    CBuffer a = Filled({1, 2, 3});
    unsigned char* end = a.GetPosition(3);
    unsigned char other[4] = {};
    const unsigned char source[] = {9};
    EXPECT_EQ(a.RemoveBytes(other, 1, 0), 0);
    EXPECT_EQ(a.InsertBytes(other, source, 1), 0);
    EXPECT_EQ(a.CopyBytes(other, source, 1), 0);
    EXPECT_EQ(a.CopyBytes(end, source, 1), 1) << "the end is inside, with no room";
    EXPECT_EQ(Bytes(a), B({1, 2, 3}));
}

TEST(CBufferPositions, GetPositionAndGetIndexCoverTheEnd) {
    CBuffer a = Filled({1, 2, 3, 4});
    unsigned char* begin = a.GetPointer(nullptr);
    EXPECT_EQ(a.GetPosition(4), begin + 4);
    EXPECT_EQ(a.GetPosition(5), nullptr);
    EXPECT_EQ(a.GetIndex(begin + 4), 4u);
    EXPECT_EQ(a.GetIndex(begin + 2), 2u);
    unsigned char outside = 0;
    EXPECT_EQ(a.GetIndex(&outside), 0xFFFFFFFFUL);
}

TEST(CBufferPositions, FindBytesNeverTriesTheLastPosition) {
    CBuffer a = Filled({1, 2, 3, 4});
    const unsigned char head[] = {1, 2};
    const unsigned char middle[] = {2, 3};
    const unsigned char tail[] = {3, 4};
    EXPECT_EQ(a.FindBytes(nullptr, head, 2), a.GetPosition(0));
    EXPECT_EQ(a.FindBytes(nullptr, middle, 2), a.GetPosition(1));
    EXPECT_EQ(a.FindBytes(nullptr, tail, 2), nullptr) << "the pattern ending at the end";
    EXPECT_EQ(a.FindBytes(a.GetPosition(1), head, 2), nullptr);
    const unsigned char longer[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(a.FindBytes(nullptr, longer, 5), nullptr);
    EXPECT_EQ(a.FindBytes(nullptr, head, 0), nullptr);
}

TEST(CBufferEmpty, EveryOperationAnswersEmpty) {
    CBuffer e;
    unsigned char byte = 0;
    EXPECT_EQ(e.GetBufferSize(), 0u);
    EXPECT_EQ(e.GetPointer(nullptr), nullptr);
    EXPECT_EQ(e.GetPointer(&byte), nullptr);
    EXPECT_EQ(static_cast<const CBuffer&>(e).GetPointer(nullptr), nullptr);
    EXPECT_EQ(e.GetPosition(0), nullptr);
    EXPECT_EQ(e.GetIndex(&byte), 0xFFFFFFFFUL);
    EXPECT_EQ(e.Resize(4), 0);
    EXPECT_EQ(e.InsertBytes(&byte, &byte, 1), 0);
    EXPECT_EQ(e.RemoveBytes(&byte, 1, 0), 0);
    EXPECT_EQ(e.CopyBytes(&byte, &byte, 1), 0);
    EXPECT_EQ(e.FindBytes(nullptr, &byte, 1), nullptr);
    EXPECT_EQ(e.Copy(), 1);
    e.Destroy();
    CBuffer copy(e);
    EXPECT_EQ(copy.GetPointer(nullptr), nullptr);
}

TEST(CBufferMemory, ImpossibleSizesFailAndLeaveTheBufferEmpty) {
    CBuffer a = Filled({1});
    EXPECT_EQ(a.Create(static_cast<unsigned long>(-1)), nullptr);
    EXPECT_EQ(a.GetPointer(nullptr), nullptr);
    CBuffer b = Filled({1, 2});
    EXPECT_EQ(b.Resize(static_cast<unsigned long>(-1)), 0);
    EXPECT_EQ(Bytes(b), B({1, 2})) << "a failed Resize leaves the block unchanged";
}

}  // namespace
