// FieldTable: the record layout of a database. A store builds one to create
// its database; an open database holds the descriptors read from its file.
//
// The descriptors are 118-byte FieldDescriptor elements in a CBuffer (initial
// room for 16, grown by 8); assignment shares that buffer. Field names are
// compared case-sensitively; the first descriptor with a name wins.
#ifndef WIN95_DATABASE_FIELDTABLE_H
#define WIN95_DATABASE_FIELDTABLE_H

#include <win95/CBuffer.h>

#include <cstddef>
#include <cstdint>

#include "database/DatabaseFormat.h"

class FieldTable {
public:
    FieldTable() = default;
    FieldTable(const FieldTable& other) { *this = other; }
    // Takes the other table's counts and shares its descriptor buffer.
    FieldTable& operator=(const FieldTable& other);

    // Empties the table for records of the given size and version (private
    // size 0). 1, or 0 when the descriptor buffer cannot be had.
    int Init(uint32_t recordSize, uint32_t recordVersion);
    // Appends a descriptor with flags and index 0, the name cut to 32 and the
    // comment to 64 characters. Its index, or -1 when the table cannot grow.
    int AddField(const char* name, const char* comment, uint32_t type, uint32_t length,
                 uint32_t offset);
    // Appends a descriptor as it stands (a file's). Its index or -1.
    int AddDescriptor(const FieldDescriptor& descriptor);

    // -1 for an index outside the table.
    int64_t GetFieldType(int index) const;
    int64_t GetFieldLength(int index) const;
    int64_t GetFieldOffset(int index) const;
    int64_t GetFieldSize(int index) const;  // length x element size of the type
    // Index of the first descriptor named text, or -1.
    int FindField(const char* text) const;
    // The same for the first length characters of text. With a hint, the
    // descriptor at *hint is tried first and *hint is left after the one
    // found: texts name the fields in table order, so most names are found
    // at once.
    int FindField(const char* text, size_t length, uint32_t* hint = nullptr) const;

    // The descriptor at index (null outside); its name may fill all 33 bytes.
    const FieldDescriptor* Descriptor(int index) const;
    FieldDescriptor* Descriptor(int index);
    // All descriptors in table order, as the .db file stores them.
    const unsigned char* Bytes() const { return m_Descriptors.GetPointer(); }

    uint32_t Count() const { return m_nCount; }
    uint32_t RecordSize() const { return m_nRecordSize; }
    uint32_t RecordVersion() const { return m_nRecordVersion; }
    uint32_t PrivateSize() const { return m_nPrivateSize; }
    void SetPrivateSize(uint32_t size) { m_nPrivateSize = size; }

    // Whether every field lies inside the record and the record size is one
    // the engine keeps (1 to kMaxRecordSize bytes).
    bool FieldsFitRecord() const;
    // The first descriptor whose bytes do not all lie inside the record, or
    // -1.
    int FirstFieldOutsideRecord() const;

private:
    FieldDescriptor* Append();
    // The first descriptor whose name an earlier one has (the count when no
    // name repeats): below it, a descriptor with the name is the first one.
    uint32_t FirstRepeatedName() const;

    CBuffer m_Descriptors;
    mutable int64_t m_nFirstRepeat = -1;  // FirstRepeatedName, -1 until known
    uint32_t m_nCount = 0;
    uint32_t m_nRecordSize = 0;
    uint32_t m_nRecordVersion = 0;
    uint32_t m_nPrivateSize = 0;
};

// The bytes of a descriptor's name (at most 33, the terminator excluded).
uint32_t FieldNameLength(const FieldDescriptor& descriptor);
// Whether the descriptor's name is the text's first length characters
// (case-sensitive): the one comparison of field names.
bool FieldNameIs(const FieldDescriptor& descriptor, const char* text, size_t length);
uint32_t FieldCommentLength(const FieldDescriptor& descriptor);

#endif
