#include "tests/doubles/SimDevices.h"

#include <cstring>

#include "tests/doubles/DoubleState.h"

namespace doubles {

namespace {

std::string DefaultDeviceName(DWORD index) {
    return index == 0 ? DEFAULT_MODEM_NAME : "Sim Modem " + std::to_string(index);
}

DWORD LineMaxRateFor(const std::string& name) {
    DWORD count = LineCount();
    for (DWORD i = 0; i < count; ++i) {
        SimLine line = Line(i);
        if (lstrcmpiA(line.name.c_str(), name.c_str()) == 0) return line.maxRate;
    }
    return DEFAULT_MAX_RATE;
}

}  // namespace

std::vector<SimDevice> RasDevices() {
    DWORD count = ScenarioNumber("devices", "Count", 1);
    std::vector<SimDevice> devices;
    for (DWORD i = 0; i < count; ++i) {
        devices.push_back(
            {ScenarioText("devices", IndexedKey("Type", i).c_str(), "modem"),
             ScenarioText("devices", IndexedKey("Name", i).c_str(), DefaultDeviceName(i).c_str())});
    }
    return devices;
}

bool IsRasDevice(const std::string& name) {
    for (const SimDevice& device : RasDevices())
        if (device.name == name) return true;
    return false;
}

DWORD LineCount() {
    return ScenarioNumber("tapi", "LineCount", ScenarioNumber("devices", "Count", 1));
}

SimLine Line(DWORD index) {
    std::string deviceName = ScenarioText("devices", IndexedKey("Name", index).c_str(),
                                          DefaultDeviceName(index).c_str());
    return {ScenarioText("tapi", IndexedKey("LineName", index).c_str(), deviceName.c_str()),
            ScenarioNumber("tapi", IndexedKey("MaxRate", index).c_str(), DEFAULT_MAX_RATE),
            ScenarioNumber("tapi", IndexedKey("DCERate", index).c_str(), DEFAULT_DCE_RATE)};
}

ModemCommConfig DefaultModemCommConfig(const std::string& modemName) {
    ModemCommConfig config;
    std::memset(&config, 0, sizeof config);
    CommConfigFixed& cc = config.commConfig;
    cc.dwSize = sizeof config;
    cc.wVersion = 1;
    cc.dcb.DCBlength = sizeof(DCB);
    cc.dcb.BaudRate = LineMaxRateFor(modemName);
    cc.dcb.fBinary = 1;
    cc.dcb.fOutxCtsFlow = 1;
    cc.dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    cc.dcb.fDtrControl = DTR_CONTROL_ENABLE;
    cc.dcb.ByteSize = 8;
    cc.dcb.Parity = NOPARITY;
    cc.dcb.StopBits = ONESTOPBIT;
    cc.dcb.XonChar = 0x11;
    cc.dcb.XoffChar = 0x13;
    cc.dwProviderSubType = PST_MODEM;
    cc.dwProviderOffset = sizeof(CommConfigFixed);
    cc.dwProviderSize = sizeof(ModemSettings);
    ModemSettings& ms = config.modemSettings;
    ms.dwActualSize = sizeof(ModemSettings);
    ms.dwRequiredSize = sizeof(ModemSettings);
    ms.dwCallSetupFailTimer = 60;
    ms.dwInactivityTimeout = ScenarioNumber("serialui", "InactivityTimeout", 0);
    ms.dwSpeakerVolume = MDMVOL_MEDIUM;
    ms.dwSpeakerMode = MDMSPKR_DIAL;
    ms.dwPreferredModemOptions = MDM_COMPRESSION | MDM_ERROR_CONTROL | MDM_FLOWCONTROL_HARD;
    return config;
}

ModemDevConfig DefaultDevConfig(const std::string& modemName, DWORD negotiatedRate) {
    ModemDevConfig block;
    block.header.dwSize = sizeof block;
    block.header.dwVersion = DEVCONFIG_VERSION;
    block.header.fwOptions = DEVCONFIG_OPTION_LAUNCH_LIGHTS;
    block.header.wWaitBong = 20;
    block.config = DefaultModemCommConfig(modemName);
    block.config.modemSettings.dwNegotiatedDCERate = negotiatedRate;
    return block;
}

}  // namespace doubles
