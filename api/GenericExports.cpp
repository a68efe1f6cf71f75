// The five generic object exports (ordinals 1 to 5).
#include <win95/Exports.h>

#include "api/ObjectCall.h"
#include "api/ObjectFactory.h"

extern "C" DWORD WINAPI GetObjectHandle(DWORD classId, DWORD* handle) {
    if (!handle) return WIN95_CLASS_NOT_CREATED;
    ApiObject* object;
    DWORD status = 0;
    DWORD newHandle;
    {
        LibraryLock::Guard lock;
        object = CreateApiObject(classId, &status);
        if (!object) {
            *handle = 0;
            return status ? status : static_cast<DWORD>(WIN95_CLASS_NOT_CREATED);
        }
        newHandle = ObjectHandleTable::Insert(object);
        *handle = newHandle;
    }
    if (newHandle == 0) {
        // Destroyed outside the lock: a dialer's destructor waits 3000 ms.
        delete object;
        return WIN95_NO_FREE_HANDLE;
    }
    return WIN95_OK;
}

extern "C" DWORD WINAPI FreeObject(DWORD handle) {
    return CallAnyObject(handle, [&](ApiObject* object) -> DWORD {
        delete object;
        ObjectHandleTable::Clear(handle);
        return WIN95_OK;
    });
}

extern "C" DWORD WINAPI Set(DWORD handle, DWORD key, DWORD value) {
    return CallAnyObject(handle, [&](ApiObject* object) -> DWORD {
        if (!object->IsKeySupported(key)) return WIN95_KEY_NOT_SUPPORTED;
        return object->Set(key, value);
    });
}

extern "C" DWORD WINAPI Get(DWORD handle, DWORD key, DWORD a, DWORD b) {
    return CallAnyObject(handle, [&](ApiObject* object) -> DWORD {
        if (!object->IsKeySupported(key)) return WIN95_KEY_NOT_SUPPORTED;
        return object->Get(key, a, b);
    });
}

extern "C" DWORD WINAPI GetObjectInfo(DWORD handle, ObjectInfo* info) {
    return CallAnyObject(handle, [&](ApiObject* object) -> DWORD {
        if (!info) return WIN95_INVALID_HANDLE;
        object->CopyInfo(info);
        return WIN95_OK;
    });
}
