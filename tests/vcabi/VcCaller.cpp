// A caller built as Visual C++ builds the kit's programs (32-bit Microsoft
// ABI: decorated names, thiscall members, constructors returning `this`),
// without a C runtime. It runs the class checks of the SDK (every member of
// CBuffer, VLogOut and a class derived from VLoggable) and reports each on
// standard output; the exit code is the number of failed checks. It is
// built twice: with the default calling convention and with stdcall as the
// default (/Gz), which must import the same names.
extern "C" {
typedef unsigned long DWORD;
__declspec(dllimport) void* __stdcall GetStdHandle(DWORD);
__declspec(dllimport) int __stdcall WriteFile(void*, const void*, DWORD, DWORD*, void*);
__declspec(dllimport) void __stdcall ExitProcess(unsigned);
__declspec(dllimport) DWORD __stdcall GetTempPathA(DWORD, char*);
__declspec(dllimport) int __stdcall CreateDirectoryA(const char*, void*);
__declspec(dllimport) int __stdcall SetCurrentDirectoryA(const char*);
__declspec(dllimport) int __stdcall WritePrivateProfileStringA(const char*, const char*,
                                                               const char*, const char*);
__declspec(dllimport) void* __stdcall CreateFileA(const char*, DWORD, DWORD, void*, DWORD, DWORD,
                                                  void*);
__declspec(dllimport) int __stdcall ReadFile(void*, void*, DWORD, DWORD*, void*);
__declspec(dllimport) int __stdcall CloseHandle(void*);
__declspec(dllimport) int __stdcall DeleteFileA(const char*);
__declspec(dllimport) int __stdcall RemoveDirectoryA(const char*);

// The compiler may call these for copies and fills.
void* __cdecl memset(void* dest, int value, unsigned int count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    while (count--) *d++ = static_cast<unsigned char>(value);
    return dest;
}
void* __cdecl memcpy(void* dest, const void* source, unsigned int count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    while (count--) *d++ = *s++;
    return dest;
}
}

// Referenced by the deleting destructors of the classes derived here; the
// checks create no objects on the heap.
void __cdecl operator delete(void*) noexcept {}
void __cdecl operator delete(void*, unsigned int) noexcept {}

#include "tests/sdk/ClassChecks.h"

extern "C" int __cdecl VcCallerMain() {
    ExitProcess(RunClassChecks(VCABI_CALLER_NAME));
    return 0;
}
