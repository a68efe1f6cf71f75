#include "dialer/ModemDefaults.h"

#include <cstddef>
#include <cstring>

#include "dialer/platform/ModemTypes.h"

static_assert(kCommConfigCapacity == 243, "COMMCONFIG room in the device configuration block");

namespace {

// A zero inactivity time-out in the modem settings becomes the default.
// The settings lie at dwProviderOffset from the COMMCONFIG; an offset that
// puts the field outside the block is left alone.
void DefaultInactivityTimeout(BYTE* commConfig) {
    DWORD providerOffset = 0;
    std::memcpy(&providerOffset, commConfig + offsetof(CommConfigFixed, dwProviderOffset),
                sizeof providerOffset);
    if (providerOffset == 0) return;
    constexpr DWORD kField = offsetof(ModemSettings, dwInactivityTimeout);
    if (providerOffset > kCommConfigCapacity - kField - sizeof(DWORD)) return;
    BYTE* timeout = commConfig + providerOffset + kField;
    DWORD value = 0;
    std::memcpy(&value, timeout, sizeof value);
    if (value != 0) return;
    value = kDefaultInactivityTimeout;
    std::memcpy(timeout, &value, sizeof value);
}

}  // namespace

COMMCONFIG* CommConfigOf(ModemConfigInfo& info) {
    return reinterpret_cast<COMMCONFIG*>(info.data + kCommConfigOffset);
}

BOOL LoadModemDefaults(ModemConfigInfo& info, const char* modemName, DWORD& size) {
    BYTE* commConfig = info.data + kCommConfigOffset;
    DWORD dwSize = kCommConfigCapacity;
    std::memcpy(commConfig + offsetof(CommConfigFixed, dwSize), &dwSize, sizeof dwSize);
    size = kCommConfigCapacity;
    if (!GetDefaultCommConfigA(modemName, CommConfigOf(info), &size)) return FALSE;
    DefaultInactivityTimeout(commConfig);
    return TRUE;
}
