#include "dialer/RasLoader.h"

#include <cstring>

namespace {

constexpr char kRasapi32[] = "rasapi32.dll";
constexpr char kRnaph[] = "rnaph.dll";
// Longer than any RAS function name with its suffix.
constexpr size_t kMaxNameSize = 64;

// The name with the ANSI suffix, looked up in module; null when the name
// leaves no room for the suffix.
FARPROC GetSuffixedProc(HMODULE module, const char* name) {
    size_t length = std::strlen(name);
    if (length + 2 > kMaxNameSize) return nullptr;
    char suffixed[kMaxNameSize];
    std::memcpy(suffixed, name, length);
    suffixed[length] = 'A';
    suffixed[length + 1] = '\0';
    return GetProcAddress(module, suffixed);
}

}  // namespace

RasLoader::~RasLoader() {
    if (m_rasapi32) FreeLibrary(m_rasapi32);
    if (m_rnaph) FreeLibrary(m_rnaph);
}

FARPROC RasLoader::GetProc(const char* name) {
    if (!name) return nullptr;
    if (!m_rasapi32) m_rasapi32 = LoadLibraryA(kRasapi32);
    if (!m_rasapi32) return nullptr;
    if (FARPROC proc = GetProcAddress(m_rasapi32, name)) return proc;
    if (!m_rnaph) m_rnaph = LoadLibraryA(kRnaph);
    if (m_rnaph) {
        if (FARPROC proc = GetProcAddress(m_rnaph, name)) return proc;
    }
    return GetSuffixedProc(m_rasapi32, name);
}
