#include "tests/doubles/Phonebook.h"

#include <cstring>

#include "tests/doubles/DoubleState.h"
#include "tests/doubles/SimDevices.h"

namespace doubles {

namespace {

constexpr char ENTRY_KEY[] = "Entry";
constexpr char DEVICE_CONFIG_KEY[] = "DeviceConfig";
constexpr char DIAL_PARAMS_KEY[] = "DialParams";
constexpr char PASSWORD_SAVED_KEY[] = "PasswordSaved";

std::string PhonebookFile() {
    return StateFile("phonebook.ini");
}

std::string ReadValue(const char* section, const char* key) {
    // Room for the hex text of the largest record.
    std::vector<char> value(2 * MAX_DEVICE_CONFIG + 2);
    DWORD length = GetPrivateProfileStringA(
        section, key, "", value.data(), static_cast<DWORD>(value.size()), PhonebookFile().c_str());
    return std::string(value.data(), length);
}

void WriteValue(const char* section, const char* key, const std::string& value) {
    WritePrivateProfileStringA(section, key, value.c_str(), PhonebookFile().c_str());
}

// A record of exactly sizeof(T) bytes from its hex text.
template <typename T>
bool ReadRecord(const char* section, const char* key, T& record) {
    std::vector<BYTE> bytes;
    if (!FromHex(ReadValue(section, key), bytes) || bytes.size() != sizeof(T)) return false;
    std::memcpy(&record, bytes.data(), sizeof(T));
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

JournalLine& JournalDialParams(JournalLine& line, const RASDIALPARAMS* params) {
    if (!params) return line.Pointer("params", params);
    return line.Text("entry", FieldText(params->szEntryName).c_str())
        .Text("phone", FieldText(params->szPhoneNumber).c_str())
        .Text("callback", FieldText(params->szCallbackNumber).c_str())
        .Text("user", FieldText(params->szUserName).c_str())
        .Text("password", FieldText(params->szPassword).c_str())
        .Text("domain", FieldText(params->szDomain).c_str());
}

std::string ToHex(const void* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    const BYTE* p = static_cast<const BYTE*>(bytes);
    std::string text;
    text.reserve(2 * size);
    for (size_t i = 0; i < size; ++i) {
        text += digits[p[i] >> 4];
        text += digits[p[i] & 15];
    }
    return text;
}

bool FromHex(const std::string& text, std::vector<BYTE>& bytes) {
    bytes.clear();
    if (text.size() % 2) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0) return false;
        bytes.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return true;
}

bool EntryExists(const char* name) {
    return !ReadValue(name, ENTRY_KEY).empty();
}

bool LoadEntry(const char* name, PhonebookEntry& entry) {
    entry = PhonebookEntry();
    if (!ReadRecord(name, ENTRY_KEY, entry.entry)) return false;
    std::string config = ReadValue(name, DEVICE_CONFIG_KEY);
    if (!config.empty() && !FromHex(config, entry.deviceConfig)) return false;
    if (!ReadValue(name, DIAL_PARAMS_KEY).empty()) {
        if (!ReadRecord(name, DIAL_PARAMS_KEY, entry.dialParams)) return false;
        entry.hasDialParams = true;
    }
    entry.passwordSaved = ReadValue(name, PASSWORD_SAVED_KEY) == "1";
    return true;
}

void SaveEntry(const char* name, const PhonebookEntry& entry) {
    RemoveEntry(name);
    WriteValue(name, ENTRY_KEY, ToHex(&entry.entry, sizeof entry.entry));
    if (!entry.deviceConfig.empty())
        WriteValue(name, DEVICE_CONFIG_KEY,
                   ToHex(entry.deviceConfig.data(), entry.deviceConfig.size()));
    if (entry.hasDialParams)
        WriteValue(name, DIAL_PARAMS_KEY, ToHex(&entry.dialParams, sizeof entry.dialParams));
    WriteValue(name, PASSWORD_SAVED_KEY, entry.passwordSaved ? "1" : "0");
}

void RemoveEntry(const char* name) {
    WritePrivateProfileStringA(name, nullptr, nullptr, PhonebookFile().c_str());
}

std::vector<BYTE> EffectiveDeviceConfig(const PhonebookEntry& entry) {
    if (!entry.deviceConfig.empty()) return entry.deviceConfig;
    ModemDevConfig block = DefaultDevConfig(FieldText(entry.entry.szDeviceName), 0);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&block);
    return std::vector<BYTE>(bytes, bytes + sizeof block);
}

}  // namespace doubles
