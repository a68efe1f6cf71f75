// Every member of the exported classes, used as a caller uses them through
// the SDK header, on stack objects: the checks that the Visual C++-ABI caller
// (tests/vcabi) and the MinGW caller (MingwCaller.cpp) both run. C++98, and
// no C runtime: the including file declares the kernel32 functions used
// here (windows.h, or its own declarations) before including it.
//
// Each check prints "ok" or "FAILED" and its name on standard output;
// FinishClassChecks() prints the summary line and returns the number of
// failed checks.
#ifndef WIN95_TESTS_SDK_CLASSCHECKS_H
#define WIN95_TESTS_SDK_CLASSCHECKS_H

#include <win95/CBuffer.h>
#include <win95/VLogOut.h>

namespace class_checks {
namespace {

unsigned g_failures = 0;

unsigned Length(const char* text) {
    unsigned n = 0;
    while (text[n]) ++n;
    return n;
}

void Print(const char* text) {
    DWORD written;
    WriteFile(GetStdHandle(static_cast<DWORD>(-11)), text, Length(text), &written, 0);
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
    Check(a.GetBufferSize() == 0 && a.GetPointer(0) == 0, "CBuffer() is empty");
    unsigned char* bytes = a.Create(6);
    Check(bytes != 0 && a.GetBufferSize() == 6, "Create(6)");
    for (unsigned char i = 0; i < 6; ++i) bytes[i] = static_cast<unsigned char>(i + 1);

    CBuffer b(a);
    Check(b.GetPointer(0) == a.GetPointer(0), "copy constructor shares");
    CBuffer c;
    c = a;
    Check(c.GetPointer(0) == bytes, "operator= shares");
    Check(b.Copy() == 1 && b.GetPointer(0) != bytes, "Copy() makes a private block");
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
    Check(a.FindBytes(0, pair, 2) == bytes + 1, "FindBytes finds at 1");
    Check(a.GetIndex(bytes + 6) == 6 && a.GetIndex(bytes - 1) == 0xFFFFFFFFUL, "GetIndex");
    Check(a.GetPosition(6) == bytes + 6 && a.GetPosition(7) == 0, "GetPosition");
    const CBuffer& constant = a;
    Check(constant.GetPointer(0) == bytes, "GetPointer const");
    Check(a.GetPointer(bytes + 2) == bytes + 2, "GetPointer with a position");
    Check(a.Resize(8) == 1 && a.GetBufferSize() == 8 && c.GetBufferSize() == 8,
          "Resize changes the shared block");
    a.Destroy();
    Check(c.GetBufferSize() == 0, "Destroy frees the shared bytes");
}

// ---- the log stream -------------------------------------------------------

// Joins texts into a fixed buffer.
struct Text {
    char data[512];
    unsigned length;
    Text() : length(0) { data[0] = 0; }
    Text& operator+=(const char* more) {
        while (*more && length + 1 < sizeof data) data[length++] = *more++;
        data[length] = 0;
        return *this;
    }
};

bool SameText(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

// A class of the caller's own that prints itself.
class Pair : public VLoggable {
public:
    Pair(int first, int second) : m_first(first), m_second(second) {}
    void LogTo(VLogOut& out) const { out << "<" << m_first << "|" << m_second << ">"; }

private:
    int m_first, m_second;
};

int g_manipulated = 0;
// The stream calls manipulators with the C calling convention, whatever
// the caller's default.
void __cdecl Manipulator(VLogOut& out) {
    ++g_manipulated;
    out << "~";
}

// The log file without its time stamps: "MM/DD hh:mm:ss.mmm " is 19
// characters, and each stamp stands right after a line end (or at the start).
void StripStamps(const char* file, unsigned length, Text& out) {
    char piece[2] = {0, 0};
    for (unsigned i = 0; i < length; ++i) {
        if ((i == 0 || file[i - 1] == '\n') && i + 19 <= length && file[i + 2] == '/' &&
            file[i + 8] == ':' && file[i + 14] == '.') {
            i += 18;
            continue;
        }
        piece[0] = file[i];
        out += piece;
    }
}

// moduleName names the stream and the log folder under the temporary folder.
void LogChecks(const char* moduleName) {
    Text dir;
    char temp[260];
    GetTempPathA(sizeof temp, temp);
    dir += temp;
    dir += moduleName;
    CreateDirectoryA(dir.data, 0);
    SetCurrentDirectoryA(dir.data);
    Text ini = dir;
    ini += "\\log.ini";
    WritePrivateProfileStringA("GlobalDebug", "LogFlags", "101", ini.data);
    WritePrivateProfileStringA("GlobalDebug", "LogDevices", "2", ini.data);
    WritePrivateProfileStringA("GlobalDebug", "LogFile", "caller.log", ini.data);
    Text logFile = dir;
    logFile += "\\caller.log";
    DeleteFileA(logFile.data);
    {
        VLogOut log(moduleName, ini.data);
        Check(log.Producing() == 0 && log.IniFileName() == 0, "VLogOut before a message");
        log(1) << "text " << -5 << " " << static_cast<short>(-2) << " " << 7u << " "
               << static_cast<unsigned short>(65535) << " " << -9L << " " << 4294967295UL << " "
               << static_cast<signed char>('A') << static_cast<unsigned char>('z') << " "
               << Pair(3, 4) << Manipulator << "\n";
        Check(log.Producing() == 1, "Producing after a message at a configured category");
        Check(log.IniFileName() && SameText(log.IniFileName(), ini.data), "IniFileName");
        log(2) << "dropped" << Manipulator;
        Check(log.Producing() == 0 && g_manipulated == 2, "manipulators run when dropped");

        VLogOut copy(log);
        copy.Hex();
        copy(256) << "copy " << 255 << "\n";
        copy.UnHex();
        copy.Indent();
        copy.UnIndent();
        copy.SetIndentSpacing(2);
        VLogOut other("Other", ini.data);
        other = copy;
        other(1, 1) << "continued " << static_cast<const void*>(0) << "\n";
        Pair a(1, 2), b(a);
        b = a;
        other(1) << b << "\n";
    }
    void* file = CreateFileA(logFile.data, 0x80000000UL, 1, 0, 3, 0x80, 0);
    static char content[2048];
    DWORD read = 0;
    ReadFile(file, content, sizeof content, &read, 0);
    CloseHandle(file);
    Text stripped;
    StripStamps(content, read, stripped);
    Text expected;
    const char* lines[] = {":  text -5 -2 7 65535 -9 4294967295 Az <3|4>~\r\n", ":  copy 0xff\r\n",
                           0, ":  <1|2>\r\n"};
    for (unsigned i = 0; i < sizeof lines / sizeof lines[0]; ++i) {
        if (lines[i]) {
            expected += moduleName;
            expected += lines[i];
        } else {
            expected += "continued @0\r\n";
        }
    }
    Check(SameText(stripped.data, expected.data), "log file bytes of every piece type");
    if (!SameText(stripped.data, expected.data)) Print(stripped.data);
    DeleteFileA(logFile.data);
    DeleteFileA(ini.data);
    SetCurrentDirectoryA(temp);
    RemoveDirectoryA(dir.data);
}

}  // namespace
}  // namespace class_checks

// Runs every check; the caller's name names its log stream and folder.
// Returns the number of failed checks.
inline unsigned RunClassChecks(const char* callerName) {
    class_checks::BufferChecks();
    class_checks::LogChecks(callerName);
    class_checks::Print(callerName);
    class_checks::Print(class_checks::g_failures ? ": FAILED\r\n" : ": all checks passed\r\n");
    return class_checks::g_failures;
}

#endif
