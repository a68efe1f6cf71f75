// Import and export decoration of the WIN95.dll SDK.
//
// Callers of the DLL (Visual C++ or MinGW) include the SDK headers as they
// are: functions and classes are then imported. The library's own sources
// define WIN95_BUILDING, and the native (Linux) build of the portable parts
// has no DLL boundary at all.
#ifndef WIN95_PLATFORM_H
#define WIN95_PLATFORM_H

#if defined(_WIN32) && !defined(WIN95_BUILDING)
#define WIN95_IMPORT __declspec(dllimport)
#else
#define WIN95_IMPORT
#endif

// Member functions of the exported classes use the Visual C++ member calling
// convention on 32-bit Windows; both Visual C++ and MinGW's i686 compiler use
// it by default, so nothing needs spelling out here.

#endif
