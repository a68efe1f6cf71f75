// kitdb: looks into and repairs the kit's record databases with the
// library's own engine and stores. Every command takes the database name as
// the engine does: the path without extension.
//
// Exit codes: 0 success (verify: clean), 1 verify found damage, 2 the
// command could not do its work (the database is unusable, a file cannot be
// read or written, or the arguments are wrong). Errors go to standard error
// and name the file and the reason in words.
#ifndef WIN95_TOOLS_KITDB_KITDB_H
#define WIN95_TOOLS_KITDB_KITDB_H

#include <cstdint>
#include <memory>
#include <string>

#include "database/CDatabaseImp.h"

enum ExitCode { kExitOk = 0, kExitDamaged = 1, kExitFailed = 2 };

// The words for a CDatabase result (0 or negative); forText for the results
// of an export or import, whose file-level codes concern the text file.
std::string Reason(int code, bool forText = false);
// Prints "kitdb: FILE: REASON (code N)" to standard error; returns 2.
int Fail(const std::string& file, int code, bool forText = false);
// Prints "kitdb: TEXT" to standard error; returns 2.
int FailWith(const std::string& text);

// The .db file of name opened on its own (the index is not needed), or null
// after printing why it cannot be opened.
std::unique_ptr<CDatabaseImp> OpenDataFile(const std::string& name);

// The store whose layout the file has: "profile", "location", or "" for none.
const char* StoreOf(const CDatabaseImp& imp);

int Info(const std::string& name);
int Verify(const std::string& name);
int Show(const std::string& name, const char* number);
int Export(const std::string& name, const std::string& file);
int Import(const std::string& name, const std::string& file);
int RebuildIndex(const std::string& name);
int Upgrade(const std::string& name, const std::string& store);

#endif
