// IndexBatch: many InsertKey calls on one index with few writes, for
// RebuildIndex. The bucket heads are held in memory from Begin to Finish and
// the overflow slots are collected and appended in large writes; the file
// then holds exactly what the same InsertKey calls would have left.
//
// Nothing else may write the index between Begin and Finish (RebuildIndex
// holds the database lock and owns the index it has just created).
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

    // Reads the bucket heads: 8 not open, 1 no memory.
    IndexCode Begin();
    // As InsertKey of the key's first length bytes (cut to the key length):
    // 6 when the key type is not text, 11 after a failed write.
    IndexCode Insert(const char* key, size_t length, int32_t recordNumber);
    // Writes what is pending, the heads and the header: 0 or 11.
    IndexCode Finish();

private:
    bool FlushOverflow();

    CDatabaseIndex& m_Index;
    CBuffer m_Heads;
    CBuffer m_Pending;  // overflow slots not yet written
    uint32_t m_nPendingCapacity = 0;
    uint32_t m_nPending = 0;
    uint32_t m_nNextSlot = 0;  // number of the next overflow slot
    bool m_bFailed = false;
};

#endif
