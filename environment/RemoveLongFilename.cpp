#include "environment/RemoveLongFilename.h"

#include <direct.h>
#include <io.h>
#include <win95/Results.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "diag/BoundedCopy.h"
#include "diag/Logs.h"
#include "diag/ScopedHandle.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Whether the path names something below a root: "X:\" or "\\server\share\"
// followed by at least one component, and no component made of dots (".",
// "..", and "..." which the system reads as ".") or of dots and blanks.
// Anything else (empty, relative, drive-relative like "X:name", rooted
// without a drive, a root itself, a device path) could name a directory the
// caller did not mean, the root or the current directory among them.
bool IsAbsoluteBelowRoot(const char* path) {
    const char* rest = nullptr;
    if (std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        IsSeparator(path[2])) {
        rest = path + 3;
    } else if (IsSeparator(path[0]) && IsSeparator(path[1])) {
        // Server and share, then the rest; "\\.\" and "\\?\" are device
        // paths, not shares.
        const char* server = path + 2;
        size_t serverLength = std::strcspn(server, "\\/");
        if (serverLength == 0 || (serverLength == 1 && (*server == '.' || *server == '?')))
            return false;
        const char* share = server + serverLength;
        if (!IsSeparator(*share)) return false;
        ++share;
        size_t shareLength = std::strcspn(share, "\\/");
        if (shareLength == 0 || !IsSeparator(share[shareLength])) return false;
        rest = share + shareLength + 1;
    } else {
        return false;
    }
    size_t components = 0;
    while (*rest) {
        size_t length = std::strcspn(rest, "\\/");
        if (length > 0) {
            if (std::strspn(rest, ". ") >= length) return false;
            ++components;
        }
        rest += length;
        if (*rest) ++rest;
    }
    return components > 0;
}

// A directory link (junction or symbolic link): removed as a link, never
// listed, so that its target is never emptied.
bool IsDirectoryLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

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
        if (isDirectory && IsDirectoryLink(found.dwFileAttributes)) {
            if (_rmdir(full) != 0) {
                LogAttempt(full, -1);
                return false;
            }
        } else if (isDirectory) {
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
    if (!IsAbsoluteBelowRoot(path)) {
        g_Log(LOG_ERROR) << "RemoveLongFilename: refused " << path
                         << ": not an absolute path below a root\n";
        return WIN95_FAILED;
    }
    // Trailing separators would double in the paths of the entries.
    for (size_t length = std::strlen(path); IsSeparator(path[length - 1]); --length)
        path[length - 1] = '\0';

    if (record.isFile) {
        if (_unlink(path) == 0) return 0;
    } else {
        if (_rmdir(path) == 0) return 0;
        // Not empty, or access denied: empty it first and try again; a link
        // is not emptied.
        if ((errno == ENOTEMPTY || errno == EACCES) && !IsDirectoryLink(GetFileAttributesA(path))) {
            RemoveEntries(path);
            if (_rmdir(path) == 0) return 0;
        }
    }
    LogAttempt(path, -1);
    return 8;
}
