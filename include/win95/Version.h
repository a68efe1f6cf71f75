/* The version of WIN95.dll that these headers describe. It is written here
 * only: the build reads it for its project version and the DLL's version
 * resource (WIN95.rc) is made from it, so a caller can compare it with the
 * file version of the DLL it loaded. Preprocessor definitions only, so that
 * resource compilers can include it. */
#ifndef WIN95_VERSION_H
#define WIN95_VERSION_H

#define WIN95_VERSION_MAJOR 1
#define WIN95_VERSION_MINOR 0
#define WIN95_VERSION_PATCH 0

#define WIN95_VERSION_STRINGIZE_(x) #x
#define WIN95_VERSION_STRINGIZE(x) WIN95_VERSION_STRINGIZE_(x)
/* "1.0.0" */
#define WIN95_VERSION_TEXT                                                        \
    WIN95_VERSION_STRINGIZE(WIN95_VERSION_MAJOR)                                  \
    "." WIN95_VERSION_STRINGIZE(WIN95_VERSION_MINOR) "." WIN95_VERSION_STRINGIZE( \
        WIN95_VERSION_PATCH)

#endif
