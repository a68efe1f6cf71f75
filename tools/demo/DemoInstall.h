// The demo's kit installation: the kit's programs, WIN95.dll and the
// simulated line's platform stand-ins copied into a kit directory of their
// own, with the "corecode.ini" beside the library and the WIN.INI section it
// names, as the kit's setup would leave them.
#ifndef WIN95_TOOLS_DEMO_DEMOINSTALL_H
#define WIN95_TOOLS_DEMO_DEMOINSTALL_H

#include <string>

// The argument the installed copy of the demo is started with.
constexpr char kInstalledArgument[] = "/installed";

// Installs the kit from the directory of this program into dir, removing
// the stores and the backup file an earlier session left there. False with
// a sentence in error when a file cannot be copied or written.
bool InstallKit(const std::string& dir, std::string& error);

// Runs dir's copy of this program with kInstalledArgument, sharing this
// console, and answers its exit code (or 1 when it cannot be started).
int RunInstalledCopy(const std::string& dir);

#endif
