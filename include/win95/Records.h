// Caller-visible records of WIN95.dll, with their byte layouts checked.
//
// Texts are zero-terminated 8-bit ANSI in fixed arrays; the library cuts what
// it copies into them to the array size less one.
#ifndef WIN95_RECORDS_H
#define WIN95_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#pragma pack(push, 1)

// Filled by GetObjectInfo. Bytes 8 to 15 and the last byte of the name are
// not written by the library.
struct ObjectInfo {
    uint32_t type;     // Win95ObjectType
    uint32_t classId;  // class identifier
    uint8_t reserved[8];
    char name[128];    // the object's name, zero-padded over 127 bytes
};

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(ObjectInfo) == 144, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, type) == 0, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, classId) == 4, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, reserved) == 8, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, name) == 16, "ObjectInfo layout");
#endif

#endif
