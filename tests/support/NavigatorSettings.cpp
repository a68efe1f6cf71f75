#include "tests/support/NavigatorSettings.h"

namespace {
const char kNavigator[] = "software\\netscape\\Netscape Navigator";

std::string KeyPath(const char* key) {
    return std::string(kNavigator) + "\\" + key;
}
}  // namespace

NavigatorSettings::NavigatorSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "software\\netscape");
}

NavigatorSettings::~NavigatorSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "software\\netscape");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, RegIni().c_str());
}

void NavigatorSettings::CreateKey(const char* key) {
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &handle, nullptr) == ERROR_SUCCESS)
        RegCloseKey(handle);
}

void NavigatorSettings::SetRaw(const char* key, const char* name, DWORD type,
                               const std::string& bytes) {
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &handle, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
}

void NavigatorSettings::SetString(const char* key, const char* name, const std::string& value) {
    SetRaw(key, name, REG_SZ, value + std::string(1, '\0'));
}

void NavigatorSettings::Install(bool trailingBackslash) {
    CreateDirectoryA(InstallDirectory().c_str(), nullptr);
    CreateDirectoryA((InstallDirectory() + "\\Program").c_str(), nullptr);
    SetString("Main", "Install Directory", InstallDirectory() + (trailingBackslash ? "\\" : ""));
}

void NavigatorSettings::SetRegIni(const char* key, const char* value) {
    WritePrivateProfileStringA("ISP Information", key, value, RegIni().c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, RegIni().c_str());
}
