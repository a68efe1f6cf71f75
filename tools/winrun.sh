#!/bin/sh
# The one door through which the project runs Windows programs: CTest's
# Windows suites, the demo and the benchmarks all come through here.
#
#   tools/winrun.sh [--] COMMAND [ARG...]
#
# runs COMMAND (a command of this checkout, such as `ctest --test-dir
# build/win32` or `tools/wine-exec.sh build/win32/bin/X.exe`) where Windows
# programs can run, and returns its exit status. tools/winmode.sh picks the
# mode, WIN95_WINE_MODE=auto|host|box overrides it:
#
#  host  The host's own 32-bit Wine with a private prefix under the build
#        folder (WIN95_WINE_DIR, default build/wine), made once by
#        tools/wine-prefix.sh. The user's own Wine prefix is never touched.
#  box   The wine box (tools/winebox/run.sh): a small emulated Debian machine
#        with 32-bit Wine that sees this checkout at the same path.
#
# In both, tools/wine-exec.sh runs each program in a lane of its own (a copy
# of the prefix with its own Wine server), so that programs run side by side.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
[ "${1:-}" = "--" ] && shift
if [ $# -eq 0 ]; then
    echo "usage: $0 [--] COMMAND [ARG...]" >&2
    exit 2
fi

decision=$("$here/winmode.sh") || exit 2
[ -n "${WIN95_WINE_QUIET:-}" ] || echo "winrun: $decision" >&2

case "$decision" in
    box:*)
        exec "$here/winebox/run.sh" -- "$@"
        ;;
esac

# Host mode. Only this checkout's prefix and lanes are used; variables that
# would point Wine elsewhere are dropped.
unset WINESERVER WINELOADER WINEDLLPATH WINEARCH
dir=${WIN95_WINE_DIR:-$root/build/wine}
prefix=$dir/prefix
stamp=$({ cat "$here/wine-prefix.sh"; wine --version; } | cksum | cut -d' ' -f1)
mkdir -p "$dir"
(
    flock 9
    if [ ! -f "$prefix.ready" ] || [ "$(cat "$prefix.ready")" != "$stamp" ]; then
        echo "winrun: preparing the Wine prefix $prefix (about half a minute, once)" >&2
        rm -rf "$prefix" "$prefix.ready"
        "$here/wine-prefix.sh" "$prefix" || exit 1
        echo "$stamp" > "$prefix.ready"
    fi
) 9> "$dir/prefix.lock" || {
    echo "winrun: making the Wine prefix $prefix failed" >&2
    exit 125
}

lanes=$(mktemp -d "$dir/lanes.XXXXXX") || exit 125
export WINEPREFIX="$prefix" WIN95_WINE_LANES="$lanes"
cleanup() {
    "$here/wine-exec.sh" --stop-lanes
    rm -rf "$lanes"
}
trap 'cleanup; exit 130' INT TERM
"$@"
status=$?
cleanup
exit "$status"
