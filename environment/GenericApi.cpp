// SetShellLink and GenericApi: entry points that take a caller's record and
// no handle or lock.
#include <win95/Exports.h>

#include <cstring>

#include "diag/BoundedCopy.h"
#include "dialer/Connectoid.h"
#include "dialer/DllProbe.h"
#include "dialer/FieldText.h"
#include "dialer/ServiceNames.h"
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

namespace {

// The service connectoid from the flat record: its name goes into the
// record first, whatever becomes of the creation.
DWORD CreateServiceConnectoid(ConnectoidCreationRecord& record) {
    CopyBounded(record.entryName, kServiceConnectoidName);

    ProfileRecord profile = {};
    CopyBounded(profile.LoginName, FieldText<sizeof record.loginName>(record.loginName).Get());
    CopyBounded(profile.Password, FieldText<sizeof record.password>(record.password).Get());
    std::memcpy(profile.DnsAddr1, record.dnsPrimary, sizeof profile.DnsAddr1);
    std::memcpy(profile.DnsAddr2, record.dnsSecondary, sizeof profile.DnsAddr2);
    ModemRecord modem = {};
    CopyBounded(modem.deviceName, FieldText<sizeof record.deviceName>(record.deviceName).Get());
    FieldText<sizeof record.phoneNumber> phoneNumber(record.phoneNumber);
    FieldText<sizeof record.scriptPath> scriptPath(record.scriptPath);

    DialRequest request = {};
    request.phoneNumber = phoneNumber.Get();
    request.profile = &profile;
    request.modem = &modem;
    request.scriptPath = scriptPath.Get();
    request.useScript = *scriptPath.Get() ? 1 : 0;
    DWORD result = CreateConnectoid(record.entryName, request);
    SecureZeroMemory(profile.Password, sizeof profile.Password);
    return result;
}

}  // namespace

extern "C" DWORD WINAPI GenericApi(DWORD request, void* record) {
    if (request < kRemoveLongFilename || request > kSetModemConfigInfo)
        return WIN95_NOT_IMPLEMENTED;
    if (!record) return WIN95_FAILED;
    switch (request) {
        case kRemoveLongFilename:
            return RemoveLongFilename(*static_cast<RemovalRecord*>(record));
        case kCreateServiceConnectoid:
            return CreateServiceConnectoid(*static_cast<ConnectoidCreationRecord*>(record));
        case kRemoveConnectoid:
            return RemoveConnectoid(static_cast<const char*>(record));
        case kIs32BitDllLoaded:
            return Is32BitDllLoaded(*static_cast<DllProbeRecord*>(record));
        case kGetModemConfigInfo:
            return GetModemConfigInfo(*static_cast<ModemConfigInfo*>(record));
        case kSetModemConfigInfo:
            return SetModemConfigInfo(*static_cast<const ModemConfigInfo*>(record));
        default:
            return WIN95_NOT_IMPLEMENTED;
    }
}
