// The subscriber's current profile and dialing location, as the kit's
// programs keep them in the library's two stores (their paths come from the
// kit's "corecode.ini" beside the library).
#ifndef WIN95_TOOLS_CONNECT_SUBSCRIBERSTORES_H
#define WIN95_TOOLS_CONNECT_SUBSCRIBERSTORES_H

#include <win95/Records.h>
#include <windows.h>

#include <string>

// Reads the current record of each store. False with a sentence in error
// when a store cannot be opened or has no current record.
bool ReadSubscriber(HMODULE library, ProfileRecord& profile, LocationRecord& location,
                    std::string& error);

// Makes both stores anew, each with one record, the current one, given as
// field lines of the stores' text form ("        LoginName=\"jdoe\"\r\n"...).
// False with a sentence in error when a store cannot be made or filled.
bool WriteSubscriber(HMODULE library, const std::string& profileFields,
                     const std::string& locationFields, std::string& error);

// The access number of the location's default POP entry: empty when the
// entry is out of range or empty.
std::string DefaultAccessNumber(const LocationRecord& location);

#endif
