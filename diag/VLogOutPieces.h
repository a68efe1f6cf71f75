// The library's own side of VLogOut: inside WIN95.dll a piece of a message
// that is not produced costs one inline test of the producing flag. Callers
// of the DLL reach the same operators through their exports, which are
// out-of-line copies of these (VLogOut.cpp). Library code includes this
// header (through diag/Logs.h) instead of <win95/VLogOut.h>.
#ifndef WIN95_DIAG_VLOGOUTPIECES_H
#define WIN95_DIAG_VLOGOUTPIECES_H

#include <win95/VLogOut.h>

// The rest of a piece once its message is produced: the implementation
// formats and writes it.
void PutLogPiece(VLogOutImp* imp, const char* text);
void PutLogPiece(VLogOutImp* imp, int value);
void PutLogPiece(VLogOutImp* imp, short value);
void PutLogPiece(VLogOutImp* imp, unsigned int value);
void PutLogPiece(VLogOutImp* imp, unsigned short value);
void PutLogPiece(VLogOutImp* imp, long value);
void PutLogPiece(VLogOutImp* imp, unsigned long value);
void PutLogPiece(VLogOutImp* imp, const void* pointer);
void PutLogPiece(VLogOutImp* imp, signed char value);
void PutLogPiece(VLogOutImp* imp, unsigned char value);

#define WIN95_VLOGOUT_PIECE(Type)                     \
    inline VLogOut& VLogOut::operator<<(Type value) { \
        if (m_bProducing) PutLogPiece(m_pImp, value); \
        return *this;                                 \
    }
WIN95_VLOGOUT_PIECE(const char*)
WIN95_VLOGOUT_PIECE(int)
WIN95_VLOGOUT_PIECE(short)
WIN95_VLOGOUT_PIECE(unsigned int)
WIN95_VLOGOUT_PIECE(unsigned short)
WIN95_VLOGOUT_PIECE(long)
WIN95_VLOGOUT_PIECE(unsigned long)
WIN95_VLOGOUT_PIECE(const void*)
WIN95_VLOGOUT_PIECE(signed char)
WIN95_VLOGOUT_PIECE(unsigned char)
#undef WIN95_VLOGOUT_PIECE

inline VLogOut& VLogOut::operator<<(const VLoggable& object) {
    if (m_bProducing) object.LogTo(*this);
    return *this;
}

#endif
