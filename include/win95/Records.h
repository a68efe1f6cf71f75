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

// The shortcut SetShellLink writes.
struct ShellLinkRecord {
    char targetPath[256];        // file the shortcut points at; also the icon file
    char linkPath[256];          // the shortcut file to write
    char description[256];
    int32_t iconIndex;           // icon within targetPath, from 0
    char arguments[256];
    char workingDirectory[260];
};

// A file or directory tree to remove (GenericApi request 1).
struct RemovalRecord {
    uint16_t isFile;  // non-zero: path names a file; zero: a directory tree
    char path[258];
};

// GenericApi request 4: whether a file can be opened for exclusive access.
struct DllProbeRecord {
    char path[64];
    uint32_t openedExclusively;  // out: 1 or 0
};

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(ObjectInfo) == 144, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, type) == 0, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, classId) == 4, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, reserved) == 8, "ObjectInfo layout");
static_assert(offsetof(ObjectInfo, name) == 16, "ObjectInfo layout");

static_assert(sizeof(ShellLinkRecord) == 1288, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, targetPath) == 0, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, linkPath) == 256, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, description) == 512, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, iconIndex) == 768, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, arguments) == 772, "ShellLinkRecord layout");
static_assert(offsetof(ShellLinkRecord, workingDirectory) == 1028, "ShellLinkRecord layout");

static_assert(sizeof(RemovalRecord) == 260, "RemovalRecord layout");
static_assert(offsetof(RemovalRecord, isFile) == 0, "RemovalRecord layout");
static_assert(offsetof(RemovalRecord, path) == 2, "RemovalRecord layout");

static_assert(sizeof(DllProbeRecord) == 68, "DllProbeRecord layout");
static_assert(offsetof(DllProbeRecord, path) == 0, "DllProbeRecord layout");
static_assert(offsetof(DllProbeRecord, openedExclusively) == 64, "DllProbeRecord layout");
#endif

#endif
