#include "dialer/DllProbe.h"

#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "diag/ScopedHandle.h"

DWORD Is32BitDllLoaded(DllProbeRecord& record) {
    char path[sizeof record.path + 1];
    CopyBounded(path, sizeof path, record.path);
    ScopedFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        DWORD error = GetLastError();
        g_Log(LOG_ERROR) << "Is32BitDllLoaded: Cannot open " << path << "Last error: " << error
                         << "\n";
        record.openedExclusively = 0;
        return 0;
    }
    record.openedExclusively = 1;
    return 0;
}
