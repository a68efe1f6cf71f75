#include "database/StoreFields.h"

#include <cstdio>

bool AddStoreFields(FieldTable& table, const StoreField* fields, size_t count, int number) {
    for (size_t i = 0; i < count; ++i) {
        char name[sizeof(FieldDescriptor::name)];
        char comment[sizeof(FieldDescriptor::comment)];
        std::snprintf(name, sizeof name, fields[i].name, number);
        std::snprintf(comment, sizeof comment, fields[i].comment, number);
        if (table.AddField(name, comment, fields[i].type, fields[i].length, fields[i].offset) < 0)
            return false;
    }
    return true;
}
