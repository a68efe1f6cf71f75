#include "database/CDatabaseIndex.h"

#include <cstring>
#include <new>
#include <utility>

#include "database/DatabaseLock.h"
#include "diag/BoundedCopy.h"

namespace {
// Empty bucket heads are written this many bytes at a time (at least a slot).
constexpr uint64_t kFillBytes = 64 * 1024;
}  // namespace

std::unique_ptr<CDatabaseIndex> CDatabaseIndex::New() {
    std::unique_ptr<CDatabaseFile> file = MakeDatabaseFile();
    if (!file) return nullptr;
    return std::unique_ptr<CDatabaseIndex>(new (std::nothrow) CDatabaseIndex(std::move(file)));
}

CDatabaseIndex::CDatabaseIndex(std::unique_ptr<CDatabaseFile> file)
    : m_Header{}, m_pFile(std::move(file)) {
    DatabaseLock::Register();
}

CDatabaseIndex::~CDatabaseIndex() {
    if (m_pFile->IsOpen()) CloseIndex();
    DatabaseLock::Unregister();
}

IndexCode CDatabaseIndex::Refuse(IndexCode code) {
    m_pFile->Close();
    return code;
}

IndexCode CDatabaseIndex::WriteHeader() {
    return m_pFile->WriteAt(0, &m_Header, sizeof m_Header) ? INDEX_OK : INDEX_WRITE_FAILED;
}

IndexCode CDatabaseIndex::OpenIndex(const char* path) {
    DatabaseLock::Guard guard;
    if (m_bOpen || m_pFile->IsOpen()) CloseIndex();
    if (!m_pFile->Open(path, CDatabaseFile::kReadWrite)) return INDEX_OPEN_FAILED;
    IndexHeader header{};
    if (!m_pFile->ReadAt(0, &header, sizeof header) || header.magic != kIndexMagic)
        return Refuse(INDEX_BAD_HEADER);
    if (header.version != kIndexVersion) return Refuse(INDEX_WRONG_VERSION);
    // Nothing of a header is trusted that could make a slot lie outside the
    // file or a bucket computation divide by zero.
    long fileSize = m_pFile->GetSize();
    if (header.keyType == 0 || header.keyType > 4 || header.bucketCount == 0 ||
        uint64_t{header.slotSize} != uint64_t{header.keyLength} + 9 || fileSize < 0 ||
        sizeof header + uint64_t{header.bucketCount} * header.slotSize >
            static_cast<uint64_t>(fileSize))
        return Refuse(INDEX_BAD_HEADER);
    if (!m_Slot.Create(2 * uint64_t{header.slotSize})) return Refuse(INDEX_NO_MEMORY);
    m_Header = header;
    m_Header.openCount = static_cast<int32_t>(static_cast<uint32_t>(m_Header.openCount) + 1);
    if (WriteHeader() != INDEX_OK) return Refuse(INDEX_WRITE_FAILED);
    m_bOpen = 1;
    return INDEX_OK;
}

IndexCode CDatabaseIndex::CreateIndex(const char* path, uint32_t keyType, uint32_t keyLength,
                                      uint32_t bucketCount) {
    DatabaseLock::Guard guard;
    if (m_bOpen || m_pFile->IsOpen()) CloseIndex();
    if (keyType == 0 || keyType > 4) return INDEX_BAD_PARAMETER;
    uint64_t slotSize = uint64_t{keyLength} + 9;
    if (bucketCount == 0 || sizeof(IndexHeader) + bucketCount * slotSize > kMaxFileSize)
        return INDEX_BAD_PARAMETER;
    if (!m_pFile->Open(path, CDatabaseFile::kCreate)) return INDEX_CREATE_FAILED;
    m_Header = IndexHeader{kIndexMagic,
                           kIndexVersion,
                           bucketCount,
                           keyType,
                           keyLength,
                           static_cast<uint32_t>(slotSize),
                           0,
                           0,
                           1};
    if (!m_Slot.Create(2 * slotSize)) return Refuse(INDEX_NO_MEMORY);
    IndexCode code = WriteHeader();
    if (code == INDEX_OK) code = WriteEmptyBuckets();
    if (code != INDEX_OK) return Refuse(code);
    m_bOpen = 1;
    return INDEX_OK;
}

IndexCode CDatabaseIndex::WriteEmptyBuckets() {
    const uint32_t slotSize = m_Header.slotSize;
    uint64_t perWrite = kFillBytes / slotSize;
    if (perWrite == 0) perWrite = 1;
    if (perWrite > m_Header.bucketCount) perWrite = m_Header.bucketCount;
    CBuffer fill;
    if (!fill.Create(static_cast<unsigned long>(perWrite * slotSize))) return INDEX_NO_MEMORY;
    for (uint64_t k = 0; k < perWrite; ++k)
        FillSlot(fill.GetPointer() + k * slotSize, -1, 0, "", 0);
    for (uint64_t slot = 0; slot < m_Header.bucketCount; slot += perWrite) {
        uint64_t count =
            m_Header.bucketCount - slot < perWrite ? m_Header.bucketCount - slot : perWrite;
        if (!m_pFile->WriteAt(SlotOffset(slot), fill.GetPointer(),
                              static_cast<uint32_t>(count * slotSize)))
            return INDEX_WRITE_FAILED;
    }
    return INDEX_OK;
}

IndexCode CDatabaseIndex::CloseIndex() {
    IndexCode code = INDEX_OK;
    if (m_pFile->IsOpen()) {
        IndexHeader header;
        if (m_pFile->ReadAt(0, &header, sizeof header)) m_Header = header;
        m_Header.openCount = static_cast<int32_t>(static_cast<uint32_t>(m_Header.openCount) - 1);
        code = WriteHeader();
        m_pFile->Close();
    }
    m_bOpen = 0;
    return code;
}

uint32_t CDatabaseIndex::HashBytes(const char* key, size_t length) const {
    uint32_t hash = 0;
    for (size_t i = 0; i < length; ++i)
        hash = (hash * 64 + static_cast<unsigned char>(key[i])) % m_Header.bucketCount;
    return hash;
}

uint32_t CDatabaseIndex::HashKey(const char* key) const {
    if (!key || m_Header.bucketCount == 0) return 0;
    return HashBytes(key, std::strlen(key));
}

void CDatabaseIndex::FillSlot(unsigned char* slot, int32_t recordNumber, uint32_t next,
                              const char* key, size_t length) const {
    IndexSlotHeader header{recordNumber, next};
    std::memcpy(slot, &header, sizeof header);
    char* text = reinterpret_cast<char*>(slot + sizeof header);
    std::memcpy(text, key, length);
    std::memset(text + length, 0, m_Header.keyLength + 1 - length);
}

uint32_t CDatabaseIndex::NextOverflowSlot() {
    long size = m_pFile->GetSize();
    uint64_t slots = size < static_cast<long>(sizeof(IndexHeader))
                         ? 0
                         : (static_cast<uint64_t>(size) - sizeof(IndexHeader)) / m_Header.slotSize;
    return slots < m_Header.bucketCount ? m_Header.bucketCount : static_cast<uint32_t>(slots);
}

IndexCode CDatabaseIndex::InsertKey(const char* key, int32_t recordNumber) {
    DatabaseLock::Guard guard;
    if (m_Header.keyType != kFieldText) return INDEX_BAD_PARAMETER;
    if (!m_bOpen) return INDEX_NOT_OPEN;
    if (!key) key = "";
    size_t length = strnlen(key, m_Header.keyLength);
    unsigned char* head = m_Slot.GetPointer();
    const uint64_t headOffset = SlotOffset(HashBytes(key, length));
    const uint32_t slotSize = m_Header.slotSize;
    // A head that cannot be read is taken for an empty one and written anew.
    IndexSlotHeader current{-1, 0};
    if (m_pFile->ReadAt(headOffset, head, slotSize)) std::memcpy(&current, head, sizeof current);
    if (current.recordNumber == -1) {
        FillSlot(head, recordNumber, 0, key, length);
        return m_pFile->WriteAt(headOffset, head, slotSize) ? INDEX_OK : INDEX_WRITE_FAILED;
    }
    // The head's old content moves to a new overflow slot. When the new head
    // cannot be written, the old one is put back and the slot cut off again.
    long sizeBefore = m_pFile->GetSize();
    uint32_t overflow = NextOverflowSlot();
    if (sizeBefore < 0 || !m_pFile->WriteAt(SlotOffset(overflow), head, slotSize)) {
        if (sizeBefore >= 0) m_pFile->Truncate(static_cast<uint64_t>(sizeBefore));
        return INDEX_WRITE_FAILED;
    }
    unsigned char* entry = head + slotSize;
    FillSlot(entry, recordNumber, overflow, key, length);
    if (!m_pFile->WriteAt(headOffset, entry, slotSize)) {
        m_pFile->WriteAt(headOffset, head, slotSize);
        m_pFile->Truncate(static_cast<uint64_t>(sizeBefore));
        return INDEX_WRITE_FAILED;
    }
    ++m_Header.overflowCount;
    return WriteHeader();
}
