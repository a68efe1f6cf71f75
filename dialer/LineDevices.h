// Queries of the TAPI line device that belongs to a modem, found by its name
// (case-insensitive). TAPI is initialised for each call and shut down again.
#ifndef WIN95_DIALER_LINEDEVICES_H
#define WIN95_DIALER_LINEDEVICES_H

#include <windows.h>

// The negotiated connection (DCE) rate of the named modem's line in bit/s,
// from its device configuration; 0 on any failure. Messages begin with
// "GetDCESpeed(): ".
DWORD GetDCESpeed(const char* modemName);
// 1 when a line device of that name exists: its identifier and maximum rate
// are written to the non-null out-values. Else 0, nothing written.
int GetLineDeviceInfo(const char* modemName, DWORD* deviceId, DWORD* maxRate);

#endif
