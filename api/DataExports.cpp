// SaveData and LoadData: the application object's data, kept in the keyed
// data file of (key, the object's class identifier).
#include <io.h>
#include <win95/Exports.h>

#include "api/ApplicationObject.h"
#include "api/KeyedDataFile.h"
#include "api/ObjectCall.h"

namespace {

template <class Call>
DWORD CallWithDataFile(DWORD handle, DWORD key, Call call) {
    return CallFamilyObject<ApplicationObject, WIN95_APPLICATION_OBJECT>(
        handle, [&](ApplicationObject* application) -> DWORD {
            int fd = OpenKeyedDataFile(key, application->GetClassId());
            if (fd < 0) return WIN95_DATAFILE_NOT_OPENED;
            DWORD result = call(application, fd);
            _close(fd);
            return result;
        });
}

}  // namespace

extern "C" DWORD WINAPI SaveData(DWORD handle, DWORD key) {
    return CallWithDataFile(handle, key, [](ApplicationObject* application, int fd) {
        return application->SaveData(fd);
    });
}

extern "C" DWORD WINAPI LoadData(DWORD handle, DWORD key) {
    return CallWithDataFile(handle, key, [](ApplicationObject* application, int fd) {
        return application->LoadData(fd);
    });
}
