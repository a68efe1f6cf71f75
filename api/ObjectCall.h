// The frame every exported object function runs in: the library lock held
// from start to return, the handle validated (1), and for a family function
// the object's type checked (3) before the object is called.
#ifndef WIN95_API_OBJECTCALL_H
#define WIN95_API_OBJECTCALL_H

#include "api/ApiObject.h"
#include "api/LibraryLock.h"
#include "api/ObjectHandleTable.h"

// Calls call(object) for any valid handle.
template <class Call>
DWORD CallAnyObject(DWORD handle, Call call) {
    LibraryLock::Guard lock;
    ApiObject* object = ObjectHandleTable::Lookup(handle);
    if (!object) return WIN95_INVALID_HANDLE;
    return call(object);
}

// Calls call(object) with the object as Family when its type is Type.
template <class Family, Win95ObjectType Type, class Call>
DWORD CallFamilyObject(DWORD handle, Call call) {
    return CallAnyObject(handle, [&](ApiObject* object) -> DWORD {
        if (object->GetType() != Type) return WIN95_WRONG_OBJECT_TYPE;
        return call(static_cast<Family*>(object));
    });
}

#endif
