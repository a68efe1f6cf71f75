// Whether a file can be opened for exclusive read/write access: a DLL that
// some process has loaded cannot.
#ifndef WIN95_DIALER_DLLPROBE_H
#define WIN95_DIALER_DLLPROBE_H

#include <windows.h>
#include <win95/Records.h>

// Always 0; the answer is in record.openedExclusively.
DWORD Is32BitDllLoaded(DllProbeRecord& record);

#endif
