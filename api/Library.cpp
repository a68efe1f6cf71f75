#include "api/Library.h"

#include "api/LibraryLock.h"
#include "api/ModuleInstance.h"
#include "api/ObjectHandleTable.h"
#include "api/UnloadState.h"
#include "dialer/ActiveDialers.h"

void LibraryAttach(HINSTANCE instance) {
    SetModuleInstance(instance);
    SetUnloadState(false, false);
    LibraryLock::Create();
}

void LibraryThreadNotification(HINSTANCE instance) {
    SetModuleInstance(instance);
}

void LibraryDetach(HINSTANCE instance, bool processEnding) {
    SetModuleInstance(instance);
    SetUnloadState(true, processEnding);
    LibraryLock::Delete();
    ObjectHandleTable::DestroyAllAtUnload();
    ActiveDialers::DeleteLock();
}
