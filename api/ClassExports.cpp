// Entry points for exported class members whose Visual C++ contract differs
// from what GCC generates: a Visual C++ constructor returns `this` in EAX.
// Each VcThunk_<GCC name> constructs in place and returns the object; the
// module-definition file exports it under the Visual C++ name.
#include <new>

#include <win95/CBuffer.h>

#define VC_THISCALL __attribute__((thiscall))

extern "C" {

VC_THISCALL CBuffer* VcThunk_ZN7CBufferC1Ev(CBuffer* self) { return new (self) CBuffer(); }

VC_THISCALL CBuffer* VcThunk_ZN7CBufferC1ERKS_(CBuffer* self, const CBuffer* other) {
    return new (self) CBuffer(*other);
}

}
