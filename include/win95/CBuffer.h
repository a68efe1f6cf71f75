// CBuffer: the library's growable byte buffer.
//
// A CBuffer is a handle on a reference-counted block of bytes. Copying a
// buffer shares the block; Copy() makes the block the buffer's own before a
// private change. Resize() and Destroy() change the shared block in place, so
// every buffer sharing it sees the change.
//
// No operation locks and the reference count is not atomic: buffers that
// share a block must be used from one thread at a time. Shortage of memory is
// reported only through results (null or 0); nothing is thrown.
#ifndef WIN95_CBUFFER_H
#define WIN95_CBUFFER_H

#include "Platform.h"

struct CBufferData;

class WIN95_IMPORT CBuffer {
public:
    CBuffer();                                 // empty: no block
    CBuffer(const CBuffer& other);             // shares other's block
    CBuffer& operator=(const CBuffer& other);  // releases own block, shares other's
    ~CBuffer();                                // releases the block

    // Replaces the block with a new zero-filled one of the given size.
    // Returns its bytes (non-null also for size 0), or null: buffer empty.
    unsigned char* Create(unsigned long size);
    // Replaces the block with a private byte-for-byte copy of source's block.
    // 1 on success (an empty source leaves this buffer empty); 0 when memory
    // is short, the buffer then empty.
    int Copy(const CBuffer& source);
    // Makes the block private: 1 when nothing was to do or the copy was
    // made; 0 when memory is short (the block then still shared).
    int Copy();
    // New size, content kept up to min(old, new), new bytes zero. 0 when the
    // buffer is empty or memory is short (block unchanged).
    int Resize(unsigned long size);

    // The three take a position inside the block (bytes .. bytes + size) and
    // a count that is cut to the bytes from the position to the end. They
    // return 0 and change nothing for an empty buffer or a position outside.
    //
    // InsertBytes: shifts the rest of the block towards the end by count
    // (bytes pushed past the end are lost), then copies count source bytes
    // to the position.
    int InsertBytes(unsigned char* position, const unsigned char* source, unsigned long count);
    // RemoveBytes: moves the bytes behind the removed range forward and sets
    // the last count bytes of the block to fill.
    int RemoveBytes(unsigned char* position, unsigned long count, unsigned char fill);
    // CopyBytes: copies count source bytes to the position (overlap allowed).
    int CopyBytes(unsigned char* position, const unsigned char* source, unsigned long count);

    // First position at or after start (block start when null) where the
    // count pattern bytes stand, not trying the last position (end - count).
    // Null when not found, for an empty buffer, a start outside the block or
    // a count of 0.
    unsigned char* FindBytes(unsigned char* start, const unsigned char* pattern,
                             unsigned long count);
    // bytes + offset for offset 0..size; null beyond or when empty.
    unsigned char* GetPosition(unsigned long offset);
    // Offset of a position inside the block (0..size); 0xFFFFFFFF outside or
    // when empty.
    unsigned long GetIndex(unsigned char* position) const;
    // Frees the block's bytes; the (still shared) block then has size 0.
    void Destroy();
    // null when empty; else position when not null, else the block's bytes.
    unsigned char* GetPointer(unsigned char* position = 0);
    const unsigned char* GetPointer(unsigned char* position = 0) const;
    // Size of the block, 0 when empty.
    unsigned long GetBufferSize() const;

private:
    void Release();

    CBufferData* m_pData;
};

#endif
