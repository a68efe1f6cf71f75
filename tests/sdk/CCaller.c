/* A caller in plain C89 of every function WIN95.dll exports, built as a kit
 * program is (MinGW's win32 thread model compiler, linked only against the
 * import library) and run under Wine against the DLL and the platform
 * doubles' default line: one modem "Sim Modem 28800", a dial that connects
 * at 28800 bit/s. Each check prints "ok" or "FAILED" with the actual value;
 * the exit code is the number of failed checks. */
#include <stdio.h>
#include <string.h>
#include <win95.h>
#include <windows.h>

/* DialService(): the example of a dial from C in README.md, taken from there
 * by the build. */
#include "DialExample.c"

#define MODEM_NAME "Sim Modem 28800"

static unsigned g_failures = 0;

static void Check(const char* what, DWORD actual, DWORD expected) {
    if (actual == expected) {
        printf("ok      %s\n", what);
    } else {
        printf("FAILED  %s: %lu, expected %lu\n", what, actual, expected);
        ++g_failures;
    }
}
#define CHECK(call, expected) Check(#call, (DWORD)(call), (DWORD)(expected))

static void CheckText(const char* what, const char* actual, const char* expected) {
    if (actual && strcmp(actual, expected) == 0) {
        printf("ok      %s\n", what);
    } else {
        printf("FAILED  %s: \"%s\", expected \"%s\"\n", what, actual ? actual : "(null)", expected);
        ++g_failures;
    }
}

static int Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

/* The caller's folder under the temporary folder: files of the checks and
 * the doubles' state (a fresh phonebook). */
static char g_folder[MAX_PATH];

/* Appends more to the text in out (size bytes), cut to fit. */
static void Append(char* out, size_t size, const char* more) {
    size_t length = strlen(out);
    if (length + 1 < size) lstrcpynA(out + length, more, (int)(size - length));
}

/* out (size bytes): the file name in the caller's folder. */
static void Path(char* out, size_t size, const char* name) {
    out[0] = 0;
    Append(out, size, g_folder);
    Append(out, size, "\\");
    Append(out, size, name);
}

/* ---- the status messages of the dial ------------------------------------ */

#define MAX_POSTED 8
static WPARAM g_status[MAX_POSTED];
static LPARAM g_detail[MAX_POSTED];
static unsigned g_posted = 0;

static LRESULT CALLBACK CallerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP) return DefWindowProcA(window, message, wParam, lParam);
    if (g_posted < MAX_POSTED) {
        g_status[g_posted] = wParam;
        g_detail[g_posted] = lParam;
    }
    ++g_posted;
    return 0;
}

/* Dispatches this thread's messages until count statuses have arrived or
 * milliseconds have passed. */
static void Pump(unsigned count, DWORD milliseconds) {
    DWORD start = GetTickCount();
    MSG message;
    while (g_posted < count && GetTickCount() - start < milliseconds) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (g_posted < count) MsgWaitForMultipleObjects(0, NULL, FALSE, 50, QS_ALLINPUT);
    }
}

static void CheckPosted(unsigned from, const DWORD* expected, unsigned count) {
    unsigned i;
    char what[64];
    for (i = 0; i < count; ++i) {
        sprintf(what, "status message %u: wParam", from + i + 1);
        Check(what, from + i < g_posted ? (DWORD)g_status[from + i] : 0, expected[2 * i]);
        sprintf(what, "status message %u: lParam", from + i + 1);
        Check(what, from + i < g_posted ? (DWORD)g_detail[from + i] : 0, expected[2 * i + 1]);
    }
}

static HWND CreateCallerWindow(void) {
    WNDCLASSA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = CallerWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "SdkCCaller";
    RegisterClassA(&windowClass);
    return CreateWindowA("SdkCCaller", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                         GetModuleHandleA(NULL), NULL);
}

/* ---- the checks ------------------------------------------------------------ */

static void VersionChecks(void) {
    char path[MAX_PATH];
    static char info[4096];
    DWORD ignored;
    void* value = NULL;
    UINT length = 0;
    const VS_FIXEDFILEINFO* fixed;
    GetModuleFileNameA(GetModuleHandleA("WIN95.dll"), path, sizeof path);
    CHECK(GetFileVersionInfoSizeA(path, &ignored) <= sizeof info, 1);
    CHECK(GetFileVersionInfoA(path, 0, sizeof info, info), TRUE);
    CHECK(VerQueryValueA(info, "\\", &value, &length), TRUE);
    fixed = (const VS_FIXEDFILEINFO*)value;
    CHECK(fixed->dwFileVersionMS, MAKELONG(WIN95_VERSION_MINOR, WIN95_VERSION_MAJOR));
    CHECK(fixed->dwFileVersionLS, MAKELONG(0, WIN95_VERSION_PATCH));
    CHECK(VerQueryValueA(info, "\\StringFileInfo\\040904E4\\FileVersion", &value, &length), TRUE);
    CheckText("FileVersion", (const char*)value, WIN95_VERSION_TEXT ".0");
}

static void ObjectChecks(DWORD dialer) {
    DWORD handle = 99;
    DWORD flag = 7;
    ObjectInfo info;
    memset(&info, 0xAA, sizeof info);
    CHECK(GetObjectHandle(0x1234, &handle), WIN95_CLASS_NOT_CREATED);
    CHECK(handle, 0);
    CHECK(GetObjectHandle(WIN95_DIALER_CLASS_ID, NULL), WIN95_CLASS_NOT_CREATED);
    CHECK(GetObjectInfo(dialer, &info), WIN95_OK);
    CHECK(info.type, WIN95_DIALER_OBJECT);
    CHECK(info.classId, WIN95_DIALER_CLASS_ID);
    CheckText("info.name", info.name, "Win95 Dialer");
    CHECK(info.reserved[0] == 0xAA && info.name[127] == (char)0xAA, 1);
    CHECK(GetObjectInfo(WIN95_MAX_OBJECTS + 1, &info), WIN95_INVALID_HANDLE);
    CHECK(Set(dialer, 0, 1), WIN95_NOT_IMPLEMENTED);
    CHECK(Set(dialer, 1, 1), WIN95_KEY_NOT_SUPPORTED);
    CHECK(Get(dialer, 0, 1, 2), WIN95_NOT_IMPLEMENTED);
    CHECK(Get(dialer, 7, 1, 2), WIN95_KEY_NOT_SUPPORTED);

    /* The other families serve no object of this library. */
    CHECK(ComponentsInstalled(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(InstallComponents(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(Uninstall(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetWinsockName(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsMachinePCMCIA(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsRunning(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsInstalled(dialer, 0, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(LaunchApp(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(Terminate(dialer), WIN95_WRONG_OBJECT_TYPE);
    CHECK(LoadData(dialer, 1), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SaveData(dialer, 1), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsBrowserSupported(dialer, &flag), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsMailSupported(dialer, &flag), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsNewsSupported(dialer, &flag), WIN95_WRONG_OBJECT_TYPE);
    CHECK(flag, 7);
    CHECK(AddBookmark(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(RemoveBookmark(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetBookmark(dialer, 0, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetHomePage(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetHomePage(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsBrowserConfigured(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(BrowserPostSets(dialer), WIN95_WRONG_OBJECT_TYPE);
    CHECK(BrowserPreGets(dialer), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetSMTPAddress(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetSMTPAddress(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetPOP3Address(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetPOP3Address(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetEmailName(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetEmailName(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetPOP3Password(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetPOP3Password(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetPOP3User(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetPOP3User(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetEmailAddress(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetEmailAddress(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetOrganization(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetOrganization(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsMailConfigured(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(MailPostSets(dialer), WIN95_WRONG_OBJECT_TYPE);
    CHECK(MailPreGets(dialer), WIN95_WRONG_OBJECT_TYPE);
    CHECK(GetNewsServerAddress(dialer, 0, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(SetNewsServerAddress(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(IsNewsConfigured(dialer, 0), WIN95_WRONG_OBJECT_TYPE);
    CHECK(NewsPostSets(dialer), WIN95_WRONG_OBJECT_TYPE);
    CHECK(NewsPreGets(dialer), WIN95_WRONG_OBJECT_TYPE);
}

static void ModemChecks(void) {
    DWORD count = 0;
    ModemRecord modem;
    memset(&modem, 0, sizeof modem);
    modem.version = 12345;
    CHECK(GetNumberOfModems(&count), WIN95_OK);
    CHECK(count, 1);
    CHECK(GetNumberOfModems(NULL), WIN95_FAILED);
    CHECK(GetModem(0, &modem), WIN95_OK);
    CheckText("modem.deviceName", modem.deviceName, MODEM_NAME);
    CHECK(modem.maxRate, 115200);
    CHECK(modem.version, 12345);
    CHECK(GetModem(1, &modem), WIN95_FAILED);
    CHECK(GetModem(0, NULL), WIN95_FAILED);
}

/* The README's dial: the statuses of a good line, HangUp's status, and the
 * modem's configuration dialog on the entry the dial made. */
static void DialChecks(HWND window, DWORD* dialer) {
    static const DWORD connected[] = {WIN95_DIAL_BEGUN,     0,    WIN95_DIAL_AUTHENTICATING, 0,
                                      WIN95_DIAL_CONNECTED, 28800};
    static const DWORD hungUp[] = {WIN95_DIAL_DISCONNECTED, 0};
    static ProfileRecord profile;
    ModemRecord oldModem;
    DialRequest request;
    DWORD status = 99;
    memset(&oldModem, 0, sizeof oldModem);
    memset(&request, 0, sizeof request);
    oldModem.version = 30;
    request.phoneNumber = "5550100";
    request.profile = &profile;
    request.modem = &oldModem;
    request.window = window;
    request.message = WM_APP;
    profile.Version = WIN95_PROFILE_RECORD_VERSION;
    strcpy(profile.LoginName, "subscriber");
    strcpy(profile.Password, "secret");

    CHECK(DialService(window, &profile, dialer), WIN95_OK);
    Pump(3, 20000);
    CHECK(g_posted, 3);
    CheckPosted(0, connected, 3);
    CHECK(GetStatus(*dialer, &status), WIN95_OK);
    CHECK(status, WIN95_DIAL_CONNECTED);
    CHECK(GetStatus(*dialer, NULL), WIN95_FAILED);
    CHECK(HangUp(*dialer), WIN95_OK);
    Pump(4, 2000);
    CHECK(g_posted, 4);
    CheckPosted(3, hungUp, 1);
    CHECK(GetStatus(*dialer, &status), WIN95_OK);
    CHECK(status, WIN95_DIAL_CONNECTED);
    CHECK(Dial(*dialer, &request), WIN95_FAILED);
    CHECK(Dial(*dialer, NULL), WIN95_FAILED);
    CHECK(Dial(WIN95_MAX_OBJECTS + 1, &request), WIN95_INVALID_HANDLE);
    CHECK(HangUp(0), WIN95_INVALID_HANDLE);
    CHECK(GetStatus(0, &status), WIN95_INVALID_HANDLE);

    CHECK(ModemConfig(MODEM_NAME, window), WIN95_OK);
    CHECK(ModemConfig(NULL, window), WIN95_FAILED);
}

static void GenericApiChecks(void) {
    static ConnectoidCreationRecord creation;
    static ModemConfigInfo config, again;
    DllProbeRecord probe;
    HANDLE held;
    strcpy(creation.phoneNumber, "5550199");
    strcpy(creation.deviceName, MODEM_NAME);
    strcpy(creation.loginName, "subscriber");
    strcpy(creation.password, "secret");
    creation.dnsPrimary[0] = 10;
    creation.dnsPrimary[3] = 1;

    CHECK(GenericApi(0, &creation), WIN95_NOT_IMPLEMENTED);
    CHECK(GenericApi(7, &creation), WIN95_NOT_IMPLEMENTED);
    CHECK(GenericApi(5, NULL), WIN95_FAILED);
    CHECK(GenericApi(2, &creation), WIN95_OK);
    CheckText("creation.entryName", creation.entryName, "Orvo VelTrane Service");
    CHECK(GenericApi(5, &config), WIN95_OK);
    CHECK(config.size != 0 && config.size <= sizeof config.data, 1);
    CHECK(GenericApi(6, &config), WIN95_OK);
    CHECK(GenericApi(5, &again), WIN95_OK);
    CHECK(again.size, config.size);
    CHECK(memcmp(again.data, config.data, config.size), 0);
    again.size = 256;
    CHECK(GenericApi(6, &again), WIN95_FAILED);
    CHECK(GenericApi(3, "Orvo VelTrane Service"), WIN95_OK);
    CHECK(GenericApi(3, "Orvo VelTrane Service"), WIN95_FAILED);

    /* Request 4 on a file of ours: free, then held open by us. */
    Path(probe.path, sizeof probe.path, "probe.txt");
    CloseHandle(CreateFileA(probe.path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    probe.openedExclusively = 7;
    CHECK(GenericApi(4, &probe), WIN95_OK);
    CHECK(probe.openedExclusively, 1);
    held = CreateFileA(probe.path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    CHECK(GenericApi(4, &probe), WIN95_OK);
    CHECK(probe.openedExclusively, 0);
    CloseHandle(held);
}

static void EnvironmentChecks(void) {
    ShellLinkRecord link;
    char backup[MAX_PATH];
    DWORD registered = 7;
    DWORD retCode = 7;
    char entry[] = "orvo veltrane service";

    memset(&link, 0, sizeof link);
    GetModuleFileNameA(NULL, link.targetPath, sizeof link.targetPath);
    Path(link.linkPath, sizeof link.linkPath, "caller.lnk");
    strcpy(link.description, "SDK caller");
    Append(link.workingDirectory, sizeof link.workingDirectory, g_folder);
    CHECK(SetShellLink(&link), WIN95_OK);
    CHECK(Exists(link.linkPath), 1);
    CHECK(SetShellLink(NULL), WIN95_FAILED);

    /* Whatever this machine holds: the backup file is written exactly when
     * an account is found. */
    Path(backup, sizeof backup, "backup.ini");
    CHECK(IsUserRegistered(&registered, backup, 0), WIN95_OK);
    CHECK(registered == 0 || registered == 1, 1);
    CHECK(Exists(backup), registered);
    CHECK(IsUserRegistered(NULL, backup, 0), WIN95_FAILED);

    /* The entry name is compared exactly: another case is not the service. */
    CHECK(AutoDialHandler(NULL, entry, 0, &retCode), FALSE);
    CHECK(retCode, 0);
}

int main(void) {
    char temp[MAX_PATH];
    char process[16];
    char state[MAX_PATH];
    RemovalRecord removal;
    DWORD dialer = 0;
    HWND window;

    GetTempPathA(sizeof temp, temp);
    sprintf(process, "%lu", GetCurrentProcessId());
    Append(g_folder, sizeof g_folder, temp);
    Append(g_folder, sizeof g_folder, "sdk_c_caller_");
    Append(g_folder, sizeof g_folder, process);
    CreateDirectoryA(g_folder, NULL);
    Path(state, sizeof state, "doubles");
    CreateDirectoryA(state, NULL);
    SetEnvironmentVariableA("WIN95_DOUBLES_STATE", state);
    window = CreateCallerWindow();
    CHECK(window != NULL, 1);

    VersionChecks();
    ModemChecks();
    DialChecks(window, &dialer);
    ObjectChecks(dialer);
    GenericApiChecks();
    EnvironmentChecks();
    CHECK(FreeObject(dialer), WIN95_OK);
    CHECK(FreeObject(dialer), WIN95_INVALID_HANDLE);

    /* Request 1 last: the caller's folder and everything in it. */
    memset(&removal, 0, sizeof removal);
    Append(removal.path, sizeof removal.path, g_folder);
    CHECK(GenericApi(1, &removal), WIN95_OK);
    CHECK(Exists(g_folder), 0);

    DestroyWindow(window);
    printf(g_failures ? "sdk_c_caller: FAILED\n" : "sdk_c_caller: all checks passed\n");
    return (int)g_failures;
}
