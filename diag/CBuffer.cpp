// The byte buffer: a handle on a shared, reference-counted block.
#include <win95/CBuffer.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

struct CBufferData {
    int refCount;
    unsigned char* bytes;
    uint32_t size;
};

namespace {

// Blocks are limited to 32-bit sizes, as on the 32-bit target.
bool FitsBlock(unsigned long size) {
    if constexpr (sizeof(unsigned long) > sizeof(uint32_t)) return size <= UINT32_MAX;
    return true;
}

// Makes a new block of the given size, count 1, bytes zero. Size 0 still gets
// one byte of storage so that its bytes pointer is not null.
CBufferData* NewBlock(unsigned long size) {
    if (!FitsBlock(size)) return nullptr;
    CBufferData* data = static_cast<CBufferData*>(std::malloc(sizeof(CBufferData)));
    if (!data) return nullptr;
    data->bytes = static_cast<unsigned char*>(std::calloc(size ? size : 1, 1));
    if (!data->bytes) {
        std::free(data);
        return nullptr;
    }
    data->refCount = 1;
    data->size = static_cast<uint32_t>(size);
    return data;
}

CBufferData* CloneBlock(const CBufferData* source) {
    CBufferData* data = NewBlock(source->size);
    if (data && source->size) std::memcpy(data->bytes, source->bytes, source->size);
    return data;
}

void ReleaseBlock(CBufferData* data) {
    if (data && --data->refCount == 0) {
        std::free(data->bytes);
        std::free(data);
    }
}

// Pointers are compared as integers: the position may lie in another object.
bool Inside(const CBufferData* data, const unsigned char* position) {
    if (!data || !data->bytes) return false;
    uintptr_t begin = reinterpret_cast<uintptr_t>(data->bytes);
    uintptr_t p = reinterpret_cast<uintptr_t>(position);
    return p >= begin && p <= begin + data->size;
}

// Bytes from the position to the end of the block.
unsigned long Room(const CBufferData* data, const unsigned char* position) {
    return static_cast<unsigned long>(data->size - (position - data->bytes));
}

// Checks the position and cuts count to the bytes from it to the end; false
// when the position lies outside the block (or there is none).
bool CutToBlock(const CBufferData* data, const unsigned char* position, unsigned long& count) {
    if (!Inside(data, position)) return false;
    unsigned long room = Room(data, position);
    if (count > room) count = room;
    return true;
}

bool Overlaps(const CBufferData* data, const unsigned char* source, unsigned long count) {
    uintptr_t begin = reinterpret_cast<uintptr_t>(data->bytes);
    uintptr_t s = reinterpret_cast<uintptr_t>(source);
    return s < begin + data->size && begin < s + count;
}

}  // namespace

CBuffer::CBuffer() : m_pData(nullptr) {}

CBuffer::CBuffer(const CBuffer& other) : m_pData(other.m_pData) {
    if (m_pData) ++m_pData->refCount;
}

CBuffer& CBuffer::operator=(const CBuffer& other) {
    if (other.m_pData != m_pData) {
        Release();
        m_pData = other.m_pData;
        if (m_pData) ++m_pData->refCount;
    }
    return *this;
}

CBuffer::~CBuffer() {
    Release();
}

void CBuffer::Release() {
    ReleaseBlock(m_pData);
    m_pData = nullptr;
}

unsigned char* CBuffer::Create(unsigned long size) {
    Release();
    m_pData = NewBlock(size);
    return m_pData ? m_pData->bytes : nullptr;
}

int CBuffer::Copy(const CBuffer& source) {
    // The copy is made before the own block is let go, so that copying a
    // buffer onto itself (or onto a buffer sharing its block) is safe.
    CBufferData* copy = nullptr;
    if (source.m_pData) {
        copy = CloneBlock(source.m_pData);
        if (!copy) {
            Release();
            return 0;
        }
    }
    Release();
    m_pData = copy;
    return 1;
}

int CBuffer::Copy() {
    if (!m_pData || m_pData->refCount == 1) return 1;
    CBufferData* copy = CloneBlock(m_pData);
    if (!copy) return 0;
    ReleaseBlock(m_pData);
    m_pData = copy;
    return 1;
}

int CBuffer::Resize(unsigned long size) {
    if (!m_pData || !FitsBlock(size)) return 0;
    unsigned char* bytes = static_cast<unsigned char*>(std::calloc(size ? size : 1, 1));
    if (!bytes) return 0;
    unsigned long keep = size < m_pData->size ? size : m_pData->size;
    if (keep) std::memcpy(bytes, m_pData->bytes, keep);
    std::free(m_pData->bytes);
    m_pData->bytes = bytes;
    m_pData->size = static_cast<uint32_t>(size);
    return 1;
}

int CBuffer::InsertBytes(unsigned char* position, const unsigned char* source,
                         unsigned long count) {
    if (!CutToBlock(m_pData, position, count)) return 0;
    if (count == 0) return 1;
    unsigned long room = Room(m_pData, position);
    if (!source) return 0;
    if (Overlaps(m_pData, source, count)) {
        // The shift below would move the source under our feet: keep a copy.
        unsigned char* saved = static_cast<unsigned char*>(std::malloc(count));
        if (!saved) return 0;
        std::memcpy(saved, source, count);
        std::memmove(position + count, position, room - count);
        std::memcpy(position, saved, count);
        std::free(saved);
        return 1;
    }
    std::memmove(position + count, position, room - count);
    std::memcpy(position, source, count);
    return 1;
}

int CBuffer::RemoveBytes(unsigned char* position, unsigned long count, unsigned char fill) {
    if (!CutToBlock(m_pData, position, count)) return 0;
    if (count == 0) return 1;
    std::memmove(position, position + count, Room(m_pData, position) - count);
    std::memset(m_pData->bytes + m_pData->size - count, fill, count);
    return 1;
}

int CBuffer::CopyBytes(unsigned char* position, const unsigned char* source, unsigned long count) {
    if (!CutToBlock(m_pData, position, count)) return 0;
    if (count == 0) return 1;
    if (!source) return 0;
    std::memmove(position, source, count);
    return 1;
}

unsigned char* CBuffer::FindBytes(unsigned char* start, const unsigned char* pattern,
                                  unsigned long count) {
    if (!m_pData || !m_pData->bytes || !pattern || count == 0 || count > m_pData->size)
        return nullptr;
    if (!start) start = m_pData->bytes;
    if (!Inside(m_pData, start)) return nullptr;
    // The last position, end - count, is not tried (the pattern would end
    // exactly at the block's end); callers rely on that.
    const unsigned char* last = m_pData->bytes + (m_pData->size - count);
    for (unsigned char* p = start; p < last; ++p) {
        if (*p == pattern[0] && std::memcmp(p, pattern, count) == 0) return p;
    }
    return nullptr;
}

unsigned char* CBuffer::GetPosition(unsigned long offset) {
    if (!m_pData || offset > m_pData->size) return nullptr;
    return m_pData->bytes + offset;
}

unsigned long CBuffer::GetIndex(unsigned char* position) const {
    if (!Inside(m_pData, position)) return 0xFFFFFFFFUL;
    return static_cast<unsigned long>(position - m_pData->bytes);
}

void CBuffer::Destroy() {
    if (!m_pData) return;
    std::free(m_pData->bytes);
    m_pData->bytes = nullptr;
    m_pData->size = 0;
}

unsigned char* CBuffer::GetPointer(unsigned char* position) {
    if (!m_pData) return nullptr;
    return position ? position : m_pData->bytes;
}

const unsigned char* CBuffer::GetPointer(unsigned char* position) const {
    if (!m_pData) return nullptr;
    return position ? position : m_pData->bytes;
}

unsigned long CBuffer::GetBufferSize() const {
    return m_pData ? m_pData->size : 0;
}
