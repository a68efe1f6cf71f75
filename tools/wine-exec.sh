#!/bin/sh
# Runs one Windows program under Wine with the project's platform doubles
# (rasapi32, rnaph, tapi32, serialui) preferred over Wine's own stubs when
# they lie beside the program. It is CTest's emulator for the win32 build
# and runs under tools/winrun.sh, which sets WINEPREFIX to a prepared prefix
# (tools/wine-prefix.sh): on the host or inside the wine box alike.
#
# Lanes: when WIN95_WINE_LANES names a folder (tools/winrun.sh sets one for
# each run), the program runs in a lane of its own: a copy of the prepared
# prefix with its own Wine server, so that its registry, WIN.INI, named
# objects and temporary folder are shared with no program running at the
# same time. Each program takes the first free lane of its kind and holds it
# until it ends, so `ctest -j N` needs at most N lanes; a lane is made on
# first use and reused by the programs after it. Kinds:
#   WIN95_WINE_VERSION=win95 (default)  Wine reports Windows 95
#   WIN95_WINE_VERSION=default          Wine's own default (a later system)
# Programs that start no doubles of their own get a state folder for them
# in their lane (WIN95_DOUBLES_STATE), not the build folder.
#
#   tools/wine-exec.sh PROGRAM.exe [ARG...]
#   tools/wine-exec.sh --stop-lanes     ends the Wine servers of every lane
set -u
: "${WINEDEBUG:=-all}"
export WINEDEBUG
if [ -z "${WINEPREFIX:-}" ]; then
    echo "wine-exec: WINEPREFIX is not set; run Windows programs through tools/winrun.sh" >&2
    exit 125
fi

if [ "${1:-}" = "--stop-lanes" ]; then
    for prefix in "${WIN95_WINE_LANES:-/nonexistent}"/*/prefix; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k > /dev/null 2>&1
    done
    exit 0
fi

# A lane's prefix: hard links to the prepared prefix's files, which Wine
# only reads (its DLLs and programs are most of its 600 MB), and copies of
# its own of everything Wine or a test may write in place (registry files,
# WIN.INI and the other files outside the system folder).
make_lane() {
    lane=$1
    rm -rf "$lane"
    mkdir -p "$lane"
    cp -al "$WINEPREFIX" "$lane/prefix" || return 1
    # One find and one cp for all of them: a process per file costs seconds
    # in the emulated box.
    find "$lane/prefix" -type f ! -path '*/windows/system32/*' -delete || return 1
    (cd "$WINEPREFIX" && find . -type f ! -path '*/windows/system32/*' -print0 |
        xargs -0r cp -p --parents -t "$lane/prefix") || return 1
    # Its Wine server and Wine's own services start here, away from the
    # program's output pipe, which they would otherwise keep open.
    (
        export WINEPREFIX="$lane/prefix"
        wineserver -p
        if [ "$2" = default ]; then
            wine reg delete 'HKCU\Software\Wine' /v Version /f
        else
            wine cmd /c exit
        fi
    ) < /dev/null > /dev/null 2>&1
    touch "$lane/ready"
}

if [ -n "${WIN95_WINE_LANES:-}" ]; then
    version=${WIN95_WINE_VERSION:-win95}
    count=${WIN95_WINE_LANE_COUNT:-8}
    mkdir -p "$WIN95_WINE_LANES"
    lane=""
    while [ -z "$lane" ]; do
        k=1
        while [ "$k" -le "$count" ]; do
            exec 9>> "$WIN95_WINE_LANES/$version-$k.lock"
            if flock -n 9; then
                lane=$WIN95_WINE_LANES/$version-$k
                break
            fi
            exec 9>&-
            k=$((k + 1))
        done
        [ -n "$lane" ] || sleep 1
    done
    if [ ! -f "$lane/ready" ]; then
        make_lane "$lane" "$version" 9>&- || {
            echo "wine-exec: could not make the Wine prefix of lane $lane" >&2
            exit 125
        }
    fi
    export WINEPREFIX="$lane/prefix"
    if [ -z "${WIN95_DOUBLES_STATE:-}" ]; then
        mkdir -p "$lane/doubles"
        WIN95_DOUBLES_STATE="Z:$(printf '%s' "$lane/doubles" | tr / '\\')"
        export WIN95_DOUBLES_STATE
    fi
fi

export WINEDLLOVERRIDES="mscoree,mshtml=;rasapi32,rnaph,tapi32,serialui=n,b${WIN95_EXTRA_OVERRIDES:+;$WIN95_EXTRA_OVERRIDES}"
wine "$@" 9>&-
