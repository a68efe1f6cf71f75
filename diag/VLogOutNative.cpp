// The native (Linux) part of the log implementation, for the portable code's
// tests: every category is produced (unless WIN95_LOG_FLAGS names others, in
// hexadecimal) and reaches the log observer; WIN95_LOG_STDERR=1 also prints
// the pieces on standard error.
#include <sched.h>
#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "diag/LogPlatform.h"
#include "diag/VLogOutImp.h"

void FormatLogTime(char* out, size_t size) {
    timeval now;
    gettimeofday(&now, nullptr);
    tm local;
    localtime_r(&now.tv_sec, &local);
    std::snprintf(out, size, "%02d/%02d %02d:%02d:%02d.%03d ", local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(now.tv_usec / 1000));
}

void DebuggerOutput(const char* text) {
    std::fputs(text, stderr);
}

void YieldToOtherThreads() {
    sched_yield();
}

void VLogOutImp::LoadSettings() {
    m_bLogActive = 1;
    const char* flags = std::getenv("WIN95_LOG_FLAGS");
    m_dwGlobalFlags = flags ? std::strtoul(flags, nullptr, 16) : 0xFFFFFFFFUL;
    const char* toStderr = std::getenv("WIN95_LOG_STDERR");
    m_dwGlobalDevices = (toStderr && toStderr[0] == '1') ? 1 : 0;
}

const char* VLogOutImp::IniFileName() const {
    return nullptr;
}

void VLogOutImp::Write(const char* text) {
    if (m_dwGlobalDevices & 1) std::fputs(text, stderr);
}

int VLogOutImp::IsReadable(const void* pointer, unsigned long) {
    return pointer ? 1 : 0;
}
int VLogOutImp::IsString(const char* text, unsigned long) {
    return text ? 1 : 0;
}
int VLogOutImp::IsWritable(void* pointer, unsigned long) {
    return pointer ? 1 : 0;
}
