// Entry points for exported class members whose Visual C++ contract differs
// from what GCC generates: a Visual C++ constructor returns `this` in EAX.
// Each VcThunk_<GCC name> constructs in place and returns the object; the
// module-definition file exports it under the Visual C++ name.
#include <win95/CBuffer.h>
#include <win95/VLogOut.h>

#include <new>

// VLoggable is abstract, so its base-object constructors are called by
// their symbols rather than through a placement new.
extern "C" WIN95_THISCALL void VLoggableBaseConstructor(VLoggable* self) __asm__(
    "__ZN9VLoggableC2Ev");
extern "C" WIN95_THISCALL void VLoggableBaseCopyConstructor(
    VLoggable* self, const VLoggable* other) __asm__("__ZN9VLoggableC2ERKS_");

extern "C" {

WIN95_THISCALL CBuffer* VcThunk_ZN7CBufferC1Ev(CBuffer* self) {
    return new (self) CBuffer();
}

WIN95_THISCALL CBuffer* VcThunk_ZN7CBufferC1ERKS_(CBuffer* self, const CBuffer* other) {
    return new (self) CBuffer(*other);
}

WIN95_THISCALL VLogOut* VcThunk_ZN7VLogOutC1EPKcS1_(VLogOut* self, const char* moduleName,
                                                    const char* iniFile) {
    return new (self) VLogOut(moduleName, iniFile);
}

WIN95_THISCALL VLogOut* VcThunk_ZN7VLogOutC1ERKS_(VLogOut* self, const VLogOut* other) {
    return new (self) VLogOut(*other);
}

// The private default constructor does nothing; its entry point only hands
// the object back.
WIN95_THISCALL VLogOut* VcThunk_ZN7VLogOutC1Ev(VLogOut* self) {
    return self;
}

WIN95_THISCALL VLoggable* VcThunk_ZN9VLoggableC2Ev(VLoggable* self) {
    VLoggableBaseConstructor(self);
    return self;
}

WIN95_THISCALL VLoggable* VcThunk_ZN9VLoggableC2ERKS_(VLoggable* self, const VLoggable* other) {
    VLoggableBaseCopyConstructor(self, other);
    return self;
}
}
