/* Result codes, object types and class identifiers of WIN95.dll. Plain C89;
 * needs no windows.h. */
#ifndef WIN95_RESULTS_H
#define WIN95_RESULTS_H

/* The 32-bit result of every exported object function and of most plain
 * exports. RAS error numbers (600 and above) and Windows error numbers pass
 * through only where a function's description in Exports.h says so. */
enum Win95ApiResult {
    WIN95_OK = 0,
    WIN95_INVALID_HANDLE = 1,         /* handle not in 1..19, or its slot empty */
    WIN95_DATAFILE_NOT_OPENED = 2,    /* SaveData/LoadData: keyed data file */
    WIN95_WRONG_OBJECT_TYPE = 3,      /* the function serves another family */
    WIN95_NO_FREE_HANDLE = 4,         /* 19 objects live */
    WIN95_KEY_NOT_SUPPORTED = 5,      /* Set/Get with an unsupported key */
    WIN95_NOT_IMPLEMENTED = 6,        /* the object lacks the operation */
    WIN95_FAILED = 8,                 /* the operation failed */
    WIN95_NO_SUBINTERFACE = 9,        /* no browser, mail or news interface */
    WIN95_CLASS_NOT_CREATED = 11,     /* unknown class identifier */
    WIN95_NO_ENTRY_VALIDATION = 14,   /* RAS entry-name validation missing */
    WIN95_RAS_ENTRY_NOT_WRITTEN = 18, /* the service's RAS entry not written */
    WIN95_OUT_OF_MEMORY = 19
};

/* The family of an object (ObjectInfo.type). */
enum Win95ObjectType {
    WIN95_APPLICATION_OBJECT = 1,
    WIN95_SYSTEM_OBJECT = 2,
    WIN95_DIALER_OBJECT = 3
};

/* The one class this library creates: the dialer ("Win95 Dialer", type 3). */
#define WIN95_DIALER_CLASS_ID 104281164UL /* 0x0637344C */

/* Handles are 1..19; 0 is never a handle. */
#define WIN95_MAX_OBJECTS 19

#endif
