// The portable part of the log implementation: message state, reference
// counting and the formatting of every piece type.
#include "diag/VLogOutImp.h"

#include <cstdio>

#include "diag/LogPlatform.h"

namespace {

VLogObserver* g_pObserver = nullptr;

}  // namespace

void SetLogObserver(VLogObserver* observer) {
    g_pObserver = observer;
}

VLogOutImpBase::VLogOutImpBase(const char* sectionName, const char* iniName)
#ifdef _WIN32
    : m_IniFile(iniName)
#endif
{
    (void)iniName;
    m_bConstructed = m_pSectionName.Assign(sectionName) && m_pGlobalLogFile.Assign("") &&
                     m_pSecondLogFile.Assign("");
}

VLogOutImpBase::~VLogOutImpBase() = default;

VLogOutImp::VLogOutImp(const char* sectionName, const char* iniName)
    : VLogOutImpBase(sectionName, iniName) {}

VLogOutImp::~VLogOutImp() = default;

void VLogOutImp::Init() {
    int state = kUnloaded;
    if (m_loadState.compare_exchange_strong(state, kLoading, std::memory_order_acq_rel)) {
        LoadSettings();
        m_loadState.store(kLoaded, std::memory_order_release);
        return;
    }
    while (m_loadState.load(std::memory_order_acquire) != kLoaded) YieldToOtherThreads();
}

void VLogOutImp::SetMask(unsigned long mask) {
    m_dwMask = mask;
    m_bProducing = ((m_dwGlobalFlags | m_dwModuleFlags) & mask) != 0;
}

int VLogOutImp::IsProducing() {
    return m_bProducing;
}

void VLogOutImp::Indent() {
    ++m_nIndentLevel;
}

void VLogOutImp::UnIndent() {
    --m_nIndentLevel;
}

void VLogOutImp::BeginMessage(int continuation) {
    if (g_pObserver) g_pObserver->OnMessage(m_pSectionName.Text(), m_dwMask, continuation);
}

void VLogOutImp::AddRef() {
    ++m_wRefCount;
}

void VLogOutImp::Release() {
    if (--m_wRefCount == 0) delete this;
}

void VLogOutImp::Hex() {
    m_bHexMode = 1;
}

void VLogOutImp::UnHex() {
    m_bHexMode = 0;
}

void VLogOutImp::Emit(const char* text) {
    if (g_pObserver) g_pObserver->OnText(m_pSectionName.Text(), text);
    Write(text);
}

// Numbers are formatted as the 32-bit values they are on the target, also
// where the native build's long is wider.
void VLogOutImp::PutSigned(long value) {
    if (!m_bProducing) return;
    char text[32];
    if (HexOutput())
        std::snprintf(text, sizeof text, "%#lx",
                      static_cast<unsigned long>(static_cast<uint32_t>(value)));
    else
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(static_cast<int32_t>(value)));
    Emit(text);
}

void VLogOutImp::PutUnsigned(unsigned long value) {
    if (!m_bProducing) return;
    char text[32];
    std::snprintf(text, sizeof text, HexOutput() ? "%#lx" : "%lu",
                  static_cast<unsigned long>(static_cast<uint32_t>(value)));
    Emit(text);
}

void VLogOutImp::PutCharacter(int value) {
    if (!m_bProducing) return;
    char text[16];
    std::snprintf(text, sizeof text, "%c", value);
    Emit(text);
}

void VLogOutImp::Put(unsigned char value) {
    PutCharacter(value);
}
void VLogOutImp::Put(signed char value) {
    PutCharacter(value);
}
void VLogOutImp::Put(unsigned long value) {
    PutUnsigned(value);
}
void VLogOutImp::Put(long value) {
    PutSigned(value);
}
void VLogOutImp::Put(unsigned short value) {
    PutUnsigned(value);
}
void VLogOutImp::Put(unsigned int value) {
    PutUnsigned(value);
}
void VLogOutImp::Put(short value) {
    PutSigned(value);
}
void VLogOutImp::Put(int value) {
    PutSigned(value);
}

void VLogOutImp::Put(const void* pointer) {
    if (!m_bProducing) return;
    char text[32];
    std::snprintf(text, sizeof text, "@%lx",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(pointer)));
    Emit(text);
}

void VLogOutImp::Put(const char* text) {
    if (!m_bProducing || !text) return;
    Emit(text);
}
