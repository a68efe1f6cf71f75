// CDatabaseIndex: one open .idx file, a hash table of text keys with chained
// overflow (FORMAT.md). Several CDatabase objects naming the same file share
// one object (OpenIndexTable); it is closed when the last lets it go.
//
// The index is only ever written: keys are inserted, never looked up. A new
// key always takes its bucket's head slot; the head's old content moves to a
// new overflow slot at the end of the file, so chains run newest first.
// Operations return an IndexCode and hold the database lock.
//
// Every change of the file lies between an unseal (the magic written as 0)
// and a seal (the magic written back, the last write): an index that a
// crash interrupted is refused at open (9), and the stores make it anew.
#ifndef WIN95_DATABASE_CDATABASEINDEX_H
#define WIN95_DATABASE_CDATABASEINDEX_H

#include <win95/CBuffer.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "database/CDatabaseFile.h"
#include "database/DBError.h"
#include "database/DatabaseFormat.h"

class CDatabaseIndex {
public:
    // Null when memory is short.
    static std::unique_ptr<CDatabaseIndex> New();
    virtual ~CDatabaseIndex();  // closes the index, unregisters from the lock
    CDatabaseIndex(const CDatabaseIndex&) = delete;
    CDatabaseIndex& operator=(const CDatabaseIndex&) = delete;

    // Opens an existing .idx file read-write: 2 (cannot be opened), 9 (wrong
    // magic, an unsealed index, or an impossible header: key type outside 1
    // to 4, slot size not key length + 9, no buckets, bucket heads not in
    // the file, a slot cut off at the end, an overflow count that is not the
    // number of overflow slots), 7 (version not 47), 11 (the open count
    // cannot be written back).
    virtual IndexCode OpenIndex(const char* path);
    // Creates (or empties) the file with bucketCount empty head slots and
    // seals it: 6 (key type outside 1 to 4, no buckets, or a size beyond the
    // file limit; no file is made), 4 (cannot be created), 11 (a write
    // failed).
    virtual IndexCode CreateIndex(const char* path, uint32_t keyType, uint32_t keyLength,
                                  uint32_t bucketCount);
    // CreateIndex without the seal, for an index whose keys follow in an
    // IndexBatch (whose Finish seals it).
    IndexCode CreateUnsealed(const char* path, uint32_t keyType, uint32_t keyLength,
                             uint32_t bucketCount);
    // Lowers the open count in the file and closes it; 11 when the header
    // cannot be written back.
    virtual IndexCode CloseIndex();

    // An IndexBatch of one key (cut to the key length) for the record: 6
    // when the index's key type is not 2 (text), 8 when not open, 11 when a
    // write fails (the file is put back as it was).
    IndexCode InsertKey(const char* key, int32_t recordNumber);
    // The key's bucket (HashKeyBytes).
    uint32_t HashKey(const char* key) const;

    bool IsOpen() const { return m_bOpen != 0; }
    bool IsSealed() const { return m_bSealed; }
    const IndexHeader& Header() const { return m_Header; }

protected:
    explicit CDatabaseIndex(std::unique_ptr<CDatabaseFile> file);

private:
    friend class IndexBatch;

    // Writes a slot image: record number, next slot, the key and zeros.
    void FillSlot(unsigned char* slot, int32_t recordNumber, uint32_t next, const char* key,
                  size_t length) const;
    uint64_t SlotOffset(uint64_t slot) const {
        return sizeof(IndexHeader) + slot * m_Header.slotSize;
    }
    // The number the next overflow slot gets: slots in the file, at least the
    // bucket count.
    uint32_t NextOverflowSlot();
    IndexCode WriteHeader();
    IndexCode WriteEmptyBuckets();
    IndexCode Refuse(IndexCode code);  // closes the file, returns code
    // The magic as 0, and back: 4-byte writes at offset 0.
    IndexCode Unseal();
    IndexCode Seal();

    IndexHeader m_Header;
    std::unique_ptr<CDatabaseFile> m_pFile;
    int m_bOpen = 0;
    bool m_bSealed = false;
};

// The bucket of a key's first length bytes: h = (h x 64 + byte) mod bucket
// count over its bytes, unsigned, in 32-bit arithmetic. 0 for no buckets.
uint32_t HashKeyBytes(const char* key, size_t length, uint32_t bucketCount);

#endif
