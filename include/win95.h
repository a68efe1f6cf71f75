// WIN95.dll SDK: everything a caller of the library needs.
//
//   #include <win95.h>   and link WIN95.lib (Visual C++) or libWIN95.a (MinGW)
#ifndef WIN95_H
#define WIN95_H

#include "win95/CBuffer.h"
#include "win95/Records.h"
#include "win95/Results.h"
#include "win95/VLogOut.h"

#ifdef _WIN32
#include "win95/Exports.h"
#endif

#endif
