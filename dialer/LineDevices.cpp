#include "dialer/LineDevices.h"

#include <win95/CBuffer.h>

#include <cstring>

#include "api/ModuleInstance.h"
#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "dialer/platform/TapiTypes.h"

namespace {

constexpr DWORD kLowestVersion = TAPI_VERSION_1_3;
constexpr DWORD kHighestVersion = TAPI_VERSION_2_0;
// Capabilities and configuration are read into buffers of this size, which
// are never enlarged.
constexpr DWORD kScratchSize = 1024;
constexpr DWORD kModemNameSize = 129;
// Every message of a lookup begins with its name.
constexpr char kSpeedPrefix[] = "GetDCESpeed(): ";
constexpr char kInfoPrefix[] = "GetLineDeviceInfo: ";

void CALLBACK IgnoreLineEvent(DWORD, DWORD, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) {}

// TAPI results are negative LONGs; the log shows them as unsigned numbers.
void LogTapiFailure(const char* prefix, const char* call, LONG result) {
    g_Log(LOG_ERROR) << prefix << call << " returned: " << static_cast<DWORD>(result) << "\n";
}

// A TAPI application for one lookup, shut down when the object goes unless
// shut down before.
class TapiSession {
public:
    TapiSession() = default;
    ~TapiSession() { Shutdown(); }
    TapiSession(const TapiSession&) = delete;
    TapiSession& operator=(const TapiSession&) = delete;

    // Initialises TAPI and agrees on one version, with line device 0, for
    // every device. Without devices there is nothing to agree with: the
    // lookup then finds no modem. False when either call fails: the failure
    // is logged after prefix and TAPI is shut down again.
    bool Start(const char* prefix, DWORD& devices, DWORD& version) {
        HLINEAPP app = nullptr;
        LONG result = lineInitialize(&app, GetModuleInstance(), IgnoreLineEvent, nullptr, &devices);
        if (result != 0) {
            LogTapiFailure(prefix, "lineInitialize", result);
            return false;
        }
        m_app = app;
        version = kHighestVersion;
        if (devices == 0) return true;
        LINEEXTENSIONID extension;
        result = lineNegotiateAPIVersion(m_app, 0, kLowestVersion, kHighestVersion, &version,
                                         &extension);
        if (result != 0) {
            Shutdown();
            LogTapiFailure(prefix, "lineNegotiateAPIVersion", result);
            return false;
        }
        return true;
    }
    void Shutdown() {
        if (m_app) lineShutdown(m_app);
        m_app = nullptr;
    }
    HLINEAPP Get() const { return m_app; }

private:
    HLINEAPP m_app = nullptr;
};

// A line opened for data-modem use, closed when the object goes unless
// closed before.
class OpenLine {
public:
    OpenLine() = default;
    ~OpenLine() { Close(); }
    OpenLine(const OpenLine&) = delete;
    OpenLine& operator=(const OpenLine&) = delete;

    LONG Open(HLINEAPP app, DWORD device, DWORD version) {
        HLINE line = nullptr;
        LONG result = lineOpen(app, device, &line, version, 0, 0, LINECALLPRIVILEGE_NONE,
                               LINEMEDIAMODE_DATAMODEM, nullptr);
        if (result == 0) m_line = line;
        return result;
    }
    void Close() {
        if (m_line) lineClose(m_line);
        m_line = nullptr;
    }

private:
    HLINE m_line = nullptr;
};

// A zero-filled scratch record of kScratchSize bytes with dwTotalSize set.
template <typename Record>
Record* NewScratch(CBuffer& buffer) {
    Record* record = reinterpret_cast<Record*>(buffer.Create(kScratchSize));
    if (record) record->dwTotalSize = kScratchSize;
    return record;
}

// Whether the line name in the capabilities (nameSize bytes at
// dwLineNameOffset, as far as they lie inside the buffer) equals name,
// letter case aside.
bool LineNameIs(const LINEDEVCAPS* caps, DWORD nameSize, const char* name) {
    DWORD offset = caps->dwLineNameOffset;
    if (offset > kScratchSize) offset = kScratchSize;
    if (nameSize > kScratchSize - offset) nameSize = kScratchSize - offset;
    char lineName[kScratchSize + 1];
    std::memcpy(lineName, reinterpret_cast<const BYTE*>(caps) + offset, nameSize);
    lineName[nameSize] = '\0';
    return _stricmp(lineName, name) == 0;
}

// The negotiated rate at byte 100 of the configuration block, which starts
// at dwStringOffset; 0 when the block would reach past the buffer.
DWORD NegotiatedRate(const VARSTRING* config) {
    constexpr DWORD kRateEnd = DEVCONFIG_DCE_RATE_OFFSET + sizeof(DWORD);
    DWORD offset = config->dwStringOffset;
    if (offset > kScratchSize - kRateEnd) return 0;
    DWORD rate = 0;
    std::memcpy(&rate, reinterpret_cast<const BYTE*>(config) + offset + DEVCONFIG_DCE_RATE_OFFSET,
                sizeof rate);
    return rate;
}

}  // namespace

DWORD GetDCESpeed(const char* modemName) {
    char name[kModemNameSize];
    CopyBounded(name, modemName);
    CBuffer configBuffer;
    CBuffer capsBuffer;
    VARSTRING* config = NewScratch<VARSTRING>(configBuffer);
    LINEDEVCAPS* caps = NewScratch<LINEDEVCAPS>(capsBuffer);
    g_Log(LOG_ENTER | LOG_ENTER_DETAIL) << kSpeedPrefix << "\n";
    if (!config || !caps) {
        g_Log(LOG_ERROR) << kSpeedPrefix << "out of memory\n";
        return 0;
    }
    config->dwStringFormat = STRINGFORMAT_BINARY;

    TapiSession tapi;
    DWORD devices = 0;
    DWORD version = 0;
    if (!tapi.Start(kSpeedPrefix, devices, version)) return 0;

    // Each device is opened and examined in turn. One that cannot be opened
    // (busy, or gone) is passed over, so that it cannot hide the modem's
    // line behind it, unless it is the modem's own line: then there is no
    // speed to read, and the log says why.
    OpenLine line;
    DWORD device = 0;
    bool found = false;
    for (; device < devices; ++device) {
        LONG opened = line.Open(tapi.Get(), device, version);
        LONG result = lineGetDevCaps(tapi.Get(), device, version, 0, caps);
        if (result != 0) {
            line.Close();
            tapi.Shutdown();
            if (opened != 0) LogTapiFailure(kSpeedPrefix, "lineOpen", opened);
            LogTapiFailure(kSpeedPrefix, "lineGetDevCaps", result);
            return 0;
        }
        bool modemsLine = LineNameIs(caps, LOWORD(caps->dwLineNameSize), name);
        if (opened != 0 && modemsLine) {
            tapi.Shutdown();
            g_Log(LOG_ERROR) << kSpeedPrefix << "The line of modem " << name
                             << " could not be opened: lineOpen returned: "
                             << static_cast<DWORD>(opened) << "\n";
            return 0;
        }
        if (opened != 0) {
            LogTapiFailure(kSpeedPrefix, "lineOpen", opened);
            continue;
        }
        if (modemsLine) {
            found = true;
            break;
        }
        line.Close();
    }
    if (!found) {
        tapi.Shutdown();
        g_Log(LOG_ERROR) << kSpeedPrefix << "Modem " << name << " not found\n";
        return 0;
    }

    g_Log(LOG_INFO) << kSpeedPrefix << "Line found\n";
    LONG result = lineGetDevConfig(device, config, TAPI_LINE_CLASS);
    if (result != 0) {
        line.Close();
        tapi.Shutdown();
        LogTapiFailure(kSpeedPrefix, "lineGetDevConfig", result);
        return 0;
    }
    DWORD speed = NegotiatedRate(config);
    line.Close();
    tapi.Shutdown();
    g_Log(LOG_INFO) << kSpeedPrefix << "Speed=" << speed << "\n";
    g_Log(LOG_LEAVE | LOG_LEAVE_DETAIL) << kSpeedPrefix << "\n";
    return speed;
}

int GetLineDeviceInfo(const char* modemName, DWORD* deviceId, DWORD* maxRate) {
    const char* name = modemName ? modemName : "";
    g_Log(LOG_ENTER | LOG_ENTER_DETAIL) << kInfoPrefix << "entry\n";
    TapiSession tapi;
    DWORD devices = 0;
    DWORD version = 0;
    if (!tapi.Start(kInfoPrefix, devices, version)) return 0;
    CBuffer capsBuffer;
    LINEDEVCAPS* caps = NewScratch<LINEDEVCAPS>(capsBuffer);
    if (!caps) {
        g_Log(LOG_ERROR) << kInfoPrefix << "out of memory\n";
        return 0;
    }

    DWORD device = 0;
    bool found = false;
    for (; device < devices; ++device) {
        LONG result = lineGetDevCaps(tapi.Get(), device, version, 0, caps);
        if (result != 0) {
            LogTapiFailure(kInfoPrefix, "lineGetDevCaps", result);
            return 0;
        }
        if (LineNameIs(caps, caps->dwLineNameSize, name)) {
            g_Log(LOG_INFO) << kInfoPrefix << "Modem " << name << " found: DeviceID=" << device
                            << " MaxDCERate=" << caps->dwMaxRate << "\n";
            found = true;
            break;
        }
    }
    tapi.Shutdown();
    if (!found) {
        g_Log(LOG_ERROR) << kInfoPrefix << "Modem " << name << " not found\n";
        return 0;
    }
    if (deviceId) *deviceId = device;
    if (maxRate) *maxRate = caps->dwMaxRate;
    g_Log(LOG_LEAVE | LOG_LEAVE_DETAIL) << kInfoPrefix << "exit\n";
    return 1;
}
