// The kit's demo session: a program of the kit's kind that uses WIN95.dll
// through its SDK header and import library, as the setup wizard and the
// connection application do.
#include <win95.h>

#include <cstdio>

namespace {

const char* TypeName(DWORD type) {
    switch (type) {
        case WIN95_APPLICATION_OBJECT: return "application object";
        case WIN95_SYSTEM_OBJECT: return "system object";
        case WIN95_DIALER_OBJECT: return "dialer object";
        default: return "unknown";
    }
}

}  // namespace

int main() {
    std::printf("== Orvo VelTrane client kit: WIN95.dll demo session ==\n\n");

    DWORD handle = 0;
    DWORD result = GetObjectHandle(WIN95_DIALER_CLASS_ID, &handle);
    if (result != WIN95_OK) {
        std::printf("GetObjectHandle failed with %lu\n", result);
        return 1;
    }
    ObjectInfo info = {};
    result = GetObjectInfo(handle, &info);
    std::printf("Dialer object: handle %lu\n", handle);
    std::printf("  type         %lu (%s)\n", static_cast<unsigned long>(info.type),
                TypeName(info.type));
    std::printf("  class id     %lu (0x%08lX)\n", static_cast<unsigned long>(info.classId),
                static_cast<unsigned long>(info.classId));
    std::printf("  name         \"%s\"\n", info.name);

    result = FreeObject(handle);
    std::printf("FreeObject(%lu) -> %lu\n", handle, result);
    std::printf("\nDemo session finished.\n");
    return 0;
}
