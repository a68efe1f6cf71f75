// Base classes of every object a handle can refer to.
//
// ApiObject carries the type, the class identifier, a name of at most 127
// characters and 20 supported-key entries (all 0: only key 0 passes the key
// check). Its virtual slots are, in order: destructor, Set, Get. DialerObject
// (type 3) adds Dial, HangUp and GetStatus. Operations that a class does not
// implement answer WIN95_NOT_IMPLEMENTED (6).
#ifndef WIN95_API_APIOBJECT_H
#define WIN95_API_APIOBJECT_H

#include <win95/Records.h>
#include <win95/Results.h>
#include <windows.h>

struct DialRequest;

class ApiObject {
public:
    ApiObject(Win95ObjectType type, DWORD classId, const char* name);
    virtual ~ApiObject();
    ApiObject(const ApiObject&) = delete;
    ApiObject& operator=(const ApiObject&) = delete;

    virtual DWORD Set(DWORD key, DWORD value);
    virtual DWORD Get(DWORD key, DWORD a, DWORD b);

    Win95ObjectType GetType() const { return static_cast<Win95ObjectType>(m_dwType); }
    DWORD GetClassId() const { return m_dwClassId; }
    // Key 0 always passes; any other key only when one of the entries holds it.
    bool IsKeySupported(DWORD key) const;
    // Type, class identifier and the name over 127 bytes (zero-padded); bytes
    // 8 to 15 and the last name byte are left as the caller set them.
    void CopyInfo(ObjectInfo* info) const;

private:
    enum { kNameSize = 128, kKeyCount = 20 };
    DWORD m_dwType;
    DWORD m_dwClassId;
    char m_szName[kNameSize];
    DWORD m_adwSupportedKeys[kKeyCount];
};

class DialerObject : public ApiObject {
public:
    DialerObject(DWORD classId, const char* name);

    virtual DWORD Dial(DialRequest* request);
    virtual DWORD HangUp();
    virtual DWORD GetStatus(DWORD* status);
};

#endif
