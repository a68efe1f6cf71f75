// kitdb COMMAND NAME ...: the command line of the database tool.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/kitdb/KitDb.h"

namespace {

// The options a command takes, as bits.
enum Option : unsigned { kJson = 1, kDryRun = 2, kHeader = 4, kRecord = 8 };

struct Arguments {
    std::vector<std::string> words;  // after the command
    unsigned options = 0;
    const char* record = nullptr;
};

struct Command {
    const char* name;
    const char* usage;
    const char* help;
    size_t minArgs;  // after the command
    size_t maxArgs;
    unsigned options;
    int (*run)(const Arguments& a);
};

const Command kCommands[] = {
    {"info", "info NAME [--json]",
     "Shows the header of NAME.db, its field table, the record count, the current record\n"
     "and the statistics of NAME.idx (buckets used, longest chain). Reads only.\n",
     1, 1, kJson, [](const Arguments& a) { return Info(a.words[0], a.options & kJson); }},
    {"verify", "verify NAME [--json]",
     "Checks NAME.db and NAME.idx and the files of the store's carry-over, and names\n"
     "every problem with its place and what repairs it: a bad record magic, a record\n"
     "whose Version is not the database's, a partial place at the end, a current\n"
     "record beyond the records, open counts not 0, the index (missing, unsealed,\n"
     "damaged header, every chain: inside the file, no loops, pointing at readable\n"
     "records whose key is the slot's, in the right bucket; the store's parameters),\n"
     "an interrupted carry-over (NAME.new.*, NAME.old.db) and old data files it kept\n"
     "(NAME.vNN.db). Reads only. Exit code 0 clean (notes only), 1 damaged, 2\n"
     "unusable (NAME.db cannot be opened as a database).\n",
     1, 1, kJson, [](const Arguments& a) { return Verify(a.words[0], a.options & kJson); }},
    {"show", "show NAME [N]",
     "Shows record N of NAME.db field by field (the current record without N). Reads\n"
     "only.\n",
     1, 2, 0,
     [](const Arguments& a) {
         return Show(a.words[0], a.words.size() > 1 ? a.words[1].c_str() : nullptr);
     }},
    {"dump", "dump NAME [--header | --record N] [--json]",
     "Shows the bytes of NAME.db as the engine reads them, fields and hex with file\n"
     "offsets: the header, every field descriptor and the list of record places; with\n"
     "--header the header alone, with --record N record place N (also a bad one, or the\n"
     "partial place at the end). For a header the engine refuses it names the check\n"
     "that fails and its values (exit code 2). Reads only.\n",
     1, 1, kJson | kHeader | kRecord,
     [](const Arguments& a) {
         DumpPart part = a.options & kRecord   ? DumpPart::kRecord
                         : a.options & kHeader ? DumpPart::kHeader
                                               : DumpPart::kAll;
         return Dump(a.words[0], part, a.record, a.options & kJson);
     }},
    {"export", "export NAME FILE",
     "Writes the database NAME as text to FILE (the index does not matter) and counts\n"
     "the records written; records that cannot be read are comments in the text. Reads\n"
     "NAME only.\n",
     2, 2, 0, [](const Arguments& a) { return Export(a.words[0], a.words[1]); }},
    {"import", "import NAME FILE",
     "Appends the records of the text FILE to the database NAME, fields matched by name,\n"
     "and makes NAME.idx anew as rebuild-index does.\n",
     2, 2, 0, [](const Arguments& a) { return Import(a.words[0], a.words[1]); }},
    {"rebuild-index", "rebuild-index NAME",
     "Makes NAME.idx anew from the records of NAME.db: for the profile and location\n"
     "layouts the store's index (101 buckets, the store's key), else an index on the\n"
     "Description field keeping the bucket count and key length of the old index when it\n"
     "can be read (101 buckets otherwise).\n",
     1, 1, 0, [](const Arguments& a) { return RebuildIndex(a.words[0]); }},
    {"upgrade", "upgrade NAME profile|location",
     "Opens NAME as the profile or location store does: an interrupted carry-over is\n"
     "finished or undone, a database of an older record version is carried over into\n"
     "the current layout through \"database.exp\" in the current directory (which is\n"
     "left there; an existing one is never written over: upgrade then refuses). Exit\n"
     "code 1 when records could not be carried over (the old file is kept as\n"
     "NAME.vNN.db).\n",
     2, 2, 0, [](const Arguments& a) { return Upgrade(a.words[0], a.words[1]); }},
    {"salvage", "salvage NAME OUT",
     "Makes the database OUT (OUT.db, OUT.idx, OUT.h00, and the text OUT.txt) from every\n"
     "record of NAME.db that can be read, byte for byte, the current record kept. The\n"
     "record places that cannot be read, those marked removed and a partial place at the\n"
     "end go raw into OUT.unread.db (NAME's header and fields, then those places), which\n"
     "dump and show read. Writes over nothing. Exit code 1 when records could not be\n"
     "read.\n",
     2, 2, 0, [](const Arguments& a) { return Salvage(a.words[0], a.words[1]); }},
    {"repair", "repair NAME [--dry-run]",
     "Makes the smallest change that gives a store that opens cleanly: finishes or\n"
     "undoes an interrupted carry-over with the store's own recovery (and carries an\n"
     "older layout over again), cuts off a partial place at the end, sets a current\n"
     "record beyond the records to -1 and the open counts to 0, makes a damaged index\n"
     "anew (the store's: 101 buckets, its key). Every file it changes is first copied\n"
     "to FILE.bak (or .bak2, ...). Records with a bad magic stay: salvage keeps them.\n"
     "Then verifies again: exit code 0 clean, 1 damage left, 2 failed. --dry-run says\n"
     "what it would do and changes nothing.\n",
     1, 1, kDryRun, [](const Arguments& a) { return Repair(a.words[0], a.options & kDryRun); }},
};

const char kSupportCase[] =
    "A support case, from a damaged store to a repaired one:\n"
    "  kitdb verify profile            what is wrong, each with its place and repair\n"
    "  kitdb dump profile --record 2   the bytes of a record verify names\n"
    "  kitdb salvage profile saved     every readable record into saved.db, the\n"
    "                                  others raw into saved.unread.db\n"
    "  kitdb repair profile --dry-run  what repair would change\n"
    "  kitdb repair profile            backups (profile.db.bak, ...), the repair,\n"
    "                                  and verify's result\n"
    "  kitdb verify profile            result: clean\n"
    "Options: -v shows the engine's messages (failures and progress; -vv all of\n"
    "them) on standard error. Without it they go where the log settings send them:\n"
    "the native kitdb writes them to standard error only when WIN95_LOG_STDERR=1,\n"
    "kitdb.exe to the devices and files of the log INI file (veltrane.ini).\n";

void Usage(FILE* out) {
    std::fprintf(out,
                 "usage: kitdb [-v|-vv] COMMAND ARGS...   (kitdb COMMAND --help for one command)\n"
                 "NAME is the database path without extension (NAME.db, NAME.idx).\n"
                 "Exit codes: 0 done (verify: clean), 1 damage found or left, 2 failed.\n"
                 "Commands:\n");
    for (const Command& command : kCommands) std::fprintf(out, "  kitdb %s\n", command.usage);
    std::fputs(kSupportCase, out);
}

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

// Splits the arguments after the command; false when one is not the
// command's.
bool Parse(const Command& command, int argc, char** argv, Arguments& args) {
    const struct {
        const char* text;
        Option option;
    } kOptions[] = {
        {"--json", kJson}, {"--dry-run", kDryRun}, {"--header", kHeader}, {"--record", kRecord}};
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) {
            args.words.push_back(arg);
            continue;
        }
        unsigned option = 0;
        for (const auto& known : kOptions)
            if (arg == known.text) option = known.option;
        if (!(option & command.options)) {
            std::fprintf(stderr, "kitdb %s: no option \"%s\"\n", command.name, arg.c_str());
            return false;
        }
        args.options |= option;
        if (option == kRecord) {
            if (i + 1 == argc) return false;
            args.record = argv[++i];
        }
    }
    if ((args.options & kHeader) && (args.options & kRecord)) return false;
    return args.words.size() >= command.minArgs && args.words.size() <= command.maxArgs;
}

}  // namespace

int main(int argc, char** argv) {
    // -v and -vv anywhere.
    std::vector<char*> rest;
    int verbose = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-v"))
            verbose = verbose > 1 ? verbose : 1;
        else if (!std::strcmp(argv[i], "-vv"))
            verbose = 2;
        else
            rest.push_back(argv[i]);
    }
    if (rest.empty() || IsHelp(rest[0]) || !std::strcmp(rest[0], "help")) {
        Usage(rest.empty() ? stderr : stdout);
        return rest.empty() ? kExitFailed : kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(rest[0], command.name) != 0) continue;
        for (size_t i = 1; i < rest.size(); ++i) {
            if (!IsHelp(rest[i])) continue;
            std::printf("usage: kitdb %s\n%s", command.usage, command.help);
            return kExitOk;
        }
        Arguments args;
        if (!Parse(command, static_cast<int>(rest.size()) - 1, rest.data() + 1, args)) {
            std::fprintf(stderr, "usage: kitdb %s\n", command.usage);
            return kExitFailed;
        }
        if (verbose) ShowEngineMessages(verbose > 1);
        return command.run(args);
    }
    std::fprintf(stderr, "kitdb: unknown command \"%s\"\n", rest[0]);
    Usage(stderr);
    return kExitFailed;
}
