#include "database/CDatabaseIndex.h"

#include <cstring>
#include <new>
#include <utility>

#include "database/DatabaseLock.h"
#include "database/IndexBatch.h"

namespace {
// Empty bucket heads are written this many bytes at a time (at least a slot).
constexpr uint64_t kFillBytes = 64 * 1024;
}  // namespace

uint32_t HashKeyBytes(const char* key, size_t length, uint32_t bucketCount) {
    if (bucketCount == 0) return 0;
    uint32_t hash = 0;
    for (size_t i = 0; i < length; ++i)
        hash = (hash * 64 + static_cast<unsigned char>(key[i])) % bucketCount;
    return hash;
}

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

IndexCode CDatabaseIndex::Unseal() {
    if (!m_bSealed) return INDEX_OK;
    const uint32_t none = 0;
    if (!m_pFile->WriteAt(0, &none, sizeof none)) return INDEX_WRITE_FAILED;
    m_Header.magic = none;
    m_bSealed = false;
    return INDEX_OK;
}

IndexCode CDatabaseIndex::Seal() {
    if (m_bSealed) return INDEX_OK;
    const uint32_t magic = kIndexMagic;
    if (!m_pFile->WriteAt(0, &magic, sizeof magic)) return INDEX_WRITE_FAILED;
    m_Header.magic = magic;
    m_bSealed = true;
    return INDEX_OK;
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
    // file or a bucket computation divide by zero; and a file whose slots
    // and count disagree was left by an interrupted insertion.
    long fileSize = m_pFile->GetSize();
    if (header.keyType == 0 || header.keyType > 4 || header.bucketCount == 0 ||
        uint64_t{header.slotSize} != uint64_t{header.keyLength} + 9 || fileSize < 0)
        return Refuse(INDEX_BAD_HEADER);
    const uint64_t slotBytes = static_cast<uint64_t>(fileSize) - sizeof header;
    if (static_cast<uint64_t>(fileSize) < sizeof header || slotBytes % header.slotSize != 0 ||
        slotBytes / header.slotSize != uint64_t{header.bucketCount} + header.overflowCount)
        return Refuse(INDEX_BAD_HEADER);
    m_Header = header;
    m_Header.openCount = static_cast<int32_t>(static_cast<uint32_t>(m_Header.openCount) + 1);
    if (WriteHeader() != INDEX_OK) return Refuse(INDEX_WRITE_FAILED);
    m_bSealed = true;
    m_bOpen = 1;
    return INDEX_OK;
}

IndexCode CDatabaseIndex::CreateIndex(const char* path, uint32_t keyType, uint32_t keyLength,
                                      uint32_t bucketCount) {
    DatabaseLock::Guard guard;
    IndexCode code = CreateUnsealed(path, keyType, keyLength, bucketCount);
    if (code == INDEX_OK) code = Seal();
    if (code != INDEX_OK && m_bOpen) {
        m_bOpen = 0;
        return Refuse(code);
    }
    return code;
}

IndexCode CDatabaseIndex::CreateUnsealed(const char* path, uint32_t keyType, uint32_t keyLength,
                                         uint32_t bucketCount) {
    DatabaseLock::Guard guard;
    if (m_bOpen || m_pFile->IsOpen()) CloseIndex();
    if (keyType == 0 || keyType > 4) return INDEX_BAD_PARAMETER;
    uint64_t slotSize = uint64_t{keyLength} + 9;
    if (bucketCount == 0 || sizeof(IndexHeader) + bucketCount * slotSize > kMaxFileSize)
        return INDEX_BAD_PARAMETER;
    if (!m_pFile->Open(path, CDatabaseFile::kCreate)) return INDEX_CREATE_FAILED;
    // The magic comes last, with Seal.
    m_Header = IndexHeader{
        0, kIndexVersion, bucketCount, keyType, keyLength, static_cast<uint32_t>(slotSize), 0, 0,
        1};
    m_bSealed = false;
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

// The header is read back first, so that an unsealed file stays unsealed.
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

uint32_t CDatabaseIndex::HashKey(const char* key) const {
    return key ? HashKeyBytes(key, std::strlen(key), m_Header.bucketCount) : 0;
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
    IndexBatch batch(*this);
    IndexCode code = batch.Insert(key, key ? strnlen(key, m_Header.keyLength) : 0, recordNumber);
    return code != INDEX_OK ? code : batch.Finish();
}
