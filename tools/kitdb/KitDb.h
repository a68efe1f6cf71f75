// kitdb: looks into and repairs the kit's record databases with the
// library's own engine and stores. Every command takes the database name as
// the engine does: the path without extension.
//
// info, show, verify, export and dump (and repair --dry-run) open the files
// for reading only and change nothing, not even a time stamp.
//
// Exit codes: 0 success (verify: clean), 1 damage found (or left after a
// repair or salvage), 2 the command could not do its work (the database is
// unusable, a file cannot be read or written, or the arguments are wrong).
// Errors go to standard error and name the file and the reason in words.
#ifndef WIN95_TOOLS_KITDB_KITDB_H
#define WIN95_TOOLS_KITDB_KITDB_H

#include <string>

enum ExitCode { kExitOk = 0, kExitDamaged = 1, kExitFailed = 2 };

enum class DumpPart { kAll, kHeader, kRecord };

int Info(const std::string& name, bool json = false);
int Verify(const std::string& name, bool json = false);
int Show(const std::string& name, const char* number);
// record: the record number of DumpPart::kRecord, as given.
int Dump(const std::string& name, DumpPart part, const char* record, bool json);
int Export(const std::string& name, const std::string& file);
int Import(const std::string& name, const std::string& file);
int RebuildIndex(const std::string& name);
int Upgrade(const std::string& name, const std::string& store);
int Salvage(const std::string& name, const std::string& out);
int Repair(const std::string& name, bool dryRun);

// The engine's messages on standard error from now on: failures and
// progress, or every message. Called before the first message.
void ShowEngineMessages(bool everything);

#endif
