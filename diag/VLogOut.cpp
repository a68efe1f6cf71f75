// The log stream: message starts, prefixes, pieces, and the sharing of one
// implementation between a stream and its copies.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "diag/LogPlatform.h"
#include "diag/VLogOutImp.h"
#include "diag/VLogOutPieces.h"

namespace {

// Lifecycle trace on the debugger output; fixed at build time, off.
constexpr bool kTraceLifecycle = false;

void Trace(const char* text) {
    if (kTraceLifecycle) DebuggerOutput(text);
}

// The stream's own heap copy of its module name (freed with free()).
char* CopyModuleName(const char* name) {
    size_t size = std::strlen(name) + 1;
    char* text = static_cast<char*>(std::malloc(size));
    if (text) std::memcpy(text, name, size);
    return text;
}

}  // namespace

// ---- VLoggable ---------------------------------------------------------------

VLoggable::VLoggable() = default;

VLoggable::VLoggable(const VLoggable&) {}

VLoggable::~VLoggable() = default;

VLoggable& VLoggable::operator=(const VLoggable&) {
    return *this;
}

#if defined(_WIN32) && !defined(_WIN64)
// The table's pure LogTo slot refers to the pure-virtual handler, which the
// DLL defines itself (api/PureVirtualCall.cpp).

// The table of virtual operations is emitted here, with the key function.
// Visual C++ callers know it as ??_7VLoggable@@6B@: the address of its first
// slot, past GCC's offset-to-top and type-information words.
__asm__(
    ".globl _VcVftable_VLoggable\n"
    ".set _VcVftable_VLoggable, __ZTV9VLoggable+8\n");
#endif

// ---- VLogOut -----------------------------------------------------------------

VLogOut::VLogOut() {}

VLogOut::VLogOut(const char* moduleName, const char* iniFile)
    : m_pImp(nullptr),
      m_bProducing(0),
      m_bActive(0),
      m_pModuleName(nullptr),
      m_bCopy(0),
      m_bInitialised(0) {
    Trace("Creating VLogOut\n");
    if (!moduleName || !*moduleName) {
        DebuggerOutput("INTERNAL LOGGING ERROR:  length of module name is zero.\n");
        return;
    }
    m_pModuleName = CopyModuleName(moduleName);
    if (!m_pModuleName) {
        DebuggerOutput("INTERNAL LOGGING ERROR:  Could not instantiate module name array\n");
        return;
    }
    VLogOutImp* imp = new (std::nothrow) VLogOutImp(moduleName, iniFile ? iniFile : "");
    if (!imp || !imp->Constructed()) {
        delete imp;
        DebuggerOutput("INTERNAL LOGGING ERROR:  Could not instantiate Log Implement object\n");
        return;
    }
    m_pImp = imp;
}

VLogOut::VLogOut(const VLogOut& other)
    : m_pImp(other.m_pImp),
      m_bProducing(other.m_bProducing),
      m_bActive(other.m_bActive),
      m_pModuleName(nullptr),
      m_bCopy(1),
      m_bInitialised(other.m_bInitialised) {
    Trace("Copying VLogOut\n");
    if (other.m_pModuleName) {
        m_pModuleName = CopyModuleName(other.m_pModuleName);
        if (!m_pModuleName)
            DebuggerOutput("INTERNAL LOGGING ERROR:  Could not instantiate module name array\n");
    }
    if (m_pImp) {
        Trace("Incrementing Reference Count\n");
        m_pImp->AddRef();
    }
}

VLogOut::~VLogOut() {
    Trace("Destroying VLogOut\n");
    if (m_pImp) {
        Trace("Decrementing Reference Count\n");
        m_pImp->Release();
    }
    std::free(m_pModuleName);
}

// The target takes the source's six fields: it shares the source's
// implementation (one more reference, its own dropped) and keeps its own copy
// of the module name.
VLogOut& VLogOut::operator=(const VLogOut& other) {
    if (this == &other) return *this;
    char* name = other.m_pModuleName ? CopyModuleName(other.m_pModuleName) : nullptr;
    if (other.m_pImp) other.m_pImp->AddRef();
    if (m_pImp) m_pImp->Release();
    std::free(m_pModuleName);
    m_pImp = other.m_pImp;
    m_bProducing = other.m_bProducing;
    m_bActive = other.m_bActive;
    m_pModuleName = name;
    m_bCopy = other.m_bCopy;
    m_bInitialised = other.m_bInitialised;
    return *this;
}

// Threads may start their first messages on one stream at once: each runs
// the lazy initialisation (the implementation loads its settings once, the
// others wait for that load), and the initialised flag is published only
// after the active flag, so that a thread that sees it set sees the stream's
// real activity. Both are stored and read as atomic words.
void VLogOut::LazyInit() {
    int active = 0;
    if (m_pImp) {
        m_pImp->Init();
        active = (m_pImp->GlobalFlags() || m_pImp->ModuleFlags()) ? 1 : 0;
    }
    __atomic_store_n(&m_bActive, active, __ATOMIC_RELAXED);
}

VLogOut& VLogOut::operator()(unsigned long mask, int continuation) {
    if (!__atomic_load_n(&m_bInitialised, __ATOMIC_ACQUIRE)) {
        LazyInit();
        __atomic_store_n(&m_bInitialised, 1, __ATOMIC_RELEASE);
    }
    if (!__atomic_load_n(&m_bActive, __ATOMIC_RELAXED)) return *this;
    m_pImp->SetMask(mask);
    m_bProducing = m_pImp->IsProducing();
    if (!m_bProducing) return *this;
    m_pImp->BeginMessage(continuation);
    if (continuation) return *this;
    char time[32];
    FormatLogTime(time, sizeof time);
    m_pImp->Put(static_cast<const char*>(time));
    // The prefix buffer holds 28 characters: longer module names are cut.
    char prefix[28];
    std::snprintf(prefix, sizeof prefix, "%.24s:  ", m_pModuleName ? m_pModuleName : "");
    m_pImp->Put(static_cast<const char*>(prefix));
    return *this;
}

// A piece reaches the implementation only while the message is produced;
// the piece operators (inline in diag/VLogOutPieces.h) test that.
#define VLOGOUT_PRODUCE(Type)                       \
    void PutLogPiece(VLogOutImp* imp, Type value) { \
        imp->Put(value);                            \
    }
VLOGOUT_PRODUCE(const char*)
VLOGOUT_PRODUCE(int)
VLOGOUT_PRODUCE(short)
VLOGOUT_PRODUCE(unsigned int)
VLOGOUT_PRODUCE(unsigned short)
VLOGOUT_PRODUCE(long)
VLOGOUT_PRODUCE(unsigned long)
VLOGOUT_PRODUCE(const void*)
VLOGOUT_PRODUCE(signed char)
VLOGOUT_PRODUCE(unsigned char)
#undef VLOGOUT_PRODUCE

namespace {

// The exported piece operators are the library's inline ones:
// taking their addresses keeps an out-of-line copy of each for the exports.
struct PieceOperators {
    VLogOut& (WIN95_THISCALL VLogOut::*text)(const char*) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*signedInt)(int) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*signedShort)(short) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*unsignedInt)(unsigned int) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*unsignedShort)(unsigned short) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*signedLong)(long) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*unsignedLong)(unsigned long) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*pointer)(const void*) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*signedChar)(signed char) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*unsignedChar)(unsigned char) = &VLogOut::operator<<;
    VLogOut& (WIN95_THISCALL VLogOut::*loggable)(const VLoggable&) = &VLogOut::operator<<;
};
[[gnu::used]] const PieceOperators kExportedPieces;

}  // namespace
VLogOut& VLogOut::operator<<(VLogManipulator manipulator) {
    if (manipulator) manipulator(*this);
    return *this;
}

int VLogOut::Producing() const {
    return m_bProducing;
}

void VLogOut::Hex() {
    if (m_pImp) m_pImp->Hex();
}

void VLogOut::UnHex() {
    if (m_pImp) m_pImp->UnHex();
}

void VLogOut::Indent() {
    if (m_pImp) m_pImp->Indent();
}

void VLogOut::UnIndent() {
    if (m_pImp) m_pImp->UnIndent();
}

void VLogOut::SetIndentSpacing(unsigned long) {}

const char* VLogOut::IniFileName() const {
    return m_pImp ? m_pImp->IniFileName() : nullptr;
}
