#include "diag/Logs.h"

VLogOut g_Log("Win95Dialer", nullptr);
VLogOut g_DbLog("Database", nullptr);
