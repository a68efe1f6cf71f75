// The object factory: creates the object of a class identifier.
#ifndef WIN95_API_OBJECTFACTORY_H
#define WIN95_API_OBJECTFACTORY_H

#include <windows.h>

class ApiObject;

// A new object for a known class identifier, with *status set to 0; null for
// any other identifier or when memory is short (status untouched then).
ApiObject* CreateApiObject(DWORD classId, DWORD* status);

#endif
