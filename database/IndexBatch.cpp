#include "database/IndexBatch.h"

#include <cstring>

#include "database/DatabaseLock.h"

namespace {
// Overflow slots are appended this many bytes at a time (at least a slot).
constexpr uint64_t kPendingBytes = 256 * 1024;
}  // namespace

IndexCode IndexBatch::Begin() {
    const IndexHeader& header = m_Index.m_Header;
    // The heads lie in the file (checked at open and creation), which bounds
    // these buffers.
    const uint64_t headBytes = uint64_t{header.bucketCount} * header.slotSize;
    const uint64_t perWrite = kPendingBytes / header.slotSize;
    m_nPendingCapacity = perWrite ? static_cast<uint32_t>(perWrite) : 1;
    if (!m_Heads.Create(static_cast<unsigned long>(headBytes)) ||
        !m_Original.Create(static_cast<unsigned long>(headBytes)) ||
        !m_Changed.Create(header.bucketCount) ||
        !m_Pending.Create(
            static_cast<unsigned long>(uint64_t{m_nPendingCapacity} * header.slotSize)))
        return INDEX_NO_MEMORY;
    // Heads that cannot be read are taken for empty ones and written anew.
    if (!m_Index.m_pFile->ReadAt(m_Index.SlotOffset(0), m_Heads.GetPointer(),
                                 static_cast<uint32_t>(headBytes))) {
        for (uint32_t bucket = 0; bucket < header.bucketCount; ++bucket)
            m_Index.FillSlot(m_Heads.GetPointer() + uint64_t{bucket} * header.slotSize, -1, 0, "",
                             0);
    }
    std::memcpy(m_Original.GetPointer(), m_Heads.GetPointer(), static_cast<size_t>(headBytes));
    m_nSizeBefore = m_Index.m_pFile->GetSize();
    if (m_nSizeBefore < 0) return INDEX_WRITE_FAILED;
    m_nCountBefore = header.overflowCount;
    m_nNextSlot = m_Index.NextOverflowSlot();
    m_bBegun = true;
    return INDEX_OK;
}

IndexCode IndexBatch::Insert(const char* key, size_t length, int32_t recordNumber) {
    DatabaseLock::Guard guard;
    IndexHeader& header = m_Index.m_Header;
    if (header.keyType != kFieldText) return INDEX_BAD_PARAMETER;
    if (!m_Index.IsOpen()) return INDEX_NOT_OPEN;
    if (m_bFailed) return INDEX_WRITE_FAILED;
    if (!m_bBegun) {
        IndexCode code = Begin();
        if (code != INDEX_OK) return code;
    }
    if (!key) key = "";
    if (length > header.keyLength) length = header.keyLength;
    const uint32_t bucket = HashKeyBytes(key, length, header.bucketCount);
    unsigned char* head = m_Heads.GetPointer() + uint64_t{bucket} * header.slotSize;
    m_Changed.GetPointer()[bucket] = 1;
    IndexSlotHeader current;
    std::memcpy(&current, head, sizeof current);
    if (current.recordNumber == -1) {
        m_Index.FillSlot(head, recordNumber, 0, key, length);
        return INDEX_OK;
    }
    // The head's content moves to a new overflow slot.
    if (m_nPending == m_nPendingCapacity && !AppendOverflow()) return INDEX_WRITE_FAILED;
    std::memcpy(m_Pending.GetPointer() + uint64_t{m_nPending} * header.slotSize, head,
                header.slotSize);
    ++m_nPending;
    m_Index.FillSlot(head, recordNumber, m_nNextSlot++, key, length);
    ++m_nAdded;
    return INDEX_OK;
}

bool IndexBatch::AppendOverflow() {
    if (m_bFailed) return false;
    if (m_nPending == 0) return true;
    if (!Unseal()) {
        m_bFailed = true;
        return false;
    }
    const uint32_t slotSize = m_Index.m_Header.slotSize;
    if (!m_Index.m_pFile->WriteAt(m_Index.SlotOffset(m_nNextSlot - m_nPending),
                                  m_Pending.GetPointer(), m_nPending * slotSize)) {
        m_bFailed = true;
        return false;
    }
    m_nPending = 0;
    return true;
}

bool IndexBatch::Unseal() {
    if (m_bUnsealed) return true;
    m_bSealedBefore = m_Index.IsSealed();
    if (m_Index.Unseal() != INDEX_OK) return false;
    m_bUnsealed = true;
    return true;
}

bool IndexBatch::WriteHeads(const unsigned char* heads) {
    const IndexHeader& header = m_Index.m_Header;
    const unsigned char* changed = m_Changed.GetPointer();
    for (uint32_t bucket = 0; bucket < header.bucketCount;) {
        if (!changed[bucket]) {
            ++bucket;
            continue;
        }
        uint32_t end = bucket;
        while (end < header.bucketCount && changed[end]) ++end;
        const uint64_t offset = uint64_t{bucket} * header.slotSize;
        if (!m_Index.m_pFile->WriteAt(m_Index.SlotOffset(bucket), heads + offset,
                                      (end - bucket) * header.slotSize))
            return false;
        bucket = end;
    }
    return true;
}

// After a failed write: the original heads, the size and the header count
// come back, and the seal of an index that had one.
IndexCode IndexBatch::PutBack() {
    if (m_bBegun) {
        WriteHeads(m_Original.GetPointer());
        m_Index.m_pFile->Truncate(static_cast<uint64_t>(m_nSizeBefore));
        m_Index.m_Header.overflowCount = m_nCountBefore;
        if (m_Index.WriteHeader() == INDEX_OK && m_bSealedBefore) m_Index.Seal();
    }
    return INDEX_WRITE_FAILED;
}

IndexCode IndexBatch::Finish() {
    DatabaseLock::Guard guard;
    if (m_bFailed) return PutBack();
    if (!m_bBegun) return m_Index.Seal();
    if (!AppendOverflow()) return PutBack();
    if (!Unseal()) return PutBack();
    if (!WriteHeads(m_Heads.GetPointer())) return PutBack();
    if (m_nAdded) {
        m_Index.m_Header.overflowCount = m_nCountBefore + m_nAdded;
        if (m_Index.WriteHeader() != INDEX_OK) return PutBack();
    }
    m_bBegun = false;
    return m_Index.Seal();
}
