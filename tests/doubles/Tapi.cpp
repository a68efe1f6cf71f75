// The line functions of the tapi32.dll double: the scenario's lines with
// their names, rates and device configuration blocks, and scripted
// failures per call and per device. Applications and open lines live in the
// process that made them.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "dialer/platform/TapiTypes.h"
#include "tests/doubles/DoubleState.h"
#include "tests/doubles/SimDevices.h"

using namespace doubles;

namespace {

constexpr char SECTION[] = "tapi";
constexpr DWORD LOWEST_VERSION = TAPI_VERSION_1_3;
constexpr DWORD HIGHEST_VERSION = TAPI_VERSION_2_0;

std::mutex g_lock;
std::set<HLINEAPP> g_apps;
std::map<HLINE, HLINEAPP> g_lines;
ULONG_PTR g_lastHandle = 0x2000;

template <typename Handle>
Handle NewHandle() {
    return reinterpret_cast<Handle>(++g_lastHandle);
}

DWORD HandleValue(const void* handle) {
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(handle));
}

bool KnownApp(HLINEAPP app) {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_apps.count(app) != 0;
}

LONG DeviceError(const char* key, DWORD device) {
    return static_cast<LONG>(ScriptedError(SECTION, IndexedKey(key, device).c_str()));
}

DWORD FixedCapsSize(DWORD apiVersion) {
    if (apiVersion >= TAPI_VERSION_2_0) return LINEDEVCAPS_SIZE_V20;
    if (apiVersion >= TAPI_VERSION_1_4) return LINEDEVCAPS_SIZE_V14;
    return LINEDEVCAPS_SIZE_V13;
}

LONG Initialize(HLINEAPP* app, LINECALLBACK callback, DWORD* numDevs) {
    if (!app || !callback || !numDevs) return LINEERR_INVALPOINTER;
    if (LONG error = static_cast<LONG>(ScriptedError(SECTION, "InitializeError"))) return error;
    std::lock_guard<std::mutex> hold(g_lock);
    *app = NewHandle<HLINEAPP>();
    g_apps.insert(*app);
    *numDevs = LineCount();
    return 0;
}

LONG Negotiate(HLINEAPP app, DWORD device, DWORD low, DWORD high, DWORD* version,
               LINEEXTENSIONID* extension) {
    if (!KnownApp(app)) return LINEERR_INVALAPPHANDLE;
    if (!version || !extension) return LINEERR_INVALPOINTER;
    if (device >= LineCount()) return LINEERR_BADDEVICEID;
    if (LONG error = static_cast<LONG>(ScriptedError(SECTION, "NegotiateError"))) return error;
    if (low > high || low > HIGHEST_VERSION || high < LOWEST_VERSION)
        return LINEERR_INCOMPATIBLEAPIVERSION;
    *version = std::min(high, HIGHEST_VERSION);
    std::memset(extension, 0, sizeof *extension);
    return 0;
}

LONG Open(HLINEAPP app, DWORD device, HLINE* line) {
    if (!KnownApp(app)) return LINEERR_INVALAPPHANDLE;
    if (!line) return LINEERR_INVALPOINTER;
    if (device >= LineCount()) return LINEERR_BADDEVICEID;
    if (LONG error = DeviceError("OpenError", device)) return error;
    std::lock_guard<std::mutex> hold(g_lock);
    *line = NewHandle<HLINE>();
    g_lines[*line] = app;
    return 0;
}

LONG GetDevCaps(HLINEAPP app, DWORD device, DWORD apiVersion, LINEDEVCAPS* caps) {
    if (!KnownApp(app)) return LINEERR_INVALAPPHANDLE;
    if (!caps) return LINEERR_INVALPOINTER;
    if (device >= LineCount()) return LINEERR_BADDEVICEID;
    if (LONG error = DeviceError("DevCapsError", device)) return error;
    DWORD fixed = FixedCapsSize(apiVersion);
    DWORD total = caps->dwTotalSize;
    if (total < fixed) return LINEERR_STRUCTURETOOSMALL;
    SimLine line = Line(device);
    DWORD nameSize = static_cast<DWORD>(line.name.size() + 1);
    std::memset(caps, 0, fixed);
    caps->dwTotalSize = total;
    caps->dwNeededSize = fixed + nameSize;
    caps->dwUsedSize = fixed;
    caps->dwPermanentLineID = 0x100 + device;
    caps->dwStringFormat = STRINGFORMAT_ASCII;
    caps->dwAddressModes = LINEADDRESSMODE_ADDRESSID;
    caps->dwNumAddresses = 1;
    caps->dwBearerModes = LINEBEARERMODE_VOICE;
    caps->dwMaxRate = line.maxRate;
    caps->dwMediaModes = LINEMEDIAMODE_DATAMODEM | LINEMEDIAMODE_INTERACTIVEVOICE;
    caps->dwMaxNumActiveCalls = 1;
    if (total >= caps->dwNeededSize) {
        std::memcpy(reinterpret_cast<BYTE*>(caps) + fixed, line.name.c_str(), nameSize);
        caps->dwLineNameSize = nameSize;
        caps->dwLineNameOffset = fixed;
        caps->dwUsedSize = caps->dwNeededSize;
    }
    return 0;
}

LONG GetDevConfig(DWORD device, VARSTRING* config, LPCSTR deviceClass) {
    if (!config || !deviceClass) return LINEERR_INVALPOINTER;
    if (lstrcmpiA(deviceClass, TAPI_LINE_CLASS) != 0) return LINEERR_INVALDEVICECLASS;
    if (device >= LineCount()) return LINEERR_BADDEVICEID;
    if (LONG error = DeviceError("DevConfigError", device)) return error;
    DWORD total = config->dwTotalSize;
    if (total < sizeof(VARSTRING)) return LINEERR_STRUCTURETOOSMALL;
    SimLine line = Line(device);
    ModemDevConfig block = DefaultDevConfig(line.name, line.dceRate);
    std::memset(config, 0, sizeof *config);
    config->dwTotalSize = total;
    config->dwNeededSize = sizeof(VARSTRING) + sizeof block;
    config->dwUsedSize = sizeof(VARSTRING);
    config->dwStringFormat = STRINGFORMAT_BINARY;
    if (total >= config->dwNeededSize) {
        std::memcpy(reinterpret_cast<BYTE*>(config) + sizeof(VARSTRING), &block, sizeof block);
        config->dwStringOffset = sizeof(VARSTRING);
        config->dwStringSize = sizeof block;
        config->dwUsedSize = config->dwNeededSize;
    }
    return 0;
}

LONG Close(HLINE line) {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_lines.erase(line) ? 0 : LINEERR_INVALLINEHANDLE;
}

LONG Shutdown(HLINEAPP app) {
    std::lock_guard<std::mutex> hold(g_lock);
    if (!g_apps.erase(app)) return LINEERR_INVALAPPHANDLE;
    for (auto line = g_lines.begin(); line != g_lines.end();)
        line = line->second == app ? g_lines.erase(line) : std::next(line);
    return 0;
}

// The start of a line for a function on an application's device.
JournalLine DeviceLine(const char* function, HLINEAPP app, DWORD device) {
    JournalLine line(function);
    line.Hex("lineApp", HandleValue(app)).Number("device", device);
    return line;
}

// A function that takes only a handle.
template <typename Handle>
LONG JournaledByHandle(const char* function, const char* key, Handle handle,
                       LONG (*operation)(Handle)) {
    return Guarded<LONG>(LINEERR_OPERATIONFAILED, [&] {
        LONG result = operation(handle);
        JournalLine(function)
            .Hex(key, HandleValue(handle))
            .Result(static_cast<DWORD>(result))
            .Write();
        return result;
    });
}

}  // namespace

extern "C" LONG WINAPI SimLineInitialize(HLINEAPP* app, HINSTANCE instance, LINECALLBACK callback,
                                         LPCSTR appName, DWORD* numDevs) {
    return Guarded<LONG>(LINEERR_OPERATIONFAILED, [&] {
        JournalLine line("lineInitialize");
        line.Pointer("lineApp", app)
            .Pointer("instance", instance)
            .Pointer("callback", reinterpret_cast<const void*>(callback))
            .Text("appName", appName)
            .Pointer("numDevs", numDevs);
        LONG result = Initialize(app, callback, numDevs);
        line.Result(static_cast<DWORD>(result));
        if (result == 0) line.Hex("lineApp", HandleValue(*app)).Number("numDevs", *numDevs);
        line.Write();
        return result;
    });
}

extern "C" LONG WINAPI SimLineNegotiateAPIVersion(HLINEAPP app, DWORD device, DWORD low, DWORD high,
                                                  DWORD* version, LINEEXTENSIONID* extension) {
    return Guarded<LONG>(LINEERR_OPERATIONFAILED, [&] {
        JournalLine line = DeviceLine("lineNegotiateAPIVersion", app, device);
        line.Hex("low", low)
            .Hex("high", high)
            .Pointer("version", version)
            .Pointer("extensionId", extension);
        LONG result = Negotiate(app, device, low, high, version, extension);
        line.Result(static_cast<DWORD>(result));
        if (result == 0) line.Hex("version", *version);
        line.Write();
        return result;
    });
}

extern "C" LONG WINAPI SimLineOpen(HLINEAPP app, DWORD device, HLINE* lineHandle, DWORD apiVersion,
                                   DWORD extVersion, DWORD_PTR callbackInstance, DWORD privileges,
                                   DWORD mediaModes, LINECALLPARAMS* callParams) {
    return Guarded<LONG>(LINEERR_OPERATIONFAILED, [&] {
        JournalLine line = DeviceLine("lineOpen", app, device);
        line.Pointer("line", lineHandle)
            .Hex("api", apiVersion)
            .Hex("ext", extVersion)
            .Hex("instance", static_cast<DWORD>(callbackInstance))
            .Hex("privileges", privileges)
            .Hex("media", mediaModes)
            .Pointer("callParams", callParams);
        LONG result = Open(app, device, lineHandle);
        line.Result(static_cast<DWORD>(result));
        if (result == 0) line.Hex("line", HandleValue(*lineHandle));
        line.Write();
        return result;
    });
}

extern "C" LONG WINAPI SimLineGetDevCaps(HLINEAPP app, DWORD device, DWORD apiVersion,
                                         DWORD extVersion, LINEDEVCAPS* caps) {
    return Guarded<LONG>(LINEERR_OPERATIONFAILED, [&] {
        JournalLine line = DeviceLine("lineGetDevCaps", app, device);
        line.Hex("api", apiVersion).Hex("ext", extVersion).Pointer("caps", caps);
        if (caps) line.Number("totalSize", caps->dwTotalSize);
        LONG result = GetDevCaps(app, device, apiVersion, caps);
        line.Result(static_cast<DWORD>(result));
        if (result == 0)
            line.Number("neededSize", caps->dwNeededSize)
                .Number("usedSize", caps->dwUsedSize)
                .Number("maxRate", caps->dwMaxRate);
        line.Write();
        return result;
    });
}

extern "C" LONG WINAPI SimLineGetDevConfig(DWORD device, VARSTRING* config, LPCSTR deviceClass) {
    return Guarded<LONG>(LINEERR_OPERATIONFAILED, [&] {
        JournalLine line("lineGetDevConfig");
        line.Number("device", device).Pointer("config", config);
        if (config) line.Number("totalSize", config->dwTotalSize);
        line.Text("class", deviceClass);
        LONG result = GetDevConfig(device, config, deviceClass);
        line.Result(static_cast<DWORD>(result));
        if (result == 0)
            line.Number("neededSize", config->dwNeededSize).Number("usedSize", config->dwUsedSize);
        line.Write();
        return result;
    });
}

extern "C" LONG WINAPI SimLineClose(HLINE lineHandle) {
    return JournaledByHandle("lineClose", "line", lineHandle, Close);
}

extern "C" LONG WINAPI SimLineShutdown(HLINEAPP app) {
    return JournaledByHandle("lineShutdown", "lineApp", app, Shutdown);
}
