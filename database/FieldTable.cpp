#include "database/FieldTable.h"

#include <cstring>

#include "diag/BoundedCopy.h"

namespace {

constexpr unsigned long kInitialFields = 16;
constexpr unsigned long kGrowthFields = 8;

}  // namespace

uint32_t FieldNameLength(const FieldDescriptor& descriptor) {
    return static_cast<uint32_t>(strnlen(descriptor.name, sizeof descriptor.name));
}

bool FieldNameIs(const FieldDescriptor& descriptor, const char* text, size_t length) {
    return FieldNameLength(descriptor) == length && std::memcmp(descriptor.name, text, length) == 0;
}

uint32_t FieldCommentLength(const FieldDescriptor& descriptor) {
    return static_cast<uint32_t>(strnlen(descriptor.comment, sizeof descriptor.comment));
}

FieldTable& FieldTable::operator=(const FieldTable& other) {
    m_Descriptors = other.m_Descriptors;
    m_nCount = other.m_nCount;
    m_nRecordSize = other.m_nRecordSize;
    m_nRecordVersion = other.m_nRecordVersion;
    m_nPrivateSize = other.m_nPrivateSize;
    m_nFirstRepeat = other.m_nFirstRepeat;
    return *this;
}

int FieldTable::Init(uint32_t recordSize, uint32_t recordVersion) {
    m_nCount = 0;
    m_nRecordSize = recordSize;
    m_nRecordVersion = recordVersion;
    m_nPrivateSize = 0;
    m_nFirstRepeat = -1;
    return m_Descriptors.Create(kInitialFields * sizeof(FieldDescriptor)) ? 1 : 0;
}

FieldDescriptor* FieldTable::Append() {
    m_nFirstRepeat = -1;
    unsigned long needed = (m_nCount + 1) * sizeof(FieldDescriptor);
    if (!m_Descriptors.GetPointer()) return nullptr;
    if (needed > m_Descriptors.GetBufferSize() &&
        !m_Descriptors.Resize(m_Descriptors.GetBufferSize() +
                              kGrowthFields * sizeof(FieldDescriptor)))
        return nullptr;
    return reinterpret_cast<FieldDescriptor*>(m_Descriptors.GetPointer()) + m_nCount++;
}

int FieldTable::AddField(const char* name, const char* comment, uint32_t type, uint32_t length,
                         uint32_t offset) {
    FieldDescriptor* descriptor = Append();
    if (!descriptor) return -1;
    descriptor->flags = 0;
    descriptor->type = type;
    descriptor->length = length;
    descriptor->offset = offset;
    descriptor->index = 0;
    CopyBounded(descriptor->name, name);
    CopyBounded(descriptor->comment, comment);
    return static_cast<int>(m_nCount - 1);
}

int FieldTable::AddDescriptor(const FieldDescriptor& descriptor) {
    FieldDescriptor* place = Append();
    if (!place) return -1;
    *place = descriptor;
    return static_cast<int>(m_nCount - 1);
}

const FieldDescriptor* FieldTable::Descriptor(int index) const {
    if (index < 0 || static_cast<uint32_t>(index) >= m_nCount) return nullptr;
    return reinterpret_cast<const FieldDescriptor*>(m_Descriptors.GetPointer()) + index;
}

FieldDescriptor* FieldTable::Descriptor(int index) {
    return const_cast<FieldDescriptor*>(static_cast<const FieldTable*>(this)->Descriptor(index));
}

int64_t FieldTable::GetFieldType(int index) const {
    const FieldDescriptor* descriptor = Descriptor(index);
    return descriptor ? int64_t{descriptor->type} : -1;
}

int64_t FieldTable::GetFieldLength(int index) const {
    const FieldDescriptor* descriptor = Descriptor(index);
    return descriptor ? int64_t{descriptor->length} : -1;
}

int64_t FieldTable::GetFieldOffset(int index) const {
    const FieldDescriptor* descriptor = Descriptor(index);
    return descriptor ? int64_t{descriptor->offset} : -1;
}

int64_t FieldTable::GetFieldSize(int index) const {
    const FieldDescriptor* descriptor = Descriptor(index);
    return descriptor ? static_cast<int64_t>(FieldByteSize(descriptor->type, descriptor->length))
                      : -1;
}

int FieldTable::FindField(const char* text) const {
    return text ? FindField(text, std::strlen(text)) : -1;
}

int FieldTable::FindField(const char* text, size_t length, uint32_t* hint) const {
    if (!text) return -1;
    int found = -1;
    if (hint && *hint < FirstRepeatedName() &&
        FieldNameIs(*Descriptor(static_cast<int>(*hint)), text, length)) {
        found = static_cast<int>(*hint);
    } else {
        for (uint32_t i = 0; i < m_nCount && found < 0; ++i)
            if (FieldNameIs(*Descriptor(static_cast<int>(i)), text, length))
                found = static_cast<int>(i);
    }
    if (hint && found >= 0) *hint = static_cast<uint32_t>(found) + 1;
    return found;
}

// Found once per table with FindField itself; a table too large for that
// gets no hints.
uint32_t FieldTable::FirstRepeatedName() const {
    constexpr uint32_t kMaxChecked = 1024;
    if (m_nFirstRepeat >= 0) return static_cast<uint32_t>(m_nFirstRepeat);
    uint32_t first = m_nCount > kMaxChecked ? 0 : m_nCount;
    for (uint32_t i = 1; i < first; ++i) {
        const FieldDescriptor& descriptor = *Descriptor(static_cast<int>(i));
        if (FindField(descriptor.name, FieldNameLength(descriptor)) != static_cast<int>(i))
            first = i;
    }
    m_nFirstRepeat = first;
    return first;
}

bool FieldTable::FieldsFitRecord() const {
    return m_nRecordSize != 0 && m_nRecordSize <= kMaxRecordSize && FirstFieldOutsideRecord() < 0;
}

int FieldTable::FirstFieldOutsideRecord() const {
    for (uint32_t i = 0; i < m_nCount; ++i) {
        const FieldDescriptor& descriptor = *Descriptor(static_cast<int>(i));
        if (descriptor.offset + FieldByteSize(descriptor.type, descriptor.length) > m_nRecordSize)
            return static_cast<int>(i);
    }
    return -1;
}
