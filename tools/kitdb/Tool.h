// What kitdb's commands share: the words for the engine's codes, error
// reports, the read-only open of a data file, and the forms of texts and
// field values on the terminal.
#ifndef WIN95_TOOLS_KITDB_TOOL_H
#define WIN95_TOOLS_KITDB_TOOL_H

#include <cstdint>
#include <memory>
#include <string>

#include "database/CDatabaseImp.h"
#include "tools/kitdb/KitDb.h"

// The words for a CDatabase result (0 or negative); forText for the results
// of an export or import, whose file-level codes concern the text file.
std::string Reason(int code, bool forText = false);
// Prints "kitdb: FILE: REASON (code N)" to standard error; returns 2.
int Fail(const std::string& file, int code, bool forText = false);
// Prints "kitdb: TEXT" to standard error; returns 2.
int FailWith(const std::string& text);

// NAME.db opened for reading only (the index is not needed, nothing is
// written), or null after printing why it cannot be opened: missing, not
// readable, or the check of the header that failed with its values.
std::unique_ptr<CDatabaseImp> OpenDataFile(const std::string& name);
// Why the data file at path cannot be opened for reading, and the CDatabase
// code; "" when it can.
std::string WhyNotOpened(const std::string& path, int* code);

// The text in a fixed array: up to its terminator or the array's end.
std::string FixedText(const char* bytes, size_t size);
// Printable characters as they are, the others (and the backslash) as \xNN.
std::string Printable(const std::string& text);
std::string FieldName(const FieldDescriptor& field);
// A field's value: numbers separated by blanks (8-byte elements in
// hexadecimal), texts quoted up to their terminator or the field's end.
std::string FieldValue(const FieldDescriptor& field, const unsigned char* record);
// "0x" and eight hexadecimal digits.
std::string Hex32(uint32_t value);
// The size of the file at path, -1 when it cannot be opened for reading.
long FileSize(const std::string& path);

#endif
