// Removal of a file, or of a directory with everything below it.
#ifndef WIN95_ENVIRONMENT_REMOVELONGFILENAME_H
#define WIN95_ENVIRONMENT_REMOVELONGFILENAME_H

#include <win95/Records.h>
#include <windows.h>

// 0 when the file or directory is gone, else 8. Only absolute paths below a
// root are taken ("X:\dir...", "\\server\share\dir..." without "." or ".."
// components); anything else is refused before anything is touched. A
// directory that cannot be removed at once (not empty, or access denied) is
// emptied first, level by level; the first entry that cannot be removed
// stops its directory's listing and the removal fails. What was deleted
// before stays deleted. Directory links (junctions, symbolic links) are
// removed as links and never listed. Paths that would not fit the record's
// 258-character field are refused.
DWORD RemoveLongFilename(const RemovalRecord& record);

#endif
