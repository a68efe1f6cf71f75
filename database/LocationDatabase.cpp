#include "database/LocationDatabase.h"

#include <cstddef>
#include <cstring>

#include "database/DatabaseFormat.h"

namespace {

#define LOCATION_FIELD(field, type) \
    MakeStoreField(#field, "", type, sizeof(LocationRecord::field), offsetof(LocationRecord, field))

// The dialing settings, in the table's order (not the record's).
const StoreField kSettings[] = {
    {"Version", "This field must always be %d", kFieldLong, 1, 0},
    LOCATION_FIELD(Description, kFieldText),
    LOCATION_FIELD(AreaCode, kFieldText),
    LOCATION_FIELD(LocalNumber, kFieldText),
    LOCATION_FIELD(LocalAccess, kFieldText),
    LOCATION_FIELD(LongDistanceAccess, kFieldText),
    LOCATION_FIELD(CallWaitingDisable, kFieldText),
    LOCATION_FIELD(CountryCode, kFieldText),
    LOCATION_FIELD(CallingCardNumber, kFieldText),
    LOCATION_FIELD(TapiLocationID, kFieldLong),
    LOCATION_FIELD(CallWaitingDisabled, kFieldBytes),
    LOCATION_FIELD(ConnectionType, kFieldShort),
    LOCATION_FIELD(ToneDial, kFieldBytes),
    LOCATION_FIELD(DefaultPOPEntry, kFieldLong),
    LOCATION_FIELD(BackupPOPEntry, kFieldLong),
    LOCATION_FIELD(LastLupaCheckTime, kFieldLong),
    LOCATION_FIELD(Use1ForLongDistance, kFieldBytes),
    LOCATION_FIELD(DontUseAreaCodeWhenDialing, kFieldBytes),
    LOCATION_FIELD(DialLocalAsLongDistance, kFieldBytes),
    LOCATION_FIELD(ModemName, kFieldText),
};

#undef LOCATION_FIELD

// The three fields of POP entry n (from 1).
void EntryFields(StoreField (&fields)[3], uint32_t n) {
    uint32_t start =
        static_cast<uint32_t>(offsetof(LocationRecord, POPEntries) + sizeof(POPEntry) * (n - 1));
    fields[0] = {"PopNumber %d", "", kFieldText, sizeof(POPEntry::PopNumber),
                 start + static_cast<uint32_t>(offsetof(POPEntry, PopNumber))};
    fields[1] = {"PopDescription %d", "", kFieldText, sizeof(POPEntry::PopDescription),
                 start + static_cast<uint32_t>(offsetof(POPEntry, PopDescription))};
    fields[2] = {"PopDualLoginRequired %d", "", kFieldBytes, 1,
                 start + static_cast<uint32_t>(offsetof(POPEntry, PopDualLoginRequired))};
}

}  // namespace

bool BuildLocationFieldTable(FieldTable& table) {
    if (!table.Init(sizeof(LocationRecord), kLocationRecordVersion)) return false;
    if (!AddStoreFields(table, kSettings, sizeof kSettings / sizeof kSettings[0],
                        kLocationRecordVersion))
        return false;
    for (uint32_t n = 1; n <= kPOPEntryCount; ++n) {
        StoreField entry[3];
        EntryFields(entry, n);
        if (!AddStoreFields(table, entry, 3, static_cast<int>(n))) return false;
    }
    return true;
}

const StoreLayout kLocationStoreLayout = {
    "OpenDatabase:Exporting location database records\n",
    "OpenDatabase:Importing location database records\n",
    kLocationRecordVersion,
    255,
    255,
    BuildLocationFieldTable,
};

LocationRecordObject::LocationRecordObject() {
    Record().Version = kLocationRecordVersion;
    Record().ToneDial = 1;
    Record().DefaultPOPEntry = -1;
    Record().BackupPOPEntry = -1;
}

int LocationRecordObject::AddPOPEntry(const POPEntry& entry) {
    for (POPEntry& slot : Record().POPEntries) {
        if (slot.PopNumber[0] != '\0') continue;
        std::memcpy(&slot, &entry, sizeof slot);
        return 1;
    }
    return 0;
}

int LocationRecordObject::SetDefaultPOPEntry(uint32_t index) {
    if (index >= kPOPEntryCount) return 0;
    Record().DefaultPOPEntry = static_cast<int32_t>(index);
    return 1;
}
