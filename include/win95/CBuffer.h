/* CBuffer: the library's growable byte buffer, exported as a class (C++ only;
 * needs no windows.h). "@n" is the export's ordinal in WIN95.dll.
 *
 * A CBuffer is a handle on a reference-counted block of bytes. Copying a
 * buffer shares the block; Copy() makes the block the buffer's own before a
 * private change. Resize() and Destroy() change the shared block in place, so
 * every buffer sharing it sees the change.
 *
 * No operation blocks or locks, and the reference count is not atomic:
 * buffers that share a block must be used from one thread at a time.
 * Shortage of memory is reported only through results (null or 0); nothing
 * is thrown. */
#ifndef WIN95_CBUFFER_H
#define WIN95_CBUFFER_H

#include "Platform.h"

#ifdef __cplusplus

struct CBufferData;

class WIN95_IMPORT CBuffer {
public:
    WIN95_THISCALL CBuffer();                                /* @15 empty: no block */
    WIN95_THISCALL CBuffer(const CBuffer& other);            /* @16 shares other's block */
    CBuffer& WIN95_THISCALL operator=(const CBuffer& other); /* @17 drops own, shares other's */
    WIN95_THISCALL ~CBuffer();                               /* @18 releases the block */

    /* @19. Replaces the block with a new zero-filled one of the given size.
     * Returns its bytes (non-null also for size 0), or null: buffer empty. */
    unsigned char* WIN95_THISCALL Create(unsigned long size);
    /* @23. Replaces the block with a private byte-for-byte copy of source's
     * block. 1 on success (an empty source leaves this buffer empty); 0 when
     * memory is short, the buffer then empty. */
    int WIN95_THISCALL Copy(const CBuffer& source);
    /* @24. Makes the block private: 1 when nothing was to do or the copy was
     * made; 0 when memory is short (the block then still shared). */
    int WIN95_THISCALL Copy();
    /* @25. New size, content kept up to min(old, new), new bytes zero. 0 when
     * the buffer is empty or memory is short (block unchanged). */
    int WIN95_THISCALL Resize(unsigned long size);

    /* The three take a position inside the block (bytes .. bytes + size) and
     * a count that is cut to the bytes from the position to the end. They
     * return 1, or 0 and change nothing for an empty buffer or a position
     * outside.
     *
     * @26. Shifts the rest of the block towards the end by count (bytes
     * pushed past the end are lost), then copies count source bytes to the
     * position. */
    int WIN95_THISCALL InsertBytes(unsigned char* position, const unsigned char* source,
                                   unsigned long count);
    /* @27. Moves the bytes behind the removed range forward and sets the
     * last count bytes of the block to fill. */
    int WIN95_THISCALL RemoveBytes(unsigned char* position, unsigned long count,
                                   unsigned char fill);
    /* @28. Copies count source bytes to the position (overlap allowed). */
    int WIN95_THISCALL CopyBytes(unsigned char* position, const unsigned char* source,
                                 unsigned long count);

    /* @29. First position at or after start (block start when null) where
     * the count pattern bytes stand, not trying the last position (end -
     * count). Null when not found, for an empty buffer, a start outside the
     * block or a count of 0. */
    unsigned char* WIN95_THISCALL FindBytes(unsigned char* start, const unsigned char* pattern,
                                            unsigned long count);
    /* @39. bytes + offset for offset 0..size; null beyond or when empty. */
    unsigned char* WIN95_THISCALL GetPosition(unsigned long offset);
    /* @40. Offset of a position inside the block (0..size); 0xFFFFFFFF
     * outside or when empty. */
    unsigned long WIN95_THISCALL GetIndex(unsigned char* position) const;
    /* @41. Frees the block's bytes; the (still shared) block then has size 0. */
    void WIN95_THISCALL Destroy();
    /* @42, @43 (const). Null when empty; else position when not null, else
     * the block's bytes. */
    unsigned char* WIN95_THISCALL GetPointer(unsigned char* position = 0);
    const unsigned char* WIN95_THISCALL GetPointer(unsigned char* position = 0) const;
    /* @44. Size of the block, 0 when empty. */
    unsigned long WIN95_THISCALL GetBufferSize() const;

private:
    void Release();

    CBufferData* m_pData;
};

#endif /* __cplusplus */

#endif
