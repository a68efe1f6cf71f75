// The modem exports: the machine's RAS devices and the configuration
// dialog of the modem that the service connectoid uses. Plain exports: no
// handle, no library lock.
#include <win95/CBuffer.h>
#include <win95/Exports.h>

#include <cstring>

#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "dialer/Connectoid.h"
#include "dialer/FieldText.h"
#include "dialer/LineDevices.h"
#include "dialer/ModemDefaults.h"
#include "dialer/RasLoader.h"
#include "dialer/platform/RasTypes.h"

namespace {

constexpr char kRasEnumDevices[] = "RasEnumDevices";
// GetModem writes the device name over this many bytes of the record.
constexpr size_t kModemNameBytes = 254;
// ModemConfig's answer for a failure whose last error is 0.
constexpr DWORD kUnknownError = 0xFFFFFFFF;

DWORD ErrorOrUnknown(DWORD error) {
    return error != 0 ? error : kUnknownError;
}

}  // namespace

extern "C" DWORD WINAPI GetNumberOfModems(DWORD* count) {
    if (!count) return WIN95_FAILED;
    RasLoader loader;
    auto enumDevices = loader.Require<RasEnumDevicesFn>(
        kRasEnumDevices, "GetNumberOfModems: Unable to get procaddress for RasEnumDevices\n");
    if (!enumDevices) return WIN95_FAILED;
    DWORD bytes = 0;
    DWORD result = enumDevices(nullptr, &bytes, count);
    if (result != 0 && result != ERROR_BUFFER_TOO_SMALL) {
        g_Log(LOG_ERROR) << "GetNumberOfModems: RasEnumDevices() failed, raserror=" << result
                         << "\n";
        return WIN95_FAILED;
    }
    return 0;
}

extern "C" DWORD WINAPI GetModem(DWORD index, ModemRecord* modem) {
    if (!modem) return WIN95_FAILED;
    RasLoader loader;
    auto enumDevices = loader.Require<RasEnumDevicesFn>(
        kRasEnumDevices, "GetModem: GetProcAddress() failed for RasEnumDevices\n");
    if (!enumDevices) return WIN95_FAILED;
    DWORD bytes = 0;
    DWORD count = 0;
    enumDevices(nullptr, &bytes, &count);
    if (count == 0) {
        g_Log(LOG_ERROR) << "GetModem: No modems installed\n";
        return WIN95_FAILED;
    }
    if (index >= count) {
        g_Log(LOG_ERROR) << "GetModem: Modem number out of range\n";
        return WIN95_FAILED;
    }
    // Room for count devices, and for whatever size RAS asked for.
    CBuffer buffer;
    RASDEVINFO* devices = nullptr;
    if (count <= MAXDWORD / sizeof(RASDEVINFO)) {
        DWORD capacity = count * sizeof(RASDEVINFO);
        devices = reinterpret_cast<RASDEVINFO*>(buffer.Create(bytes > capacity ? bytes : capacity));
    }
    if (!devices) {
        g_Log(LOG_ERROR) << "GetModem: Memory allocation failed\n";
        return WIN95_OUT_OF_MEMORY;
    }
    devices[0].dwSize = sizeof(RASDEVINFO);
    count = 0;
    DWORD result = enumDevices(devices, &bytes, &count);
    if (result != 0) {
        g_Log(LOG_ERROR) << "GetModem: RasEnumDevices() failed, raserror=" << result << "\n";
        return WIN95_FAILED;
    }
    FillBounded(modem->deviceName, kModemNameBytes,
                FieldText<sizeof devices[index].szDeviceName>(devices[index].szDeviceName).Get());

    DWORD rate = 0;
    if (!GetLineDeviceInfo(modem->deviceName, nullptr, &rate)) {
        g_Log(LOG_ERROR) << "GetModem: GetLineDeviceInfo() failed\n";
        return WIN95_FAILED;
    }
    modem->maxRate = rate;
    return 0;
}

extern "C" DWORD WINAPI ModemConfig(const char* modemName, HWND parent) {
    if (!modemName) return WIN95_FAILED;
    CBuffer saved;
    DWORD result = GetConnectoid(saved);
    if (result != 0) return result;

    // The connectoid on the chosen modem, stored before the dialog so that
    // RAS reports that modem's configuration block.
    CBuffer changed;
    if (!changed.Copy(saved)) return WIN95_OUT_OF_MEMORY;
    RASENTRY* entry = reinterpret_cast<RASENTRY*>(changed.GetPointer());
    bool otherModem = std::strcmp(FieldText<sizeof entry->szDeviceName>(entry->szDeviceName).Get(),
                                  modemName) != 0;
    CopyBounded(entry->szDeviceName, modemName);
    SetRasEntry(changed);

    // From here on a failure writes the entry back as it was read, so that a
    // failed or cancelled configuration leaves the connectoid unchanged.
    auto restore = [&saved](DWORD failure) {
        SetRasEntry(saved);
        return failure;
    };
    ModemConfigInfo info;
    result = GetModemConfigInfo(info);
    if (result != 0) return restore(result);
    if (otherModem) {
        DWORD size = 0;
        if (!LoadModemDefaults(info, modemName, size)) {
            DWORD error = GetLastError();
            g_Log(LOG_ERROR) << "ModemConfig: GetDefaultCommConfig() failed, lasterror=" << error
                             << ", dwCommConfigSize=" << size << "\n";
            return restore(ErrorOrUnknown(error));
        }
    }
    if (!CommConfigDialogA(modemName, parent, CommConfigOf(info))) {
        DWORD error = GetLastError();
        g_Log(LOG_ERROR) << "ModemConfig: CommConfigDialog() failed, lasterror=" << error << "\n";
        return restore(ErrorOrUnknown(error));
    }
    result = SetModemConfigInfo(info);
    if (result != 0) return restore(result);
    return 0;
}
