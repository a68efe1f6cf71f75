// The RAS phonebook functions of the rasapi32.dll and rnaph.dll doubles.
// The export lists name them (unsuffixed, "A"-suffixed or both) after the
// Sim* symbols here.
#include <cstring>

#include "diag/BoundedCopy.h"
#include "tests/doubles/DoubleState.h"
#include "tests/doubles/Phonebook.h"
#include "tests/doubles/SimDevices.h"

using namespace doubles;

namespace {

constexpr char SECTION[] = "ras";

// What RAS reports for an empty entry name: the defaults of a new entry.
PhonebookEntry DefaultEntry() {
    PhonebookEntry entry;
    entry.entry.dwSize = sizeof(RASENTRY);
    entry.entry.dwCountryID = 1;
    entry.entry.dwCountryCode = 1;
    entry.entry.dwfNetProtocols = RASNP_Ip;
    entry.entry.dwFramingProtocol = RASFP_Ppp;
    std::vector<SimDevice> devices = RasDevices();
    if (!devices.empty()) {
        CopyBounded(entry.entry.szDeviceType, devices[0].type.c_str());
        CopyBounded(entry.entry.szDeviceName, devices[0].name.c_str());
    }
    return entry;
}

DWORD EnumDevices(RASDEVINFO* devices, DWORD* bytes, DWORD* count) {
    if (!bytes || !count) return ERROR_INVALID_PARAMETER;
    if (devices && *bytes >= sizeof(DWORD) && devices->dwSize != sizeof(RASDEVINFO))
        return ERROR_INVALID_SIZE;
    if (DWORD error = ScriptedError(SECTION, "EnumDevicesError")) return error;
    std::vector<SimDevice> list = RasDevices();
    DWORD needed = static_cast<DWORD>(list.size() * sizeof(RASDEVINFO));
    *count = static_cast<DWORD>(list.size());
    if (!devices || *bytes < needed) {
        *bytes = needed;
        return needed ? ERROR_BUFFER_TOO_SMALL : 0;
    }
    for (const SimDevice& device : list) {
        std::memset(devices, 0, sizeof *devices);
        devices->dwSize = sizeof(RASDEVINFO);
        CopyBounded(devices->szDeviceType, device.type.c_str());
        CopyBounded(devices->szDeviceName, device.name.c_str());
        ++devices;
    }
    *bytes = needed;
    return 0;
}

DWORD GetEntryProperties(LPCSTR name, RASENTRY* entryInfo, DWORD* entryInfoSize, BYTE* deviceInfo,
                         DWORD* deviceInfoSize) {
    if (!entryInfoSize || (deviceInfo && !deviceInfoSize)) return ERROR_INVALID_PARAMETER;
    PhonebookEntry entry = DefaultEntry();
    if (name && *name && !LoadEntry(name, entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    std::vector<BYTE> device = EffectiveDeviceConfig(entry);
    DWORD deviceSize = static_cast<DWORD>(device.size());
    bool entryShort = !entryInfo || *entryInfoSize < sizeof(RASENTRY);
    bool deviceShort = deviceInfo && *deviceInfoSize < deviceSize;
    if (entryShort || deviceShort) {
        *entryInfoSize = sizeof(RASENTRY);
        if (deviceInfoSize) *deviceInfoSize = deviceSize;
        return ScenarioNumber(SECTION, "SizeQueryResult", ERROR_BUFFER_TOO_SMALL);
    }
    if (entryInfo->dwSize != sizeof(RASENTRY)) return ERROR_INVALID_SIZE;
    if (DWORD error = ScriptedError(SECTION, "GetPropertiesError")) return error;
    std::memcpy(entryInfo, &entry.entry, sizeof(RASENTRY));
    *entryInfoSize = sizeof(RASENTRY);
    if (deviceInfoSize) {
        if (deviceInfo) std::memcpy(deviceInfo, device.data(), deviceSize);
        *deviceInfoSize = deviceSize;
    }
    return 0;
}

DWORD SetEntryProperties(LPCSTR name, RASENTRY* entryInfo, DWORD entryInfoSize, BYTE* deviceInfo,
                         DWORD deviceInfoSize) {
    if (!name || !*name) return ERROR_INVALID_NAME;
    if (!entryInfo) return ERROR_INVALID_PARAMETER;
    if (entryInfoSize < sizeof(RASENTRY) || entryInfo->dwSize != sizeof(RASENTRY))
        return ERROR_INVALID_SIZE;
    if (deviceInfo && deviceInfoSize > MAX_DEVICE_CONFIG) return ERROR_INVALID_SIZE;
    if (DWORD error = ScriptedError(SECTION, "SetPropertiesError")) return error;
    PhonebookEntry entry;
    LoadEntry(name, entry);  // a new entry starts empty
    std::memcpy(&entry.entry, entryInfo, sizeof(RASENTRY));
    if (deviceInfo && deviceInfoSize)
        entry.deviceConfig.assign(deviceInfo, deviceInfo + deviceInfoSize);
    SaveEntry(name, entry);
    return 0;
}

DWORD ValidateEntryName(LPCSTR name) {
    if (DWORD error = ScriptedError(SECTION, "ValidateError")) return error;
    if (!name || !*name) return ERROR_INVALID_NAME;
    return EntryExists(name) ? ERROR_ALREADY_EXISTS : 0;
}

DWORD DeleteEntry(LPCSTR name) {
    if (DWORD error = ScriptedError(SECTION, "DeleteError")) return error;
    if (!name || !*name || !EntryExists(name)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    RemoveEntry(name);
    return 0;
}

DWORD GetEntryDialParams(RASDIALPARAMS* params, BOOL* passwordSaved) {
    if (!params || !passwordSaved) return ERROR_INVALID_PARAMETER;
    if (params->dwSize != sizeof(RASDIALPARAMS)) return ERROR_INVALID_SIZE;
    if (DWORD error = ScriptedError(SECTION, "GetDialParamsError")) return error;
    PhonebookEntry entry;
    if (!LoadEntry(FieldText(params->szEntryName).c_str(), entry))
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    RASDIALPARAMS stored = entry.dialParams;
    stored.dwSize = sizeof(RASDIALPARAMS);
    std::memcpy(stored.szEntryName, params->szEntryName, sizeof stored.szEntryName);
    if (!entry.passwordSaved) std::memset(stored.szPassword, 0, sizeof stored.szPassword);
    *params = stored;
    *passwordSaved = entry.passwordSaved;
    return 0;
}

DWORD SetEntryDialParams(RASDIALPARAMS* params, BOOL removePassword) {
    if (!params) return ERROR_INVALID_PARAMETER;
    if (params->dwSize != sizeof(RASDIALPARAMS)) return ERROR_INVALID_SIZE;
    if (DWORD error = ScriptedError(SECTION, "SetDialParamsError")) return error;
    std::string name = FieldText(params->szEntryName);
    PhonebookEntry entry;
    if (!LoadEntry(name.c_str(), entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    entry.dialParams = *params;
    entry.hasDialParams = true;
    entry.passwordSaved = !removePassword;
    if (removePassword)
        std::memset(entry.dialParams.szPassword, 0, sizeof entry.dialParams.szPassword);
    SaveEntry(name.c_str(), entry);
    return 0;
}

// The arguments of RasGetEntryProperties and RasSetEntryProperties.
JournalLine PropertiesLine(const char* function, LPCSTR phonebook, LPCSTR entry,
                           const RASENTRY* entryInfo, const DWORD* entryInfoSize,
                           const BYTE* deviceInfo, const DWORD* deviceInfoSize) {
    JournalLine line(function);
    line.Text("phonebook", phonebook)
        .Text("entry", entry)
        .Pointer("entryInfo", entryInfo)
        .NumberAt("entryInfoSize", entryInfoSize)
        .Pointer("deviceInfo", deviceInfo)
        .NumberAt("deviceInfoSize", deviceInfoSize);
    return line;
}

// A function that takes only a phonebook and an entry name.
DWORD JournaledByName(const char* function, LPCSTR phonebook, LPCSTR entry,
                      DWORD (*operation)(LPCSTR)) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        DWORD result = operation(entry);
        JournalLine(function)
            .Text("phonebook", phonebook)
            .Text("entry", entry)
            .Result(result)
            .Write();
        return result;
    });
}

}  // namespace

extern "C" DWORD WINAPI SimRasEnumDevices(RASDEVINFO* devices, DWORD* bytes, DWORD* count) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        JournalLine line("RasEnumDevices");
        line.Pointer("devices", devices).NumberAt("bytes", bytes).NumberAt("count", count);
        DWORD result = EnumDevices(devices, bytes, count);
        line.Result(result).NumberAt("bytes", bytes).NumberAt("count", count).Write();
        return result;
    });
}

extern "C" DWORD WINAPI SimRasGetEntryProperties(LPCSTR phonebook, LPCSTR entry,
                                                 RASENTRY* entryInfo, DWORD* entryInfoSize,
                                                 BYTE* deviceInfo, DWORD* deviceInfoSize) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        JournalLine line = PropertiesLine("RasGetEntryProperties", phonebook, entry, entryInfo,
                                          entryInfoSize, deviceInfo, deviceInfoSize);
        DWORD result =
            GetEntryProperties(entry, entryInfo, entryInfoSize, deviceInfo, deviceInfoSize);
        line.Result(result)
            .NumberAt("entryInfoSize", entryInfoSize)
            .NumberAt("deviceInfoSize", deviceInfoSize)
            .Write();
        return result;
    });
}

extern "C" DWORD WINAPI SimRasSetEntryProperties(LPCSTR phonebook, LPCSTR entry,
                                                 RASENTRY* entryInfo, DWORD entryInfoSize,
                                                 BYTE* deviceInfo, DWORD deviceInfoSize) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        JournalLine line = PropertiesLine("RasSetEntryProperties", phonebook, entry, entryInfo,
                                          &entryInfoSize, deviceInfo, &deviceInfoSize);
        DWORD result =
            SetEntryProperties(entry, entryInfo, entryInfoSize, deviceInfo, deviceInfoSize);
        line.Result(result).Write();
        return result;
    });
}

extern "C" DWORD WINAPI SimRasValidateEntryName(LPCSTR phonebook, LPCSTR entry) {
    return JournaledByName("RasValidateEntryName", phonebook, entry, ValidateEntryName);
}

extern "C" DWORD WINAPI SimRasDeleteEntry(LPCSTR phonebook, LPCSTR entry) {
    return JournaledByName("RasDeleteEntry", phonebook, entry, DeleteEntry);
}

extern "C" DWORD WINAPI SimRasGetEntryDialParamsA(LPCSTR phonebook, RASDIALPARAMS* params,
                                                  BOOL* passwordSaved) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        JournalLine line("RasGetEntryDialParamsA");
        line.Text("phonebook", phonebook);
        if (params) line.Text("entry", FieldText(params->szEntryName).c_str());
        line.Pointer("params", params).Pointer("passwordSaved", passwordSaved);
        DWORD result = GetEntryDialParams(params, passwordSaved);
        line.Result(result);
        if (result == 0)
            JournalDialParams(line, params).Number("passwordSaved", *passwordSaved ? 1 : 0);
        line.Write();
        return result;
    });
}

extern "C" DWORD WINAPI SimRasSetEntryDialParamsA(LPCSTR phonebook, RASDIALPARAMS* params,
                                                  BOOL removePassword) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        JournalLine line("RasSetEntryDialParamsA");
        JournalDialParams(line.Text("phonebook", phonebook), params)
            .Number("removePassword", removePassword ? 1 : 0);
        DWORD result = SetEntryDialParams(params, removePassword);
        line.Result(result).Write();
        return result;
    });
}
