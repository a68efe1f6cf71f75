#include "database/IndexBatch.h"

#include <cstring>

#include "database/DatabaseLock.h"

namespace {
// Overflow slots are appended this many bytes at a time (at least a slot).
constexpr uint64_t kPendingBytes = 256 * 1024;
}  // namespace

IndexCode IndexBatch::Begin() {
    DatabaseLock::Guard guard;
    if (!m_Index.IsOpen()) return INDEX_NOT_OPEN;
    const IndexHeader& header = m_Index.m_Header;
    // The heads lie in the file (checked at open), which bounds this buffer.
    uint64_t headBytes = uint64_t{header.bucketCount} * header.slotSize;
    uint64_t perWrite = kPendingBytes / header.slotSize;
    m_nPendingCapacity = perWrite ? static_cast<uint32_t>(perWrite) : 1;
    if (!m_Heads.Create(static_cast<unsigned long>(headBytes)) ||
        !m_Pending.Create(
            static_cast<unsigned long>(uint64_t{m_nPendingCapacity} * header.slotSize)))
        return INDEX_NO_MEMORY;
    // Heads that cannot be read are taken for empty ones, as InsertKey does.
    if (!m_Index.m_pFile->ReadAt(m_Index.SlotOffset(0), m_Heads.GetPointer(),
                                 static_cast<uint32_t>(headBytes))) {
        for (uint32_t bucket = 0; bucket < header.bucketCount; ++bucket)
            m_Index.FillSlot(m_Heads.GetPointer() + uint64_t{bucket} * header.slotSize, -1, 0, "",
                             0);
    }
    m_nNextSlot = m_Index.NextOverflowSlot();
    return INDEX_OK;
}

bool IndexBatch::FlushOverflow() {
    if (m_bFailed) return false;
    if (m_nPending == 0) return true;
    const uint32_t slotSize = m_Index.m_Header.slotSize;
    DatabaseLock::Guard guard;
    if (!m_Index.m_pFile->WriteAt(m_Index.SlotOffset(m_nNextSlot - m_nPending),
                                  m_Pending.GetPointer(), m_nPending * slotSize)) {
        m_bFailed = true;
        return false;
    }
    m_nPending = 0;
    return true;
}

IndexCode IndexBatch::Insert(const char* key, size_t length, int32_t recordNumber) {
    IndexHeader& header = m_Index.m_Header;
    if (header.keyType != kFieldText) return INDEX_BAD_PARAMETER;
    if (m_bFailed) return INDEX_WRITE_FAILED;
    if (length > header.keyLength) length = header.keyLength;
    unsigned char* head =
        m_Heads.GetPointer() + uint64_t{m_Index.HashBytes(key, length)} * header.slotSize;
    IndexSlotHeader current;
    std::memcpy(&current, head, sizeof current);
    if (current.recordNumber == -1) {
        m_Index.FillSlot(head, recordNumber, 0, key, length);
        return INDEX_OK;
    }
    if (m_nPending == m_nPendingCapacity && !FlushOverflow()) return INDEX_WRITE_FAILED;
    std::memcpy(m_Pending.GetPointer() + uint64_t{m_nPending} * header.slotSize, head,
                header.slotSize);
    ++m_nPending;
    m_Index.FillSlot(head, recordNumber, m_nNextSlot++, key, length);
    ++header.overflowCount;
    return INDEX_OK;
}

IndexCode IndexBatch::Finish() {
    DatabaseLock::Guard guard;
    if (!FlushOverflow()) return INDEX_WRITE_FAILED;
    if (!m_Index.m_pFile->WriteAt(m_Index.SlotOffset(0), m_Heads.GetPointer(),
                                  static_cast<uint32_t>(m_Heads.GetBufferSize())))
        return INDEX_WRITE_FAILED;
    return m_Index.WriteHeader();
}
