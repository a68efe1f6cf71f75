// Reading the registry of the current user: a key held open by an object,
// and a value with its type and bytes.
#ifndef WIN95_ENVIRONMENT_REGISTRYKEY_H
#define WIN95_ENVIRONMENT_REGISTRYKEY_H

#include <win95/CBuffer.h>
#include <windows.h>

// A value's registry type and bytes. Whatever its type, the bytes are kept
// with one zero byte after them, so Text() is always a terminated text that
// ends at the value's size at the latest.
class RegistryValue {
public:
    DWORD Type() const { return m_dwType; }
    DWORD Size() const { return m_dwSize; }
    const char* Text() const;

private:
    friend class RegistryKey;
    DWORD m_dwType = 0;
    DWORD m_dwSize = 0;
    CBuffer m_Bytes;
};

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Closes the held key, then opens subkey of root with the access given.
    // 1 on success; after a failure no key is held.
    int Open(HKEY root, const char* subkey, REGSAM access);
    // 1 when the value was read; 0 when no key is held or the value cannot
    // be read (the value is then emptied, type 0).
    int ReadValue(const char* name, RegistryValue& value);
    void Close();

private:
    HKEY m_hKey = nullptr;
};

#endif
