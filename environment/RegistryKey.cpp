#include "environment/RegistryKey.h"

const char* RegistryValue::Text() const {
    const unsigned char* bytes = m_Bytes.GetPointer(nullptr);
    return bytes ? reinterpret_cast<const char*>(bytes) : "";
}

int RegistryKey::Open(HKEY root, const char* subkey, REGSAM access) {
    Close();
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey, 0, access, &key) != ERROR_SUCCESS) return 0;
    m_hKey = key;
    return 1;
}

int RegistryKey::ReadValue(const char* name, RegistryValue& value) {
    if (!m_hKey) return 0;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return 0;
    // One byte more than the value, zero: the terminator Text() relies on.
    if (!value.m_Bytes.Create(size + 1)) size = 0;
    DWORD read = size;
    if (RegQueryValueExA(m_hKey, name, nullptr, &type, value.m_Bytes.GetPointer(nullptr), &read) !=
            ERROR_SUCCESS ||
        read > size) {
        value.m_Bytes.Create(1);
        value.m_dwType = 0;
        value.m_dwSize = 0;
        return 0;
    }
    value.m_dwType = type;
    value.m_dwSize = read;
    return 1;
}

void RegistryKey::Close() {
    if (m_hKey) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}
