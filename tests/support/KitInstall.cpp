#include "tests/support/KitInstall.h"

#include <cstdio>

#include "api/ModuleInstance.h"

KitInstall::KitInstall(const char* subdirectory)
    : m_path(subdirectory ? m_dir.File(subdirectory) : m_dir.Path()),
      m_module(nullptr),
      m_previous(GetModuleInstance()) {
    if (subdirectory) CreateDirectoryA(m_path.c_str(), nullptr);
    std::string copy = m_path + "\\WIN95.dll";
    CopyFileA((ProgramDirectory() + "WIN95.dll").c_str(), copy.c_str(), FALSE);
    m_module = LoadLibraryA(copy.c_str());
    char section[64];
    std::snprintf(section, sizeof section, "Win95Test%lu", GetCurrentProcessId());
    m_section = section;
    SetConfig("WinSection", m_section.c_str());
    SetModuleInstance(m_module);
}

KitInstall::~KitInstall() {
    SetModuleInstance(m_previous);
    WriteProfileStringA(m_section.c_str(), nullptr, nullptr);
    if (m_module) FreeLibrary(m_module);
}

void KitInstall::SetConfig(const char* key, const char* value) {
    WritePrivateProfileStringA("configuration", key, value, ConfigFile().c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ConfigFile().c_str());
}

void KitInstall::RemoveConfigFile() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ConfigFile().c_str());
    DeleteFileA(ConfigFile().c_str());
}

void KitInstall::SetKitPath(const char* path) {
    WriteProfileStringA(m_section.c_str(), "Path", path);
}
