#include "environment/PathParts.h"

size_t DirectoryPartLength(const char* path) {
    size_t end = 0;
    for (size_t i = 0; path[i]; ++i) {
        if (path[i] == '\\' || path[i] == '/' || (i == 1 && path[i] == ':')) end = i + 1;
    }
    return end;
}
