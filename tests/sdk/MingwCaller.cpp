// A MinGW caller of every exported class member, built as a kit program is
// (MinGW's win32 thread model g++, C++98, linked only against libWIN95.a):
// the class checks the Visual C++-ABI caller runs, a class derived from
// VLoggable included, and a MinGW object deleted the way Visual C++ code
// deletes a VLoggable. The exit code is the number of failed checks.
#include <win95.h>
#include <windows.h>

#include "tests/sdk/ClassChecks.h"

namespace {

int g_destroyed = 0;

// A class whose objects Visual C++ code may delete through a VLoggable*:
// it overrides slot 0 for its own type.
class Owned : public VLoggable {
public:
    ~Owned() { ++g_destroyed; }
    void LogTo(VLogOut& out) const { out << "owned"; }
    void* VcDeletingDestructor(unsigned int flags) {
        this->~Owned();
        if (flags & 1) ::operator delete(this);
        return this;
    }
};

}  // namespace

int main() {
    VLoggable* object = new Owned;
    object->VcDeletingDestructor(1);  // what a Visual C++ caller's delete calls
    class_checks::Check(g_destroyed == 1, "slot 0 destroys and frees a MinGW-derived object");
    return static_cast<int>(RunClassChecks("sdk_mingw_caller"));
}
