#include "environment/RemoveLongFilename.h"

#include <direct.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "diag/ScopedHandle.h"

namespace {

void LogAttempt(const char* path, int code) {
    g_Log(LOG_INFO) << "RemoveLongFilename: attempt to remove " << path << " returned " << code
                    << ", errno = " << errno << "\n";
}

// Removes every entry of the directory; false at the first that stays.
bool RemoveEntries(const char* directory) {
    char pattern[512];
    std::snprintf(pattern, sizeof pattern, "%s\\*", directory);
    WIN32_FIND_DATAA found;
    ScopedFind search(FindFirstFileA(pattern, &found));
    if (!search.Valid()) {
        g_Log(LOG_INFO) << "RemoveLongFilename: FindFirstFile returned INVALID_HANDLE_VALUE\n";
        return true;
    }
    do {
        char full[512];
        int length = std::snprintf(full, sizeof full, "%s\\%s", directory, found.cFileName);
        bool isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        g_Log(LOG_INFO) << (isDirectory ? "RemoveLongFilename: found a directory "
                                        : "RemoveLongFilename: found a file ")
                        << full << "\n";
        if (isDirectory &&
            (!std::strcmp(found.cFileName, ".") || !std::strcmp(found.cFileName, "..")))
            continue;
        if (length < 0 || static_cast<size_t>(length) >= sizeof RemovalRecord::path) {
            g_Log(LOG_INFO) << "RemoveLongFilename: path too long to remove: " << full << "\n";
            return false;
        }
        if (isDirectory) {
            RemovalRecord child = {};
            CopyBounded(child.path, sizeof child.path, full);
            DWORD code = RemoveLongFilename(child);
            if (code != 0) {
                LogAttempt(full, static_cast<int>(code));
                return false;
            }
        } else if (_unlink(full) != 0) {
            LogAttempt(full, -1);
            return false;
        }
    } while (FindNextFileA(search.Get(), &found));
    return true;
}

}  // namespace

DWORD RemoveLongFilename(const RemovalRecord& record) {
    char path[sizeof record.path + 1];
    CopyBounded(path, sizeof path, record.path);
    g_Log(LOG_INFO) << "RemoveLongFilename: entered " << path << "\n";

    if (record.isFile) {
        if (_unlink(path) == 0) return 0;
    } else {
        if (_rmdir(path) == 0) return 0;
        // Not empty, or access denied: empty it first and try again.
        if (errno == ENOTEMPTY || errno == EACCES) {
            RemoveEntries(path);
            if (_rmdir(path) == 0) return 0;
        }
    }
    LogAttempt(path, -1);
    return 8;
}
