// SetShellLink and GenericApi: entry points that take a caller's record and
// no handle or lock.
#include <win95/Exports.h>

#include "dialer/DllProbe.h"
#include "environment/RemoveLongFilename.h"
#include "environment/ShellLink.h"

extern "C" DWORD WINAPI SetShellLink(ShellLinkRecord* link) {
    if (!link) return WIN95_FAILED;
    return CreateShellLink(*link);
}

// Request numbers of GenericApi.
enum GenericRequest {
    kRemoveLongFilename = 1,
    kCreateServiceConnectoid = 2,
    kRemoveConnectoid = 3,
    kIs32BitDllLoaded = 4,
    kGetModemConfigInfo = 5,
    kSetModemConfigInfo = 6
};

extern "C" DWORD WINAPI GenericApi(DWORD request, void* record) {
    if (request < kRemoveLongFilename || request > kSetModemConfigInfo)
        return WIN95_NOT_IMPLEMENTED;
    if (!record) return WIN95_FAILED;
    switch (request) {
        case kRemoveLongFilename:
            return RemoveLongFilename(*static_cast<RemovalRecord*>(record));
        case kIs32BitDllLoaded:
            return Is32BitDllLoaded(*static_cast<DllProbeRecord*>(record));
        default:
            return WIN95_NOT_IMPLEMENTED;
    }
}
