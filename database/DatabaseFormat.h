// Byte layouts of the database files: the .db data file, the .idx hash index
// and the "%s.h%02d" attachment file, with the limits the engine keeps to.
// FORMAT.md beside this file describes them in prose.
//
// Every integer is little-endian and the structures are packed, so a
// structure's bytes are the file's bytes on the (little-endian) targets.
#ifndef WIN95_DATABASE_DATABASEFORMAT_H
#define WIN95_DATABASE_DATABASEFORMAT_H

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the file structures are read and written as memory images");

constexpr uint32_t kDatabaseMagic = 0x6773AE55;
constexpr uint32_t kDatabaseVersion = 52;
constexpr uint32_t kRecordMagic = 0x350D6EF2;
constexpr uint32_t kIndexMagic = 0xDA6BF212;
constexpr uint32_t kIndexVersion = 47;
constexpr uint32_t kAttachmentMagic = 0x3F4F5F65;
constexpr uint32_t kAttachmentVersion = 11;

// A database name and every path made from it fit 512 characters with the
// terminator; the longest extension is ".idx" (or ".h" and two digits).
constexpr size_t kPathSize = 512;
constexpr size_t kMaxNameLength = kPathSize - 1 - 4;

// Offsets and sizes are 32-bit signed on the target's file calls, so no file
// grows past this size.
constexpr uint64_t kMaxFileSize = 0x7FFFFFFF;
// Records are read whole into memory; a header announcing more is refused.
constexpr uint32_t kMaxRecordSize = 16u << 20;

#pragma pack(push, 1)

struct DatabaseHeader {
    uint32_t magic;
    uint32_t databaseId;
    uint32_t databaseFlags;
    uint32_t databaseVersion;
    uint32_t recordVersion;
    uint32_t recordSize;
    int32_t currentRecord;  // -1: none
    uint32_t numberOfFields;
    uint32_t reserved;
    int32_t openCount;
    uint32_t privateSize;
};

// Element of the descriptor table of a .db file and of a FieldTable.
struct FieldDescriptor {
    uint32_t flags;
    uint32_t type;    // FieldType
    uint32_t length;  // elements (characters for text)
    uint32_t offset;  // byte offset in the record data
    uint32_t index;
    char name[33];
    char comment[65];
};

struct RecordHeader {
    uint32_t magic;
    uint32_t reserved;
    uint16_t removed;  // 1: the record has been removed
    uint16_t reserved2;
};

struct IndexHeader {
    uint32_t magic;
    uint32_t version;
    uint32_t bucketCount;
    uint32_t keyType;
    uint32_t keyLength;
    uint32_t slotSize;  // keyLength + 9
    uint32_t reserved;
    uint32_t overflowCount;
    int32_t openCount;
};

// Start of an index slot; keyLength + 1 bytes of key text follow.
struct IndexSlotHeader {
    int32_t recordNumber;  // -1: empty slot
    uint32_t next;         // next slot of the bucket's chain, 0: end
};

struct AttachmentHeader {
    uint32_t magic;
    uint32_t version;
    uint32_t value;
    uint32_t dataLength;
    uint32_t reserved;
    uint32_t number;
};

#pragma pack(pop)

static_assert(sizeof(DatabaseHeader) == 44);
static_assert(sizeof(FieldDescriptor) == 118);
static_assert(offsetof(FieldDescriptor, name) == 20);
static_assert(offsetof(FieldDescriptor, comment) == 53);
static_assert(sizeof(RecordHeader) == 12);
static_assert(sizeof(IndexHeader) == 36);
static_assert(sizeof(IndexSlotHeader) == 8);
static_assert(sizeof(AttachmentHeader) == 24);

enum FieldType : uint32_t {
    kFieldBytes = 1,  // unsigned bytes
    kFieldText = 2,   // character array
    kFieldShort = 3,  // 16-bit integers
    kFieldLong = 4,   // signed 32-bit integers
    kFieldEight = 5   // 8-byte elements
};

// Bytes of one element of the type; 0 for a type outside 1 to 5.
constexpr uint32_t FieldElementSize(uint32_t type) {
    switch (type) {
        case kFieldBytes:
        case kFieldText:
            return 1;
        case kFieldShort:
            return 2;
        case kFieldLong:
            return 4;
        case kFieldEight:
            return 8;
        default:
            return 0;
    }
}

// Bytes a field takes in the record, without 32-bit overflow.
constexpr uint64_t FieldByteSize(uint32_t type, uint32_t length) {
    return uint64_t{length} * FieldElementSize(type);
}

// Where the records of a .db file lie: after the header, the private data
// and the descriptor table, each in a place of record size + 12 bytes.
struct RecordLayout {
    uint64_t dataStart = 0;
    uint64_t placeSize = 0;

    static RecordLayout Of(uint32_t privateSize, uint32_t numberOfFields, uint32_t recordSize) {
        return RecordLayout{sizeof(DatabaseHeader) + uint64_t{privateSize} +
                                sizeof(FieldDescriptor) * uint64_t{numberOfFields},
                            uint64_t{recordSize} + sizeof(RecordHeader)};
    }
    // Complete record places in a file of the given size; a partly written
    // last place does not count.
    uint32_t Count(uint64_t fileSize) const {
        if (placeSize == 0 || fileSize < dataStart) return 0;
        return static_cast<uint32_t>((fileSize - dataStart) / placeSize);
    }
    uint64_t Offset(uint32_t number) const { return dataStart + placeSize * number; }
};

// The checks a data file's header passes at open, in their order (FORMAT.md,
// "Checks at open"); the first one that fails, or kPassed. The last check,
// every field inside the record, needs the descriptors
// (FieldTable::FirstFieldOutsideRecord).
enum class HeaderCheck {
    kPassed,
    kMagic,            // 16: not 0x6773AE55
    kDatabaseVersion,  // 13: not 52
    kRecordVersion,    // 14: not the one asked for (0 asks nothing)
    kRecordSize,       // 16: not from 1 to kMaxRecordSize
    kAreas             // 16: private data and descriptors not inside the file
};

constexpr HeaderCheck CheckDatabaseHeader(const DatabaseHeader& header, uint64_t fileSize,
                                          uint32_t recordVersion) {
    if (header.magic != kDatabaseMagic) return HeaderCheck::kMagic;
    if (header.databaseVersion != kDatabaseVersion) return HeaderCheck::kDatabaseVersion;
    if (recordVersion != 0 && header.recordVersion != recordVersion)
        return HeaderCheck::kRecordVersion;
    if (header.recordSize == 0 || header.recordSize > kMaxRecordSize)
        return HeaderCheck::kRecordSize;
    if (RecordLayout::Of(header.privateSize, header.numberOfFields, header.recordSize).dataStart >
        fileSize)
        return HeaderCheck::kAreas;
    return HeaderCheck::kPassed;
}

#endif
