// VLogOut: the library's log stream, and VLoggable, the base of objects that
// can print themselves on it.
//
// A message starts with operator()(mask) and continues with pieces appended
// by <<. When the configured category flags share a bit with the mask, the
// message is produced: it gets a time and module prefix and every piece is
// written at once to the configured devices (debugger output, log files).
// Otherwise each piece costs one flag test. Settings come from the log INI
// file ("GlobalDebug" and a section named after the module), read once, at
// the stream's first message. Logging never fails towards its caller.
//
// Never stream a plain char: it promotes to int. Use a text or signed/unsigned
// char.
#ifndef WIN95_VLOGOUT_H
#define WIN95_VLOGOUT_H

#include "Platform.h"

// Category masks the library logs with.
enum VLogCategory {
    LOG_ERROR = 1,          // failures
    LOG_ENTER = 2,          // entry of a main operation (passed as 10 with 8)
    LOG_LEAVE = 4,          // its successful return (passed as 20 with 16)
    LOG_ENTER_DETAIL = 8,   // entry of an inner step
    LOG_LEAVE_DETAIL = 16,  // its return
    LOG_CONNECT = 128,      // connection details
    LOG_INFO = 256          // progress and conditions that are not failures
};

// Device bits of the "LogDevices" words.
enum VLogDevice {
    LOG_DEVICE_DEBUGGER = 1,  // OutputDebugStringA, text unchanged
    LOG_DEVICE_FILE = 2       // the log files, line ends as CR LF
};

class VLogOut;
class VLogOutImp;

// Objects that print themselves: derive and implement LogTo. The virtual
// table has the Visual C++ layout (slot 0 the deleting destructor, slot 1
// LogTo), so classes derived by Visual C++ and by MinGW callers both work.
// GCC-built code must delete derived objects through their own type.
class WIN95_IMPORT VLoggable {
public:
    VLoggable();
    VLoggable(const VLoggable& other);
#ifdef _MSC_VER
    virtual ~VLoggable();
#else
    // Slot 0: Visual C++'s scalar deleting destructor (flags bit 0: free).
    virtual void* VcDeletingDestructor(unsigned int flags);
    ~VLoggable();
#endif
    VLoggable& operator=(const VLoggable& other);
    virtual void LogTo(VLogOut& out) const = 0;
};

class WIN95_IMPORT VLogOut {
public:
    // moduleName: names the prefix and the module's INI section (at most 24
    // characters appear in the prefix). iniFile: name or path of the log INI
    // file, null or empty for the default lookup; at most 771 characters.
    VLogOut(const char* moduleName, const char* iniFile);
    VLogOut(const VLogOut& other);  // shares the source's implementation
    ~VLogOut();
    VLogOut& operator=(const VLogOut& other);

    // Starts a message of the category mask; a non-zero continuation leaves
    // out the time and module prefix.
    VLogOut& operator()(unsigned long mask, int continuation = 0);

    VLogOut& operator<<(const char* text);  // null writes nothing
    VLogOut& operator<<(int value);         // "%ld", hex mode "%#lx"
    VLogOut& operator<<(short value);
    VLogOut& operator<<(unsigned int value);  // "%lu", hex mode "%#lx"
    VLogOut& operator<<(unsigned short value);
    VLogOut& operator<<(long value);
    VLogOut& operator<<(unsigned long value);
    VLogOut& operator<<(const void* pointer);  // "@%lx"
    VLogOut& operator<<(signed char value);    // the character
    VLogOut& operator<<(unsigned char value);
    VLogOut& operator<<(const VLoggable& object);  // object.LogTo(*this)
    // Manipulators are called even when the message is not produced.
    VLogOut& operator<<(void (*manipulator)(VLogOut&));

    // Whether the current message is produced (0 before the first message).
    int Producing() const;
    void Hex();
    void UnHex();
    void Indent();
    void UnIndent();
    void SetIndentSpacing(unsigned long spacing);  // kept for callers; no effect
    // Full path of the log INI file, owned by the stream's implementation;
    // null before the first message or when the stream has none.
    const char* IniFileName() const;

private:
    VLogOut();
    void LazyInit();

    // The rest of a piece once its message is produced.
    void Produce(const char* text);
    void Produce(int value);
    void Produce(short value);
    void Produce(unsigned int value);
    void Produce(unsigned short value);
    void Produce(long value);
    void Produce(unsigned long value);
    void Produce(const void* pointer);
    void Produce(signed char value);
    void Produce(unsigned char value);
    void Produce(const VLoggable& object);

    VLogOutImp* m_pImp;
    int m_bProducing;
    int m_bActive;
    char* m_pModuleName;
    int m_bCopy;
    int m_bInitialised;
};

#ifdef WIN95_BUILDING
// Inside the library a piece of a message that is not produced costs one
// inline test of the producing flag. Callers of the DLL reach the same
// operators through their exports.
#define WIN95_VLOGOUT_PIECE(Type)                     \
    inline VLogOut& VLogOut::operator<<(Type value) { \
        if (m_bProducing) Produce(value);             \
        return *this;                                 \
    }
WIN95_VLOGOUT_PIECE(const char*)
WIN95_VLOGOUT_PIECE(int)
WIN95_VLOGOUT_PIECE(short)
WIN95_VLOGOUT_PIECE(unsigned int)
WIN95_VLOGOUT_PIECE(unsigned short)
WIN95_VLOGOUT_PIECE(long)
WIN95_VLOGOUT_PIECE(unsigned long)
WIN95_VLOGOUT_PIECE(const void*)
WIN95_VLOGOUT_PIECE(signed char)
WIN95_VLOGOUT_PIECE(unsigned char)
WIN95_VLOGOUT_PIECE(const VLoggable&)
#undef WIN95_VLOGOUT_PIECE
#endif

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(VLogOut) == 24, "VLogOut is six 32-bit fields");
#endif

#endif
