#include "api/UnloadState.h"

namespace {
bool g_bUnloading = false;
bool g_bProcessEnding = false;
}  // namespace

bool LibraryUnloading() {
    return g_bUnloading;
}

bool ProcessEnding() {
    return g_bProcessEnding;
}

void SetUnloadState(bool unloading, bool processEnding) {
    g_bUnloading = unloading;
    g_bProcessEnding = processEnding;
}
