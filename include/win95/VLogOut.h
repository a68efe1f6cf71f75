/* VLogOut: the library's log stream, and VLoggable, the base of objects that
 * can print themselves on it; exported as classes (C++ only; needs no
 * windows.h). "@n" is the export's ordinal in WIN95.dll.
 *
 * A message starts with operator()(mask) and continues with pieces appended
 * by <<. When the configured category flags share a bit with the mask, the
 * message is produced: it gets a time and module prefix and every piece is
 * written at once to the configured devices (debugger output, log files),
 * each log file opened, appended to and closed per piece. Otherwise each
 * piece costs one flag test. Settings come from the log INI file
 * ("GlobalDebug" and a section named after the module), read once, at the
 * stream's first message. Logging never fails towards its caller and
 * nothing is thrown.
 *
 * Threads: a stream takes no lock and blocks on nothing but its file
 * writes. The pieces of messages written at the same time from different
 * threads can interleave, and copies of a stream share its message state:
 * give each thread a stream of its own, constructed rather than copied.
 *
 * Never stream a plain char: it promotes to int. Use a text or signed/unsigned
 * char. */
#ifndef WIN95_VLOGOUT_H
#define WIN95_VLOGOUT_H

#include "Platform.h"

#ifdef __cplusplus

/* Category masks the library logs with. */
enum VLogCategory {
    LOG_ERROR = 1,         /* failures */
    LOG_ENTER = 2,         /* entry of a main operation (passed as 10 with 8) */
    LOG_LEAVE = 4,         /* its successful return (passed as 20 with 16) */
    LOG_ENTER_DETAIL = 8,  /* entry of an inner step */
    LOG_LEAVE_DETAIL = 16, /* its return */
    LOG_CONNECT = 128,     /* connection details */
    LOG_INFO = 256         /* progress and conditions that are not failures */
};

/* Device bits of the "LogDevices" words. */
enum VLogDevice {
    LOG_DEVICE_DEBUGGER = 1, /* OutputDebugStringA, text unchanged */
    LOG_DEVICE_FILE = 2      /* the log files, line ends as CR LF */
};

class VLogOut;
class VLogOutImp;

/* A manipulator: a function the stream calls with itself. The DLL calls it
 * with the C calling convention, so declare manipulators __cdecl where the
 * compiler's default is another (/Gz, -mrtd). */
typedef void(WIN95_CDECL* VLogManipulator)(VLogOut& out);

/* Objects that print themselves: derive and implement LogTo. The table of
 * virtual operations has the Visual C++ layout (slot 0 the scalar deleting
 * destructor, slot 1 LogTo), so classes derived by Visual C++ and by MinGW
 * callers both work, and either compiler's code may call the other's
 * objects through it.
 *
 * GCC (MinGW) sees slot 0 as VcDeletingDestructor, which destroys the
 * VLoggable part and, for flags bit 0, frees the object: a MinGW class
 * whose objects Visual C++ code deletes through a VLoggable* overrides it
 * for its own type. GCC code deletes objects through their own type; the
 * destructor is protected there, so deleting through a VLoggable* does not
 * compile. */
class WIN95_IMPORT VLoggable {
public:
    WIN95_THISCALL VLoggable();                       /* @101 */
    WIN95_THISCALL VLoggable(const VLoggable& other); /* @102 */
#ifdef _MSC_VER
    virtual WIN95_THISCALL ~VLoggable(); /* @103 */
#else
    virtual void* WIN95_THISCALL VcDeletingDestructor(unsigned int flags) {
        this->VLoggable::~VLoggable();
        if (flags & 1) ::operator delete(this);
        return this;
    }

protected:
    WIN95_THISCALL ~VLoggable(); /* @103 */

public:
#endif
    VLoggable& WIN95_THISCALL operator=(const VLoggable& other); /* @104, does nothing */
    virtual void WIN95_THISCALL LogTo(VLogOut& out) const = 0;
    /* @105 is the table of virtual operations of VLoggable itself. */
};

class WIN95_IMPORT VLogOut {
public:
    /* @45. moduleName: names the prefix and the module's INI section (at
     * most 24 characters appear in the prefix). iniFile: name or path of the
     * log INI file, null or empty for the default lookup; at most 771
     * characters. The settings are read at the first message. */
    WIN95_THISCALL VLogOut(const char* moduleName, const char* iniFile);
    WIN95_THISCALL VLogOut(const VLogOut& other); /* @46 shares the source's implementation */
    WIN95_THISCALL ~VLogOut();                    /* @48 */
    VLogOut& WIN95_THISCALL operator=(const VLogOut& other); /* @49 shares it too */

    /* @58. Starts a message of the category mask; a non-zero continuation
     * leaves out the time and module prefix. The first message reads the
     * settings (blocks on the INI file). */
    VLogOut& WIN95_THISCALL operator()(unsigned long mask, int continuation = 0);

    VLogOut& WIN95_THISCALL operator<<(const char* text);        /* @77 null writes nothing */
    VLogOut& WIN95_THISCALL operator<<(int value);               /* @78 "%ld", hex mode "%#lx" */
    VLogOut& WIN95_THISCALL operator<<(short value);             /* @79 */
    VLogOut& WIN95_THISCALL operator<<(unsigned int value);      /* @85 "%lu", hex mode "%#lx" */
    VLogOut& WIN95_THISCALL operator<<(unsigned short value);    /* @86 */
    VLogOut& WIN95_THISCALL operator<<(long value);              /* @87 */
    VLogOut& WIN95_THISCALL operator<<(unsigned long value);     /* @88 */
    VLogOut& WIN95_THISCALL operator<<(const void* pointer);     /* @89 "@%lx" */
    VLogOut& WIN95_THISCALL operator<<(signed char value);       /* @90 the character */
    VLogOut& WIN95_THISCALL operator<<(unsigned char value);     /* @91 */
    VLogOut& WIN95_THISCALL operator<<(const VLoggable& object); /* @92 object.LogTo(*this) */
    /* @93. Manipulators are called even when the message is not produced. */
    VLogOut& WIN95_THISCALL operator<<(VLogManipulator manipulator);

    /* @94. Whether the current message is produced (0 before the first
     * message). */
    int WIN95_THISCALL Producing() const;
    void WIN95_THISCALL Hex();      /* @95 */
    void WIN95_THISCALL UnHex();    /* @96 */
    void WIN95_THISCALL Indent();   /* @97 */
    void WIN95_THISCALL UnIndent(); /* @98 */
    void WIN95_THISCALL
    SetIndentSpacing(unsigned long spacing); /* @99 kept for callers; no effect */
    /* @100. Full path of the log INI file, owned by the stream's
     * implementation; null before the first message or when the stream has
     * none. */
    const char* WIN95_THISCALL IniFileName() const;

private:
    WIN95_THISCALL VLogOut();       /* @47 does nothing */
    void WIN95_THISCALL LazyInit(); /* @59 */
#if defined(_WIN32) && !defined(_WIN64)
    /* Neither defined nor exported: a manipulator of another calling
     * convention (what /Gz, /Gr or -mrtd make of a function not declared
     * __cdecl) stops the compile here, instead of being converted to a
     * pointer and written as one. */
    VLogOut& WIN95_THISCALL operator<<(void(__stdcall* manipulator)(VLogOut&));
    VLogOut& WIN95_THISCALL operator<<(void(__fastcall* manipulator)(VLogOut&));
#endif

    VLogOutImp* m_pImp;
    int m_bProducing;
    int m_bActive;
    char* m_pModuleName;
    int m_bCopy;
    int m_bInitialised;
};

#if defined(_WIN32) && !defined(_WIN64)
WIN95_STATIC_CHECK(VLogOut_size, sizeof(VLogOut) == 24);
#endif

#endif /* __cplusplus */

#endif
