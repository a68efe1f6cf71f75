// The subscriber profile store: a database of ProfileRecord records (record
// version 57, 9466 bytes, win95/Records.h) whose current record is the
// subscriber in use, indexed on Description.
#ifndef WIN95_DATABASE_PROFILEDATABASE_H
#define WIN95_DATABASE_PROFILEDATABASE_H

#include <win95/Records.h>

#include <cstdint>

#include "database/CDatabase.h"
#include "database/StoreDatabase.h"
#include "database/StoreFields.h"
#include "database/StoreRecordObject.h"

constexpr int32_t kProfileRecordVersion = 57;
constexpr uint32_t kProfileFieldCount = 49;

// The profile table: record size 9466, version 57, 49 descriptors in record
// order. False when the descriptor buffer cannot be had.
bool BuildProfileFieldTable(FieldTable& table);

// A profile record: all zero but Version 57.
class ProfileRecordObject : public StoreRecordObject<ProfileRecord> {
public:
    ProfileRecordObject();

    // Copy at most 254 characters, zero the rest of the field's first 254
    // bytes and leave its last byte as it is. A null text empties the field.
    void SetLoginName(const char* text);
    void SetPassword(const char* text);
    void SetPOPName(const char* text);
    void SetPOPPassword(const char* text);
    void SetPOPServer(const char* text);
    void SetSMTPServer(const char* text);
    void SetEmailAddress(const char* text);
    void SetNNTPServer(const char* text);
    void SetLastName(const char* text);
    void SetHomePage(const char* text);

    void SetDnsAddr1(const uint8_t (&address)[4]);
    void SetDnsAddr2(const uint8_t (&address)[4]);
    // A dotted-decimal address: four numbers, each read as a signed decimal
    // and stored as its low byte, each separator character passed without
    // being looked at. Numbers the text does not have give 0; nothing past
    // the text's terminator is read. A null text gives 0.0.0.0.
    void ParseDnsAddr1(const char* text);
    void ParseDnsAddr2(const char* text);

    // The field's text inside the record. A field an import filled to its
    // end has no terminator of its own; the text then runs on into the
    // fields after it, never past the object (see RecordTextLength for the
    // field's own length).
    const char* GetPOPName() const { return Record().POPName; }
    const char* GetEmailAddress() const { return Record().EmailAddress; }

#ifdef _WIN32
    // Writes section "Profile" of the backup file: 1, or 0 when the file can
    // neither be opened nor created.
    int WriteBackup(const char* path) const;
#endif
};

extern const StoreLayout kProfileStoreLayout;

// The profile store: index key length 254 when made anew, 255 when the index
// is rebuilt. The mail fields are cleaned up by NormalizeMailFields
// (environment/ClientSettings.h) on the record object's Record().
class CProfileDatabase : public CStoreDatabase<ProfileRecordObject, kProfileStoreLayout> {};

#endif
