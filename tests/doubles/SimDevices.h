// The simulated machine's dial-up devices as the scenario describes them:
// RAS devices (section [devices]), TAPI lines (section [tapi], named after
// the RAS devices unless told otherwise) and the modem defaults that the
// modem provider, TAPI and a new phonebook entry report.
#ifndef WIN95_TESTS_DOUBLES_SIMDEVICES_H
#define WIN95_TESTS_DOUBLES_SIMDEVICES_H

#include <windows.h>

#include <string>
#include <vector>

#include "dialer/platform/ModemTypes.h"

namespace doubles {

constexpr char DEFAULT_MODEM_NAME[] = "Sim Modem 28800";
constexpr DWORD DEFAULT_MAX_RATE = 115200;
constexpr DWORD DEFAULT_DCE_RATE = 28800;

struct SimDevice {
    std::string type;
    std::string name;
};

// [devices] Count (default 1), Type<i> (default "modem"), Name<i> (default
// "Sim Modem 28800" for device 0, "Sim Modem <i>" after).
std::vector<SimDevice> RasDevices();
bool IsRasDevice(const std::string& name);

struct SimLine {
    std::string name;
    DWORD maxRate;
    DWORD dceRate;
};

// [tapi] LineCount (default: the RAS device count), LineName<i> (default:
// the name of RAS device i), MaxRate<i> (115200), DCERate<i> (28800).
DWORD LineCount();
SimLine Line(DWORD index);

// The modem's default COMMCONFIG with its modem settings: DCB at the line's
// maximum rate (115200 when no line has that name), the inactivity time-out
// of [serialui] InactivityTimeout (default 0), no negotiated rate.
ModemCommConfig DefaultModemCommConfig(const std::string& modemName);
// A whole device configuration block around those defaults, with the given
// negotiated rate at byte 100.
ModemDevConfig DefaultDevConfig(const std::string& modemName, DWORD negotiatedRate);

}  // namespace doubles

#endif
