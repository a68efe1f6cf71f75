// kitdb COMMAND NAME ...: the command line of the database tool.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/kitdb/KitDb.h"

namespace {

struct Command {
    const char* name;
    const char* usage;
    const char* help;
    int minArgs;  // after the command
    int maxArgs;
    int (*run)(char** args, int count);
};

const Command kCommands[] = {
    {"info", "info NAME",
     "Shows the header of NAME.db, its field table, the record count, the current record\n"
     "and the statistics of NAME.idx (buckets used, longest chain).\n",
     1, 1, [](char** a, int) { return Info(a[0]); }},
    {"verify", "verify NAME",
     "Checks NAME.db and NAME.idx: the header and field table, every record's magic and\n"
     "Version, the current record, and every index chain (inside the file, no loops,\n"
     "pointing at a readable record whose key is the slot's, in the right bucket).\n"
     "Exit code 0 clean, 1 damaged, 2 unusable (NAME.db cannot be opened as a database).\n",
     1, 1, [](char** a, int) { return Verify(a[0]); }},
    {"show", "show NAME [N]",
     "Shows record N of NAME.db field by field (the current record without N).\n", 1, 2,
     [](char** a, int n) { return Show(a[0], n > 1 ? a[1] : nullptr); }},
    {"export", "export NAME FILE",
     "Writes the database NAME as text to FILE (a damaged index does not matter).\n", 2, 2,
     [](char** a, int) { return Export(a[0], a[1]); }},
    {"import", "import NAME FILE",
     "Appends the records of the text FILE to the database NAME, fields matched by name,\n"
     "and makes NAME.idx anew as rebuild-index does.\n",
     2, 2, [](char** a, int) { return Import(a[0], a[1]); }},
    {"rebuild-index", "rebuild-index NAME",
     "Makes NAME.idx anew from the records of NAME.db: a store's index for the profile and\n"
     "location layouts, else an index on the Description field keeping the bucket count\n"
     "and key length of the old index when it can be read (101 buckets otherwise).\n",
     1, 1, [](char** a, int) { return RebuildIndex(a[0]); }},
    {"upgrade", "upgrade NAME profile|location",
     "Opens NAME as the profile or location store: a database of an older record version\n"
     "is carried over into the current layout through \"database.exp\" in the current\n"
     "directory, which is left there.\n",
     2, 2, [](char** a, int) { return Upgrade(a[0], a[1]); }},
};

void Usage(FILE* out) {
    std::fprintf(out,
                 "usage: kitdb COMMAND ARGS...   (kitdb COMMAND --help for one command)\n"
                 "NAME is the database path without extension (NAME.db, NAME.idx).\n"
                 "Exit codes: 0 done (verify: clean), 1 verify found damage, 2 failed.\n"
                 "Commands:\n");
    for (const Command& command : kCommands) std::fprintf(out, "  kitdb %s\n", command.usage);
}

bool IsHelp(const char* arg) {
    return !std::strcmp(arg, "--help") || !std::strcmp(arg, "-h");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || IsHelp(argv[1]) || !std::strcmp(argv[1], "help")) {
        Usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitFailed : kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        for (int i = 2; i < argc; ++i) {
            if (!IsHelp(argv[i])) continue;
            std::printf("usage: kitdb %s\n%s", command.usage, command.help);
            return kExitOk;
        }
        int count = argc - 2;
        if (count < command.minArgs || count > command.maxArgs) {
            std::fprintf(stderr, "usage: kitdb %s\n", command.usage);
            return kExitFailed;
        }
        return command.run(argv + 2, count);
    }
    std::fprintf(stderr, "kitdb: unknown command \"%s\"\n", argv[1]);
    Usage(stderr);
    return kExitFailed;
}
