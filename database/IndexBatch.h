// IndexBatch: the one implementation of key insertion. InsertKey is a batch
// of one; RebuildIndex puts every record's key through one batch.
//
// A batch reads the bucket heads at its first insertion, keeps them in
// memory and collects the overflow slots; Finish writes them: the file then
// holds exactly what the insertions one by one, newest first in each chain,
// would have left. The writes are made between an unseal and a seal of the
// index (FORMAT.md): an index whose change was interrupted is found unsealed
// and made anew by the store's open.
//
// Nothing else may write the index while a batch has insertions pending
// (callers hold the database lock or own the index).
#ifndef WIN95_DATABASE_INDEXBATCH_H
#define WIN95_DATABASE_INDEXBATCH_H

#include <win95/CBuffer.h>

#include <cstddef>
#include <cstdint>

#include "database/CDatabaseIndex.h"

class IndexBatch {
public:
    explicit IndexBatch(CDatabaseIndex& index) : m_Index(index) {}
    IndexBatch(const IndexBatch&) = delete;
    IndexBatch& operator=(const IndexBatch&) = delete;

    // InsertKey of the key's first length bytes (cut to the key length): 6
    // when the key type is not text, 8 not open, 1 no memory, 11 when the
    // overflow slots could not be written.
    IndexCode Insert(const char* key, size_t length, int32_t recordNumber);
    // Writes the overflow slots, the changed heads and the header, and seals
    // the index: 0, or 11 (the file is then put back as it was, as far as
    // that can be written).
    IndexCode Finish();

private:
    IndexCode Begin();
    bool AppendOverflow();
    // Unseals the index before the batch's first write.
    bool Unseal();
    // Writes the changed heads from heads (the new ones or the originals),
    // in runs of adjacent buckets.
    bool WriteHeads(const unsigned char* heads);
    IndexCode PutBack();

    CDatabaseIndex& m_Index;
    bool m_bBegun = false;
    bool m_bFailed = false;
    CBuffer m_Heads;     // the bucket heads as the insertions leave them
    CBuffer m_Original;  // and as they were read
    CBuffer m_Changed;   // one byte per bucket: 1 when its head changed
    CBuffer m_Pending;   // overflow slots not yet written
    uint32_t m_nPendingCapacity = 0;
    uint32_t m_nPending = 0;
    uint32_t m_nNextSlot = 0;      // number of the next overflow slot
    uint32_t m_nAdded = 0;         // overflow slots of this batch
    long m_nSizeBefore = 0;        // the file's size before the batch
    uint32_t m_nCountBefore = 0;   // and its overflow count
    bool m_bUnsealed = false;      // by this batch
    bool m_bSealedBefore = false;  // the index was sealed when it began
};

#endif
