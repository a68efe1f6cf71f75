// The simulated RAS phonebook: "phonebook.ini" of the state directory, one
// section per entry (entry names compare without regard to case, as RAS
// compares them), records kept as hexadecimal bytes:
//   Entry=         the 1768-byte RASENTRY
//   DeviceConfig=  the device configuration block as last stored (absent:
//                  none stored; RAS then reports the modem's defaults)
//   DialParams=    the 1052-byte RASDIALPARAMS as last stored (absent: none)
//   PasswordSaved= 1 when DialParams holds a saved password, else 0
#ifndef WIN95_TESTS_DOUBLES_PHONEBOOK_H
#define WIN95_TESTS_DOUBLES_PHONEBOOK_H

#include <windows.h>

#include <string>
#include <vector>

#include "dialer/platform/RasTypes.h"

namespace doubles {

// The largest device configuration block the phonebook keeps.
constexpr DWORD MAX_DEVICE_CONFIG = 4096;

struct PhonebookEntry {
    RASENTRY entry{};
    std::vector<BYTE> deviceConfig;
    bool hasDialParams = false;
    RASDIALPARAMS dialParams{};
    bool passwordSaved = false;
};

bool EntryExists(const char* name);
// False when the entry does not exist or its record is damaged.
bool LoadEntry(const char* name, PhonebookEntry& entry);
void SaveEntry(const char* name, const PhonebookEntry& entry);
void RemoveEntry(const char* name);

// The device configuration block RAS reports for the entry: the stored one,
// or the defaults of the entry's modem.
std::vector<BYTE> EffectiveDeviceConfig(const PhonebookEntry& entry);

class JournalLine;
// Adds the dial parameters' texts to a journal line (entry, phone, callback,
// user, password, domain), or params=null.
JournalLine& JournalDialParams(JournalLine& line, const RASDIALPARAMS* params);

std::string ToHex(const void* bytes, size_t size);
// False for text that is not an even number of hex digits.
bool FromHex(const std::string& text, std::vector<BYTE>& bytes);

}  // namespace doubles

#endif
