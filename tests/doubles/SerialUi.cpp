// The modem configuration provider (serialui.dll double) that kernel32's
// GetDefaultCommConfig and CommConfigDialog load: modem defaults from the
// scenario, and a configuration dialog that shows nothing and keeps,
// changes or fails as the scenario says. The entry points return a Windows
// error code (0 for success), which kernel32 turns into its BOOL and last
// error; they set the last error themselves as well.
#include <cstring>
#include <vector>

#include "tests/doubles/DoubleState.h"
#include "tests/doubles/SimDevices.h"

using namespace doubles;

namespace {

constexpr char SECTION[] = "serialui";

std::string Narrow(LPCWSTR text) {
    if (!text) return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::vector<char> buffer(size);
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer.data(), size, nullptr, nullptr);
    return buffer.data();
}

DWORD Failed(DWORD error) {
    SetLastError(error);
    return error;
}

DWORD GetDefault(const char* device, COMMCONFIG* config, DWORD* size) {
    if (!device || !config || !size) return Failed(ERROR_INVALID_PARAMETER);
    if (DWORD error = ScriptedError(SECTION, "DefaultError")) return Failed(error);
    if (!IsRasDevice(device)) return Failed(ERROR_INVALID_PARAMETER);
    ModemCommConfig defaults = DefaultModemCommConfig(device);
    if (*size < sizeof defaults) {
        *size = sizeof defaults;
        return Failed(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(config, &defaults, sizeof defaults);
    *size = sizeof defaults;
    return 0;
}

// The modem settings inside the caller's COMMCONFIG, when it declares them
// within its dwSize.
ModemSettings* ModemSettingsOf(COMMCONFIG* config) {
    DWORD offset = config->dwProviderOffset;
    if (config->dwProviderSubType != PST_MODEM || offset < sizeof(CommConfigFixed) ||
        offset > config->dwSize || config->dwSize - offset < sizeof(ModemSettings))
        return nullptr;
    return reinterpret_cast<ModemSettings*>(reinterpret_cast<BYTE*>(config) + offset);
}

DWORD Dialog(const char* device, COMMCONFIG* config) {
    if (!device || !config) return Failed(ERROR_INVALID_PARAMETER);
    if (DWORD error = ScriptedError(SECTION, "DialogError")) return Failed(error);
    if (lstrcmpiA(ScenarioText(SECTION, "Dialog", "keep").c_str(), "change") != 0) return 0;
    if (config->dwSize >= sizeof(CommConfigFixed))
        config->dcb.BaudRate = ScenarioNumber(SECTION, "DialogBaudRate", 57600);
    if (ModemSettings* settings = ModemSettingsOf(config))
        settings->dwInactivityTimeout = ScenarioNumber(SECTION, "DialogInactivityTimeout", 90);
    return 0;
}

DWORD JournaledGetDefault(const char* function, const char* device, COMMCONFIG* config,
                          DWORD* size) {
    JournalLine line(function);
    line.Text("device", device).Pointer("commConfig", config).NumberAt("size", size);
    if (config) line.Number("dwSize", config->dwSize);
    DWORD result = GetDefault(device, config, size);
    line.Result(result).NumberAt("size", size).Write();
    return result;
}

DWORD JournaledDialog(const char* function, const char* device, HWND parent, COMMCONFIG* config) {
    JournalLine line(function);
    line.Text("device", device)
        .Hex("parent", static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parent)))
        .Pointer("commConfig", config);
    if (config) line.Number("dwSize", config->dwSize);
    DWORD result = Dialog(device, config);
    line.Result(result).Write();
    return result;
}

// Wine's SetDefaultCommConfig passes this entry point's result on as its
// BOOL, unlike the other two: TRUE for success. The defaults are not kept.
DWORD JournaledSetDefault(const char* function, const char* device, COMMCONFIG* config,
                          DWORD size) {
    DWORD result = device && config ? TRUE : (Failed(ERROR_INVALID_PARAMETER), FALSE);
    JournalLine(function)
        .Text("device", device)
        .Pointer("commConfig", config)
        .Number("size", size)
        .Result(result)
        .Write();
    return result;
}

}  // namespace

extern "C" DWORD WINAPI SimDrvGetDefaultCommConfigW(LPCWSTR device, COMMCONFIG* config,
                                                    DWORD* size) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        std::string name = Narrow(device);
        return JournaledGetDefault("drvGetDefaultCommConfigW", device ? name.c_str() : nullptr,
                                   config, size);
    });
}

extern "C" DWORD WINAPI SimDrvGetDefaultCommConfigA(LPCSTR device, COMMCONFIG* config,
                                                    DWORD* size) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        return JournaledGetDefault("drvGetDefaultCommConfigA", device, config, size);
    });
}

extern "C" DWORD WINAPI SimDrvCommConfigDialogW(LPCWSTR device, HWND parent, COMMCONFIG* config) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        std::string name = Narrow(device);
        return JournaledDialog("drvCommConfigDialogW", device ? name.c_str() : nullptr, parent,
                               config);
    });
}

extern "C" DWORD WINAPI SimDrvCommConfigDialogA(LPCSTR device, HWND parent, COMMCONFIG* config) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        return JournaledDialog("drvCommConfigDialogA", device, parent, config);
    });
}

extern "C" DWORD WINAPI SimDrvSetDefaultCommConfigW(LPCWSTR device, COMMCONFIG* config,
                                                    DWORD size) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        std::string name = Narrow(device);
        return JournaledSetDefault("drvSetDefaultCommConfigW", device ? name.c_str() : nullptr,
                                   config, size);
    });
}

extern "C" DWORD WINAPI SimDrvSetDefaultCommConfigA(LPCSTR device, COMMCONFIG* config, DWORD size) {
    return Guarded<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        return JournaledSetDefault("drvSetDefaultCommConfigA", device, config, size);
    });
}
