#include "api/ApplicationObject.h"

ApplicationObject::ApplicationObject(DWORD classId, const char* name)
    : ApiObject(WIN95_APPLICATION_OBJECT, classId, name) {}

DWORD ApplicationObject::LaunchApp(DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD ApplicationObject::Terminate() {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD ApplicationObject::IsRunning(DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD ApplicationObject::IsInstalled(DWORD, DWORD, DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD ApplicationObject::LoadData(int) {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD ApplicationObject::SaveData(int) {
    return WIN95_NOT_IMPLEMENTED;
}
BrowserInterface* ApplicationObject::GetBrowserInterface() {
    return nullptr;
}
MailInterface* ApplicationObject::GetMailInterface() {
    return nullptr;
}
NewsInterface* ApplicationObject::GetNewsInterface() {
    return nullptr;
}

SystemObject::SystemObject(DWORD classId, const char* name)
    : ApiObject(WIN95_SYSTEM_OBJECT, classId, name) {}

DWORD SystemObject::ComponentsInstalled(DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD SystemObject::InstallComponents(DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD SystemObject::Uninstall(DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD SystemObject::GetWinsockName(DWORD, DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
DWORD SystemObject::IsMachinePCMCIA(DWORD) {
    return WIN95_NOT_IMPLEMENTED;
}
