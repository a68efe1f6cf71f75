/* Decorations of the WIN95.dll SDK: import, calling conventions, compile-time
 * layout checks. Plain C89; included by every part of the SDK.
 *
 * Callers of the DLL (Visual C++ or MinGW, C or C++) include the SDK headers
 * as they are: functions and classes are then imported from WIN95.dll. The
 * library's own sources define WIN95_BUILDING, and the native (Linux) build
 * of the portable parts has no DLL boundary at all.
 */
#ifndef WIN95_PLATFORM_H
#define WIN95_PLATFORM_H

#if defined(_WIN32) && !defined(WIN95_BUILDING)
#define WIN95_IMPORT __declspec(dllimport)
#else
#define WIN95_IMPORT
#endif

/* Calling conventions, spelt out so that a caller compiled with another
 * default (Visual C++ /Gz or /Gr, GCC -mrtd) still calls the DLL the way it
 * was built, and imports the names it exports:
 *   WIN95_STDCALL   the exported functions (arguments removed by the callee)
 *   WIN95_THISCALL  members of the exported classes (this in ECX, arguments
 *                   removed by the callee)
 *   WIN95_CDECL     functions the DLL calls back: VLogOut manipulators
 * They mean nothing off 32-bit Windows. */
#if defined(_WIN32) && !defined(_WIN64)
#define WIN95_STDCALL __stdcall
#define WIN95_THISCALL __thiscall
#define WIN95_CDECL __cdecl
#else
#define WIN95_STDCALL
#define WIN95_THISCALL
#define WIN95_CDECL
#endif

/* WIN95_STATIC_CHECK(name, condition): a compile-time check, as a
 * static_assert where the language has one (C11, C++11, Visual C++ 2010)
 * and otherwise as a typedef of an array whose size is negative when the
 * condition fails; name (an identifier) then appears in the error. */
#if defined(__cplusplus) && (__cplusplus >= 201103L || (defined(_MSC_VER) && _MSC_VER >= 1600))
#define WIN95_STATIC_CHECK(name, condition) static_assert(condition, #name)
#elif !defined(__cplusplus) && defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define WIN95_STATIC_CHECK(name, condition) _Static_assert(condition, #name)
#else
#define WIN95_STATIC_CHECK(name, condition) typedef char win95_check_##name[(condition) ? 1 : -1]
#endif

/* A record's size, and a field's byte offset in it. */
#define WIN95_CHECK_SIZE(Record, size) WIN95_STATIC_CHECK(Record##_size, sizeof(Record) == (size))
#define WIN95_CHECK_OFFSET(Record, field, offset) \
    WIN95_STATIC_CHECK(Record##_at_##offset, offsetof(Record, field) == (offset))

#endif
