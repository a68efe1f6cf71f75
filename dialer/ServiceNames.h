// Fixed names shared by the dialing code and its peers.
#ifndef WIN95_DIALER_SERVICENAMES_H
#define WIN95_DIALER_SERVICENAMES_H

// The service's RAS phonebook entry (the service connectoid).
constexpr char kServiceConnectoidName[] = "Orvo VelTrane Service";
// Released by a dialer when its connection is up or given up; the AutoDial
// handler waits on it.
constexpr char kAutoDialSemaphoreName[] = "AutoDial Semaphore";
// The connection application the AutoDial handler starts, beside the
// library, with its switch: "Connect.exe /S".
constexpr char kConnectProgram[] = "Connect.exe";
constexpr char kConnectSwitch[] = "/S";

#endif
