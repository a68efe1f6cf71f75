// Whether a file can be opened for exclusive read/write access: a DLL that
// some process has loaded cannot.
#ifndef WIN95_DIALER_DLLPROBE_H
#define WIN95_DIALER_DLLPROBE_H

#include <win95/Records.h>
#include <windows.h>

// Always 0; the answer is in record.openedExclusively.
DWORD Is32BitDllLoaded(DllProbeRecord& record);

#endif
