// The field tables of the stores: each store lists its descriptors as
// StoreFields and appends them to its FieldTable.
#ifndef WIN95_DATABASE_STOREFIELDS_H
#define WIN95_DATABASE_STOREFIELDS_H

#include <cstddef>
#include <cstdint>

#include "database/DatabaseFormat.h"
#include "database/FieldTable.h"

// One descriptor of a store's field table; name and comment may hold one
// "%d", formed with the number given to AddStoreFields.
struct StoreField {
    const char* name;
    const char* comment;
    uint32_t type;
    uint32_t length;
    uint32_t offset;
};

// A field of size bytes at offset: its length is counted in elements of the
// type.
constexpr StoreField MakeStoreField(const char* name, const char* comment, uint32_t type,
                                    size_t size, size_t offset) {
    return StoreField{name, comment, type, static_cast<uint32_t>(size / FieldElementSize(type)),
                      static_cast<uint32_t>(offset)};
}

// Appends the fields with their names and comments formed with number.
// False when the table cannot grow.
bool AddStoreFields(FieldTable& table, const StoreField* fields, size_t count, int number);

#endif
