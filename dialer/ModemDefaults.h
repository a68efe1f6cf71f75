// The modem's default settings inside the connectoid's device configuration
// block, as the connectoid code and the modem configuration export load
// them for a modem that the entry did not use before.
#ifndef WIN95_DIALER_MODEMDEFAULTS_H
#define WIN95_DIALER_MODEMDEFAULTS_H

#include <win95/DialRecords.h>
#include <windows.h>

// The block: a 12-byte header, then a COMMCONFIG of at most 243 bytes.
constexpr DWORD kDeviceConfigSize = sizeof(ModemConfigInfo::data);
constexpr DWORD kCommConfigOffset = 12;
constexpr DWORD kCommConfigCapacity = kDeviceConfigSize - kCommConfigOffset;
// Seconds; written where the modem's defaults have no inactivity time-out.
constexpr DWORD kDefaultInactivityTimeout = 2220;

// The COMMCONFIG inside the block.
COMMCONFIG* CommConfigOf(ModemConfigInfo& info);

// Overwrites the block's COMMCONFIG with the modem's defaults from
// GetDefaultCommConfigA (dwSize and size 243), then sets a zero inactivity
// time-out of its modem settings to 2220. FALSE when the defaults cannot be
// had: the platform's last error tells why. size receives what
// GetDefaultCommConfigA left in its size argument.
BOOL LoadModemDefaults(ModemConfigInfo& info, const char* modemName, DWORD& size);

#endif
