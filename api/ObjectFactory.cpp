#include "api/ObjectFactory.h"

#include <new>

#include "dialer/Win95Dialer.h"

ApiObject* CreateApiObject(DWORD classId, DWORD* status) {
    if (classId != WIN95_DIALER_CLASS_ID) return nullptr;
    ApiObject* object = new (std::nothrow) Win95Dialer();
    if (object) *status = 0;
    return object;
}
