#include "dialer/Connectoid.h"

#include <win95/Results.h>

#include <cstring>

#include "api/ModuleInstance.h"
#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "dialer/FieldText.h"
#include "dialer/ModemDefaults.h"
#include "dialer/RasLoader.h"
#include "dialer/ServiceNames.h"
#include "dialer/platform/RasTypes.h"

namespace {

constexpr char kRasGetEntryProperties[] = "RasGetEntryProperties";
constexpr char kRasSetEntryProperties[] = "RasSetEntryProperties";
constexpr char kRasValidateEntryName[] = "RasValidateEntryName";
constexpr char kRasDeleteEntry[] = "RasDeleteEntry";

constexpr DWORD kEntryExists = ERROR_ALREADY_EXISTS;  // 183
constexpr DWORD kModulePathSize = 256;                // at most 255 characters
constexpr DWORD kEntryOptions = RASEO_SpecificNameServers | RASEO_IpHeaderCompression |
                                RASEO_RemoteDefaultGateway | RASEO_ModemLights |
                                RASEO_SwCompression;
static_assert(kEntryOptions == 0x31C, "the connectoid's options");
constexpr char kAreaCode[] = " ";
constexpr char kAutodialFunction[] = "AutoDialHandler";
constexpr char kDeviceType[] = "modem";

// A zero-filled RASENTRY buffer of the size RAS reported, with that size in
// dwSize. The block is never smaller than a whole RASENTRY, so that the
// fields can be written whatever RAS reported. Null when memory is short.
RASENTRY* NewEntry(CBuffer& buffer, DWORD size) {
    DWORD capacity = size < sizeof(RASENTRY) ? sizeof(RASENTRY) : size;
    RASENTRY* entry = reinterpret_cast<RASENTRY*>(buffer.Create(capacity));
    if (entry) entry->dwSize = size;
    return entry;
}

// The service connectoid's entry and device configuration block, read as
// the two device configuration operations read them: a size query, which
// RAS must answer with 603 (ERROR_BUFFER_TOO_SMALL), then a read into a
// zeroed entry of the reported size and a device buffer of 255 bytes. Log
// lines begin with the operation's name.
class DeviceConfigReader {
public:
    explicit DeviceConfigReader(const char* operation) : m_operation(operation) {}

    // Both RAS functions, though only the reading one is called here. 0 or 8.
    DWORD Resolve() {
        m_get = m_loader.Get<RasGetEntryPropertiesFn>(kRasGetEntryProperties);
        m_set = m_loader.Get<RasSetEntryPropertiesFn>(kRasSetEntryProperties);
        if (m_get && m_set) return 0;
        g_Log(LOG_ERROR) << m_operation << ": GetProcAddress failed\n";
        return WIN95_FAILED;
    }
    // deviceSize: the device size of the query (in), then what RAS reported
    // (out). 0 or 8.
    DWORD Read(BYTE* device, DWORD& deviceSize) {
        m_entrySize = 0;
        DWORD result =
            m_get(nullptr, kServiceConnectoidName, nullptr, &m_entrySize, nullptr, &deviceSize);
        if (result != ERROR_BUFFER_TOO_SMALL) return Failed("(1st call)", result);
        deviceSize = kDeviceConfigSize;
        m_entry = NewEntry(m_buffer, m_entrySize);
        if (!m_entry) return Failed("(allocation)", ERROR_NOT_ENOUGH_MEMORY);
        result = m_get(nullptr, kServiceConnectoidName, m_entry, &m_entrySize, device, &deviceSize);
        if (result != 0) return Failed("(2nd call)", result);
        return 0;
    }
    RASENTRY* Entry() const { return m_entry; }
    DWORD EntrySize() const { return m_entrySize; }
    RasSetEntryPropertiesFn Writer() const { return m_set; }

private:
    DWORD Failed(const char* call, DWORD result) {
        g_Log(LOG_ERROR) << m_operation << "(): RasGetEntryProperties " << call << " returned "
                         << result << "\n";
        return WIN95_FAILED;
    }

    const char* m_operation;
    RasLoader m_loader;
    RasGetEntryPropertiesFn m_get = nullptr;
    RasSetEntryPropertiesFn m_set = nullptr;
    CBuffer m_buffer;
    RASENTRY* m_entry = nullptr;
    DWORD m_entrySize = 0;
};

// The entry CreateConnectoid writes for the request.
void BuildEntry(RASENTRY& entry, const DialRequest& request, const char* modulePath,
                const char* deviceName) {
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry;
    entry.dwfOptions = kEntryOptions;
    entry.dwCountryID = 1;
    entry.dwCountryCode = 1;
    CopyBounded(entry.szAreaCode, kAreaCode);
    CopyBounded(entry.szLocalPhoneNumber, request.phoneNumber);
    std::memcpy(&entry.ipaddrDns, request.profile->DnsAddr1, sizeof entry.ipaddrDns);
    std::memcpy(&entry.ipaddrDnsAlt, request.profile->DnsAddr2, sizeof entry.ipaddrDnsAlt);
    entry.dwfNetProtocols = RASNP_Ip;
    entry.dwFramingProtocol = RASFP_Ppp;
    if (request.useScript && request.scriptPath && *request.scriptPath) {
        CopyBounded(entry.szScript, request.scriptPath);
        g_Log(LOG_INFO) << "CreateConnectoid: script file set to " << entry.szScript << "\n";
    }
    CopyBounded(entry.szAutodialDll, modulePath);
    CopyBounded(entry.szAutodialFunc, kAutodialFunction);
    CopyBounded(entry.szDeviceType, kDeviceType);
    CopyBounded(entry.szDeviceName, deviceName);
}

// Stores the service connectoid's dial parameters: the request's number,
// the profile's login name and password (kept by RAS).
DWORD StoreDialParams(const DialRequest& request) {
    RASDIALPARAMS params;
    std::memset(&params, 0, sizeof params);
    params.dwSize = sizeof params;
    CopyBounded(params.szEntryName, kServiceConnectoidName);
    CopyBounded(params.szPhoneNumber, request.phoneNumber);
    // The profile's fields need not be terminated.
    FieldText<sizeof request.profile->LoginName> user(request.profile->LoginName);
    FieldText<sizeof request.profile->Password> password(request.profile->Password);
    CopyBounded(params.szUserName, user.Get());
    CopyBounded(params.szPassword, password.Get());
    DWORD result = RasSetEntryDialParamsA(nullptr, &params, FALSE);
    SecureZeroMemory(&params, sizeof params);
    return result;
}

// Resets the service connectoid's device configuration to the modem's
// defaults. 0 or 18.
DWORD WriteModemDefaults(const char* deviceName) {
    ModemConfigInfo info;
    if (GetModemConfigInfo(info) != 0) {
        g_Log(LOG_ERROR) << "CreateConnectoid(): GetModemConfigInfo() failed\n";
        return WIN95_RAS_ENTRY_NOT_WRITTEN;
    }
    DWORD size = 0;
    if (!LoadModemDefaults(info, deviceName, size)) {
        DWORD error = GetLastError();
        g_Log(LOG_ERROR) << "CreateConnectoid(): GetDefaultCommConfig() failed, lasterror=" << error
                         << "\n";
        return WIN95_RAS_ENTRY_NOT_WRITTEN;
    }
    if (SetModemConfigInfo(info) != 0) {
        g_Log(LOG_ERROR) << "CreateConnectoid(): SetModemConfigInfo() failed\n";
        return WIN95_RAS_ENTRY_NOT_WRITTEN;
    }
    return 0;
}

}  // namespace

DWORD ConnectoidExists(const char* entryName, int* exists) {
    int found = 0;
    RasLoader loader;
    auto validate = loader.Require<RasValidateEntryNameFn>(
        kRasValidateEntryName,
        "ConnectoidExists: GetProcAddress () failed on RasValidateEntryName\n");
    if (validate && validate(nullptr, entryName) == kEntryExists) found = 1;
    if (exists) *exists = found;
    return validate ? 0 : WIN95_NO_ENTRY_VALIDATION;
}

DWORD GetConnectoid(CBuffer& entry) {
    RasLoader loader;
    auto getProperties = loader.Require<RasGetEntryPropertiesFn>(
        kRasGetEntryProperties, "GetConnectoid: GetProcAddress failed\n");
    if (!getProperties) return WIN95_FAILED;
    DWORD size = 0;
    getProperties(nullptr, kServiceConnectoidName, nullptr, &size, nullptr, nullptr);
    RASENTRY* info = NewEntry(entry, size);
    DWORD result =
        info ? getProperties(nullptr, kServiceConnectoidName, info, &size, nullptr, nullptr)
             : ERROR_NOT_ENOUGH_MEMORY;
    if (result != 0) {
        g_Log(LOG_ERROR) << "GetConnectoid: RasGetEntryProperties failed, retcode=" << result
                         << "\n";
        return WIN95_FAILED;
    }
    return 0;
}

DWORD SetRasEntry(CBuffer& entry) {
    RasLoader loader;
    auto setProperties = loader.Require<RasSetEntryPropertiesFn>(
        kRasSetEntryProperties, "SetRasEntry: GetProcAddress () failed on RasSetEntryProperties\n");
    if (!setProperties) return WIN95_RAS_ENTRY_NOT_WRITTEN;
    // RAS reads a whole RASENTRY from the buffer.
    DWORD result = entry.GetBufferSize() < sizeof(RASENTRY)
                       ? ERROR_INVALID_SIZE
                       : setProperties(nullptr, kServiceConnectoidName,
                                       reinterpret_cast<RASENTRY*>(entry.GetPointer()),
                                       sizeof(RASENTRY), nullptr, 0);
    if (result != 0) {
        g_Log(LOG_ERROR) << "SetRasEntry: RasSetEntryProperties() failed, raserror=" << result
                         << "\n";
        return WIN95_RAS_ENTRY_NOT_WRITTEN;
    }
    return 0;
}

DWORD GetModemConfigInfo(ModemConfigInfo& info) {
    info.size = 0;
    DeviceConfigReader reader("GetModemConfigInfo");
    DWORD result = reader.Resolve();
    if (result != 0) return result;
    DWORD size = info.size;
    result = reader.Read(info.data, size);
    info.size = size;
    return result;
}

DWORD SetModemConfigInfo(const ModemConfigInfo& info) {
    DeviceConfigReader reader("SetModemConfigInfo");
    DWORD result = reader.Resolve();
    if (result != 0) return result;
    // The record's data hold at most 255 bytes.
    DWORD size = info.size;
    if (size > kDeviceConfigSize) {
        g_Log(LOG_ERROR) << "SetModemConfigInfo: data size " << size << " exceeds "
                         << kDeviceConfigSize << "\n";
        return WIN95_FAILED;
    }
    BYTE current[kDeviceConfigSize] = {};
    DWORD currentSize = 0;
    result = reader.Read(current, currentSize);
    if (result != 0) return result;
    if (currentSize != size) {
        g_Log(LOG_ERROR) << "SetModemConfigInfo: data size mismatch, arg=" << size
                         << " prop=" << currentSize << " (ignored)\n";
    }
    RASENTRY* entry = reader.Entry();
    CopyBounded(entry->szAreaCode, kAreaCode);
    BYTE data[kDeviceConfigSize];
    std::memcpy(data, info.data, sizeof data);
    result =
        reader.Writer()(nullptr, kServiceConnectoidName, entry, reader.EntrySize(), data, size);
    if (result != 0) {
        g_Log(LOG_ERROR) << "SetModemConfigInfo(): RasSetEntryProperties returned " << result
                         << "\n";
        return WIN95_FAILED;
    }
    return 0;
}

DWORD CreateConnectoid(const char* entryName, const DialRequest& request) {
    if (!entryName || !request.profile || !request.modem) {
        g_Log(LOG_ERROR) << "CreateConnectoid: incomplete dial request\n";
        return WIN95_FAILED;
    }
    char modulePath[kModulePathSize];
    DWORD length = GetModuleFileNameA(GetModuleInstance(), modulePath, kModulePathSize);
    if (length == 0 || length >= kModulePathSize) {
        g_Log(LOG_ERROR) << "CreateConnectoid: GetModuleFileName() failed\n";
        return WIN95_FAILED;
    }
    modulePath[length] = '\0';

    int exists = 0;
    if (ConnectoidExists(entryName, &exists) != 0) {
        g_Log(LOG_ERROR) << "CreateConnectoid: ConnectoidExists() failed\n";
        return WIN95_FAILED;
    }
    // The device name as the entry will hold it, cut to its field.
    FieldText<sizeof request.modem->deviceName> requested(request.modem->deviceName);
    char deviceName[RAS_MaxDeviceName + 1];
    CopyBounded(deviceName, requested.Get());
    bool modemChanged = true;
    if (exists) {
        CBuffer stored;
        DWORD code = GetConnectoid(stored);
        if (code != 0) {
            g_Log(LOG_ERROR) << "CreateConnectoid: GetRasEntry() failed, return=" << code << "\n";
            return WIN95_FAILED;
        }
        const RASENTRY* entry = reinterpret_cast<const RASENTRY*>(stored.GetPointer());
        FieldText<sizeof entry->szDeviceName> storedName(entry->szDeviceName);
        modemChanged = std::strcmp(storedName.Get(), deviceName) != 0;
    }

    RASENTRY entry;
    BuildEntry(entry, request, modulePath, deviceName);
    RasLoader loader;
    auto setProperties = loader.Require<RasSetEntryPropertiesFn>(
        kRasSetEntryProperties,
        "CreateConnectoid: GetProcAddress () failed on RasSetEntryProperties\n");
    if (!setProperties) return WIN95_RAS_ENTRY_NOT_WRITTEN;
    DWORD result = setProperties(nullptr, entryName, &entry, sizeof entry, nullptr, 0);
    if (result != 0) {
        g_Log(LOG_ERROR) << "CreateConnectoid: RasSetEntryProperties() failed, raserror=" << result
                         << "\n";
        return WIN95_RAS_ENTRY_NOT_WRITTEN;
    }
    result = StoreDialParams(request);
    if (result != 0) {
        g_Log(LOG_ERROR) << "CreateConnectoid(): RasSetEntryDialParams() failed, error=" << result
                         << "\n";
        return WIN95_RAS_ENTRY_NOT_WRITTEN;
    }
    if (!modemChanged) return 0;
    return WriteModemDefaults(entry.szDeviceName);
}

DWORD RemoveConnectoid(const char* entryName) {
    RasLoader loader;
    auto deleteEntry = loader.Require<RasDeleteEntryFn>(
        kRasDeleteEntry, "RemoveConnectoid: GetProcAddress failed for RasDeleteEntry\n");
    if (!deleteEntry) return WIN95_FAILED;
    DWORD result = deleteEntry(nullptr, entryName);
    if (result != 0) {
        g_Log(LOG_ERROR) << "RemoveConnectoid: RasDeleteEntry failed, raserror=" << result << "\n";
        return WIN95_FAILED;
    }
    return 0;
}
