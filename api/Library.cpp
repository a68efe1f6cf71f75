#include "api/Library.h"

#include "api/LibraryLock.h"
#include "api/ModuleInstance.h"
#include "api/ObjectHandleTable.h"

void LibraryAttach(HINSTANCE instance) {
    SetModuleInstance(instance);
    LibraryLock::Create();
}

void LibraryThreadNotification(HINSTANCE instance) {
    SetModuleInstance(instance);
}

void LibraryDetach(HINSTANCE instance) {
    SetModuleInstance(instance);
    LibraryLock::Delete();
    ObjectHandleTable::DestroyAllAtUnload();
}
