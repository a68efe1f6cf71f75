#include "database/FieldLookup.h"

#include <cstring>

namespace {

uint32_t HashName(const char* text, size_t length) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(text[i]);
        hash *= 16777619u;
    }
    return hash;
}

}  // namespace

FieldLookup::FieldLookup(const FieldTable& fields) : m_Fields(fields), m_pSlots(nullptr) {
    uint32_t capacity = 16;
    while (capacity < 2 * uint64_t{fields.Count()}) capacity *= 2;
    if (!m_Buffer.Create(capacity * sizeof(int32_t)) || !m_First.Create(fields.Count())) return;
    m_pSlots = reinterpret_cast<int32_t*>(m_Buffer.GetPointer());
    m_nMask = capacity - 1;
    for (uint32_t i = 0; i < capacity; ++i) m_pSlots[i] = -1;
    for (uint32_t i = 0; i < fields.Count(); ++i) {
        const FieldDescriptor& descriptor = *fields.Descriptor(static_cast<int>(i));
        uint32_t length = FieldNameLength(descriptor);
        uint32_t slot = HashName(descriptor.name, length) & m_nMask;
        while (m_pSlots[slot] >= 0 && !NameIs(m_pSlots[slot], descriptor.name, length))
            slot = (slot + 1) & m_nMask;
        if (m_pSlots[slot] >= 0) continue;
        m_pSlots[slot] = static_cast<int32_t>(i);
        m_First.GetPointer()[i] = 1;
    }
}

bool FieldLookup::NameIs(int index, const char* text, size_t length) const {
    const FieldDescriptor& descriptor = *m_Fields.Descriptor(index);
    return FieldNameLength(descriptor) == length && std::memcmp(descriptor.name, text, length) == 0;
}

int FieldLookup::Find(const char* text, size_t length) {
    if (!m_pSlots) return m_Fields.FindField(text);
    int found = -1;
    if (m_nHint < m_Fields.Count() && m_First.GetPointer()[m_nHint] &&
        NameIs(static_cast<int>(m_nHint), text, length)) {
        found = static_cast<int>(m_nHint);
    } else {
        for (uint32_t slot = HashName(text, length) & m_nMask; m_pSlots[slot] >= 0;
             slot = (slot + 1) & m_nMask) {
            if (NameIs(m_pSlots[slot], text, length)) {
                found = m_pSlots[slot];
                break;
            }
        }
    }
    if (found >= 0) m_nHint = static_cast<uint32_t>(found) + 1;
    return found;
}
