// Splitting Windows paths into drive-and-directory and name-and-extension.
// Both "\" and "/" separate, and a drive "X:" belongs to the directory part.
#ifndef WIN95_ENVIRONMENT_PATHPARTS_H
#define WIN95_ENVIRONMENT_PATHPARTS_H

#include <cstddef>

// Length of the drive and directory part: up to and including the last
// separator, or the "X:" of a path like "X:name"; 0 when there is none.
size_t DirectoryPartLength(const char* path);

// The file name and extension: what follows the directory part.
inline const char* NamePart(const char* path) {
    return path + DirectoryPartLength(path);
}

#endif
