// A caller built as Visual C++ builds the kit's programs (32-bit Microsoft
// ABI: decorated names, thiscall members, constructors returning `this`),
// without a C runtime. It uses the exported classes through the SDK header
// on stack objects and reports each check on standard output; the exit code
// is the number of failed checks.
#include <win95/CBuffer.h>

extern "C" {
typedef unsigned long DWORD;
__declspec(dllimport) void* __stdcall GetStdHandle(DWORD);
__declspec(dllimport) int __stdcall WriteFile(void*, const void*, DWORD, DWORD*, void*);
__declspec(dllimport) void __stdcall ExitProcess(unsigned);

// The compiler may call these for copies and fills of its own.
void* memset(void* dest, int value, unsigned int count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    while (count--) *d++ = static_cast<unsigned char>(value);
    return dest;
}
void* memcpy(void* dest, const void* source, unsigned int count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    while (count--) *d++ = *s++;
    return dest;
}
}

namespace {

unsigned g_failures = 0;

unsigned Length(const char* text) {
    unsigned n = 0;
    while (text[n]) ++n;
    return n;
}

void Print(const char* text) {
    DWORD written;
    WriteFile(GetStdHandle(static_cast<DWORD>(-11)), text, Length(text), &written, nullptr);
}

void Check(bool ok, const char* what) {
    Print(ok ? "ok      " : "FAILED  ");
    Print(what);
    Print("\r\n");
    if (!ok) ++g_failures;
}

bool Equal(const unsigned char* bytes, const unsigned char* expected, unsigned count) {
    for (unsigned i = 0; i < count; ++i)
        if (bytes[i] != expected[i]) return false;
    return true;
}

void BufferChecks() {
    CBuffer a;
    Check(a.GetBufferSize() == 0 && a.GetPointer(nullptr) == nullptr, "CBuffer() is empty");
    unsigned char* bytes = a.Create(6);
    Check(bytes != nullptr && a.GetBufferSize() == 6, "Create(6)");
    for (unsigned char i = 0; i < 6; ++i) bytes[i] = static_cast<unsigned char>(i + 1);

    CBuffer b(a);
    Check(b.GetPointer(nullptr) == a.GetPointer(nullptr), "copy constructor shares");
    CBuffer c;
    c = a;
    Check(c.GetPointer(nullptr) == bytes, "operator= shares");
    Check(b.Copy() == 1 && b.GetPointer(nullptr) != bytes, "Copy() makes a private block");
    CBuffer d;
    Check(d.Copy(a) == 1 && d.GetBufferSize() == 6, "Copy(const CBuffer&)");

    const unsigned char removed[] = {1, 2, 5, 6, 0, 0};
    Check(a.RemoveBytes(a.GetPosition(2), 2, 0) == 1 && Equal(bytes, removed, 6),
          "RemoveBytes at 2 count 2");
    const unsigned char pair[] = {8, 9};
    const unsigned char inserted[] = {1, 8, 9, 2, 5, 6};
    Check(a.InsertBytes(a.GetPosition(1), pair, 2) == 1 && Equal(bytes, inserted, 6),
          "InsertBytes at 1");
    Check(a.CopyBytes(a.GetPosition(4), pair, 2) == 1 && bytes[4] == 8 && bytes[5] == 9,
          "CopyBytes at 4");
    Check(a.FindBytes(nullptr, pair, 2) == bytes + 1, "FindBytes finds at 1");
    Check(a.GetIndex(bytes + 6) == 6 && a.GetIndex(bytes - 1) == 0xFFFFFFFFUL, "GetIndex");
    Check(a.GetPosition(6) == bytes + 6 && a.GetPosition(7) == nullptr, "GetPosition");
    const CBuffer& constant = a;
    Check(constant.GetPointer(nullptr) == bytes, "GetPointer const");
    Check(a.GetPointer(bytes + 2) == bytes + 2, "GetPointer with a position");
    Check(a.Resize(8) == 1 && a.GetBufferSize() == 8 && c.GetBufferSize() == 8,
          "Resize changes the shared block");
    a.Destroy();
    Check(c.GetBufferSize() == 0, "Destroy frees the shared bytes");
}

}  // namespace

extern "C" int VcCallerMain() {
    BufferChecks();
    Print(g_failures ? "vcabi: FAILED\r\n" : "vcabi: all checks passed\r\n");
    ExitProcess(g_failures);
    return 0;
}
