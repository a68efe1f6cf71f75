// The Windows part of the log implementation: settings from the log INI
// file, and the write path to the debugger output and the log files.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "api/UnloadState.h"
#include "diag/LogPlatform.h"
#include "diag/ScopedHandle.h"
#include "diag/VLogOutImp.h"
#include "environment/PathParts.h"

namespace {

const char kGlobalSection[] = "GlobalDebug";
const char kAppendMutexName[] = "WIN95 Log Append";
const DWORD kAppendWait = 5000;

// The setup wizard and Connect.exe (and their threads) append to the same
// log files. Moving to the end and writing must be one step for each
// writer, or pieces overwrite each other: a named mutex, the same in every
// process, is held around both. A holder that does not let go within
// kAppendWait ms (a process stopped in a debugger) is not waited for
// longer: the piece is written all the same. At process exit, when no other
// thread of the process is left and no wait may be made, it is not taken.
//
// The process opens the mutex once, on its first append, and closes it with
// the library's static objects.
std::atomic<HANDLE> g_appendMutex{nullptr};

struct AppendMutexCloser {
    ~AppendMutexCloser() {
        if (HANDLE mutex = g_appendMutex.exchange(nullptr)) CloseHandle(mutex);
    }
} g_appendMutexCloser;

HANDLE AppendMutex() {
    HANDLE mutex = g_appendMutex.load(std::memory_order_acquire);
    if (mutex) return mutex;
    HANDLE made = CreateMutexA(nullptr, FALSE, kAppendMutexName);
    if (!made || g_appendMutex.compare_exchange_strong(mutex, made)) return made;
    CloseHandle(made);  // another thread's is kept
    return mutex;
}

class AppendLock {
public:
    AppendLock() : m_mutex(ProcessEnding() ? nullptr : AppendMutex()), m_owned(false) {
        if (!m_mutex) return;
        DWORD wait = WaitForSingleObject(m_mutex, kAppendWait);
        m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~AppendLock() {
        if (m_owned) ReleaseMutex(m_mutex);
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

private:
    HANDLE m_mutex;
    bool m_owned;
};

// Appends text to a log file: an existing file is opened for reading and
// writing unless it is read-only (then it is skipped); a missing one is
// created with normal attributes. Failures are silent. The caller holds the
// AppendLock.
void AppendToFile(const char* path, const char* text, DWORD length) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return;
    DWORD disposition = attributes == INVALID_FILE_ATTRIBUTES ? OPEN_ALWAYS : OPEN_EXISTING;
    ScopedFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return;
    if (SetFilePointer(file.Get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return;
    DWORD written = 0;
    WriteFile(file.Get(), text, length, &written, nullptr);
}

// A log file path from a "LogFile" value: its file name and extension behind
// the log directory (none: relative to the current directory). Empty when the
// value has no file name.
bool FormLogFilePath(HeapText& target, const char* logDirectory, const char* value) {
    const char* name = NamePart(value);
    if (!*name) return target.Assign("");
    char path[1024];
    std::snprintf(path, sizeof path, "%s%s", logDirectory, name);
    return target.Assign(path);
}

}  // namespace

void FormatLogTime(char* out, size_t size) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::snprintf(out, size, "%02d/%02d %02d:%02d:%02d.%03d ", now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, now.wMilliseconds);
}

void DebuggerOutput(const char* text) {
    OutputDebugStringA(text);
}

// Sleep(0) would give way to threads of the same priority only.
void YieldToOtherThreads() {
    Sleep(1);
}

void VLogOutImp::LoadSettings() {
    m_IniFile.Locate();
    const char* logDirectory = m_IniFile.LogDirectory() ? m_IniFile.LogDirectory() : "";
    if (!m_pLogDirectory.Assign(logDirectory)) return;

    m_bLogActive = m_IniFile.ReadBool(kGlobalSection, "LogActive", 1);
    if (!m_bLogActive) return;
    m_nIndentSpacing = m_IniFile.ReadInt(kGlobalSection, "IndentSpacing", 4);
    m_dwGlobalDevices = m_IniFile.ReadHex(kGlobalSection, "LogDevices", 0);
    m_dwGlobalFlags = m_IniFile.ReadHex(kGlobalSection, "LogFlags", 0);

    char value[256];
    m_IniFile.ReadString(kGlobalSection, "LogFile", "setupwzd.log", value, sizeof value);
    if (!FormLogFilePath(m_pGlobalLogFile, m_pLogDirectory.Text(), value))
        m_pGlobalLogFile.Assign("");
    m_bGlobalHexBase = m_IniFile.ReadBool(kGlobalSection, "HexBase", 0);

    const char* section = m_pSectionName.Text();
    m_dwModuleDevices = m_IniFile.ReadHex(section, "LogDevices", 0);
    m_dwModuleFlags = m_IniFile.ReadHex(section, "LogFlags", 0);
    m_IniFile.ReadString(section, "LogFile", "", value, sizeof value);
    HeapText second;
    if (FormLogFilePath(second, m_pLogDirectory.Text(), value) && !second.Empty() &&
        std::strcmp(second.Text(), m_pGlobalLogFile.Text()) != 0)
        m_pSecondLogFile.Assign(second.Text());
    m_bHexMode = m_IniFile.ReadBool(section, "HexBase", 0);
}

const char* VLogOutImp::IniFileName() const {
    return m_IniFile.FullPathName();
}

void VLogOutImp::Write(const char* text) {
    unsigned long devices = m_dwGlobalDevices | m_dwModuleDevices;
    if (devices & 1) OutputDebugStringA(text);
    if (!(devices & 2)) return;

    size_t length = std::strlen(text);
    if (length == 0) return;
    size_t bare = 0;
    for (size_t i = 0; i < length; ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) ++bare;

    // Bare line feeds get a carriage return in a converted copy.
    char* converted = nullptr;
    const char* out = text;
    if (bare) {
        converted = static_cast<char*>(std::malloc(length + bare));
        if (!converted) return;
        size_t j = 0;
        for (size_t i = 0; i < length; ++i) {
            if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) converted[j++] = '\r';
            converted[j++] = text[i];
        }
        out = converted;
    }
    DWORD outLength = static_cast<DWORD>(length + bare);
    if (!m_pGlobalLogFile.Empty() || !m_pSecondLogFile.Empty()) {
        AppendLock hold;
        if (!m_pGlobalLogFile.Empty()) AppendToFile(m_pGlobalLogFile.Text(), out, outLength);
        if (!m_pSecondLogFile.Empty()) AppendToFile(m_pSecondLogFile.Text(), out, outLength);
    }
    std::free(converted);
}

int VLogOutImp::IsReadable(const void* pointer, unsigned long size) {
    return IsBadHugeReadPtr(pointer, size) ? 0 : 1;
}

int VLogOutImp::IsString(const char* text, unsigned long limit) {
    return IsBadStringPtrA(text, limit ? limit : 65534) ? 0 : 1;
}

int VLogOutImp::IsWritable(void* pointer, unsigned long size) {
    return IsBadHugeWritePtr(pointer, size) ? 0 : 1;
}
