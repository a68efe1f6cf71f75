#include "api/ApiObject.h"

#include "diag/BoundedCopy.h"

ApiObject::ApiObject(Win95ObjectType type, DWORD classId, const char* name)
    : m_dwType(type), m_dwClassId(classId), m_szName(), m_adwSupportedKeys() {
    CopyBounded(m_szName, name);
}

ApiObject::~ApiObject() = default;

DWORD ApiObject::Set(DWORD, DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}

DWORD ApiObject::Get(DWORD, DWORD, DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}

bool ApiObject::IsKeySupported(DWORD key) const {
    if (key == 0) return true;
    for (DWORD supported : m_adwSupportedKeys) {
        if (supported == key) return true;
    }
    return false;
}

void ApiObject::CopyInfo(ObjectInfo* info) const {
    info->type = m_dwType;
    info->classId = m_dwClassId;
    FillBounded(info->name, sizeof info->name - 1, m_szName);
}

DialerObject::DialerObject(DWORD classId, const char* name)
    : ApiObject(WIN95_DIALER_OBJECT, classId, name) {}

DWORD DialerObject::Dial(DialRequest*) {
    return WIN95_NOT_IMPLEMENTED;
}

DWORD DialerObject::HangUp() {
    return WIN95_NOT_IMPLEMENTED;
}

DWORD DialerObject::GetStatus(DWORD*) {
    return WIN95_NOT_IMPLEMENTED;
}
