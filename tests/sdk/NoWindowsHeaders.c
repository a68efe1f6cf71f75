/* The parts of the SDK that need no windows.h, included alone: the records
 * and results as C, and with the classes as C++, used as a caller would. */
#include <win95/CBuffer.h>
#include <win95/Records.h>
#include <win95/Results.h>
#include <win95/VLogOut.h>
#include <win95/Version.h>

int IsCurrentProfile(const ProfileRecord* record) {
    return record->Version == WIN95_PROFILE_RECORD_VERSION && WIN95_VERSION_MAJOR > 0;
}

#ifdef __cplusplus
class Printable : public VLoggable {
public:
    void LogTo(VLogOut& out) const { out << "printable"; }
};

static void __cdecl Mark(VLogOut& out) {
    out << static_cast<int>(WIN95_OK);
}

void Print(VLogOut& out, const Printable& object, CBuffer& buffer) {
    out(LOG_INFO) << object << Mark << buffer.GetBufferSize();
}

#ifdef EXPECT_REJECTED_MANIPULATOR
/* Not __cdecl: under /Gz or -mrtd a stdcall function, which the stream must
 * refuse rather than write as a pointer. */
static void Unannotated(VLogOut& out) {
    out << 1;
}

void PrintWith(VLogOut& out) {
    out << Unannotated;
}
#endif
#endif
