#include "bench/ProfileLayout.h"

#include <cstdio>
#include <cstring>

FieldTable ProfileTable() {
    FieldTable table;
    table.Init(kProfileSize, kProfileVersion);
    table.AddField("Version", "This field must always be 57", kFieldLong, 1, 0);
    table.AddField("Description", "", kFieldText, 255, 4);
    table.AddField("ProfileId", "The profileID must be unique in the database", kFieldLong, 1, 260);
    table.AddField("RegistrationCode", "", kFieldText, 255, 264);
    table.AddField("Package", "", kFieldText, 255, 519);
    table.AddField("AutoLaunchPackage", "", kFieldBytes, 1, 774);
    table.AddField("bIsVisible", "", kFieldBytes, 1, 775);
    table.AddField("LastResetDate", "", kFieldLong, 1, 776);
    table.AddField("ConnectionTime", "", kFieldLong, 1, 780);
    for (uint32_t n = 1; n <= 5; ++n) {
        char name[40];
        std::snprintf(name, sizeof name, "UserApp %u Command line", n);
        table.AddField(name, "", kFieldText, 254, 784 + 508 * (n - 1));
        std::snprintf(name, sizeof name, "UserApp %u Arguments", n);
        table.AddField(name, "", kFieldText, 254, 1038 + 508 * (n - 1));
    }
    const char* texts[] = {"LoginName", "Password", "CompanyLoginName", "CompanyPassword",
                           "Domain"};
    for (uint32_t i = 0; i < 5; ++i) table.AddField(texts[i], "", kFieldText, 255, 3324 + 255 * i);
    const char* addresses[] = {"DnsAddr1", "DnsAddr2", "OriginalDnsAddr1", "OriginalDnsAddr2"};
    for (uint32_t i = 0; i < 4; ++i) table.AddField(addresses[i], "", kFieldBytes, 4, 4599 + 4 * i);
    table.AddField("IPAssigned", "", kFieldBytes, 1, 4615);
    table.AddField("IPAddr", "", kFieldBytes, 4, 4616);
    const char* tail[] = {
        "POPName",  "POPPassword", "POPServer",         "SMTPServer",      "EmailAddress",
        "Title",    "FirstName",   "LastName",          "Address",         "Address2",
        "City",     "State",       "Zipcode",           "Country",         "Organization",
        "HomePage", "NNTPServer",  "OriginalLoginName", "OriginalPassword"};
    for (uint32_t i = 0; i < 19; ++i) table.AddField(tail[i], "", kFieldText, 255, 4620 + 255 * i);
    return table;
}

std::vector<unsigned char> ProfileRecordBytes(uint32_t n) {
    std::vector<unsigned char> bytes(kProfileSize);
    FieldTable table = ProfileTable();
    uint32_t seed = n * 2654435761u + 1;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (uint32_t i = 0; i < table.Count(); ++i) {
        const FieldDescriptor& field = *table.Descriptor(static_cast<int>(i));
        unsigned char* at = bytes.data() + field.offset;
        if (field.type == kFieldText) {
            uint32_t length = 8 + next() % 33;
            for (uint32_t k = 0; k < length; ++k)
                at[k] = static_cast<unsigned char>('a' + next() % 26);
        } else {
            for (uint64_t k = 0; k < FieldByteSize(field.type, field.length); ++k)
                at[k] = static_cast<unsigned char>(next() >> 24);
        }
    }
    uint32_t version = kProfileVersion;
    std::memcpy(bytes.data(), &version, 4);
    return bytes;
}
