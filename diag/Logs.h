// The library's two global log streams, constructed when the library is
// loaded and destroyed when it is unloaded (after the objects left in the
// handle table).
#ifndef WIN95_DIAG_LOGS_H
#define WIN95_DIAG_LOGS_H

#include "diag/VLogOutPieces.h"

// "Win95Dialer": dialing, line devices, modems, connectoid, AutoDial,
// account check, client settings, directory removal.
extern VLogOut g_Log;
// "Database": the database engine, its text form and the two stores.
extern VLogOut g_DbLog;

#endif
