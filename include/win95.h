/* WIN95.dll SDK: everything a caller of the library needs.
 *
 *   #include <win95.h>   and link WIN95.lib (Visual C++) or libWIN95.a (MinGW)
 *
 * C (C89 and later) and C++ (C++98 and later) alike: C gets the records, the
 * result codes and the exported functions; C++ also the exported classes
 * CBuffer, VLogOut and VLoggable. The parts that need no windows.h can be
 * included alone: win95/Records.h, win95/Results.h, win95/CBuffer.h,
 * win95/VLogOut.h. */
#ifndef WIN95_H
#define WIN95_H

#include "win95/Platform.h"
#include "win95/Records.h"
#include "win95/Results.h"
#include "win95/Version.h"

#ifdef _WIN32
#include "win95/Exports.h"
#endif

#ifdef __cplusplus
#include "win95/CBuffer.h"
#include "win95/VLogOut.h"
#endif

#endif
