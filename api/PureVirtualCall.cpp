// The handler that the pure slots of WIN95.dll's tables of virtual
// operations (VLoggable's LogTo among them) point at: a call through one is
// reported and ends the process, as Visual C++'s would.
//
// The tables refer to it only weakly, and a static link does not bring the
// C++ runtime's handler in for a weak reference, so the slots would hold 0.
// It is defined here, in an object of the DLL itself and away from any
// table: where a table is emitted, GCC makes the definition weak too, and
// which of the weak definitions the linker then picks depends on the order
// of the objects.
#include <cstdlib>

#include "diag/LogPlatform.h"

extern "C" void __cxa_pure_virtual() {
    DebuggerOutput("WIN95.dll: pure virtual function called\n");
    std::abort();
}
