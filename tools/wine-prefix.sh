#!/bin/sh
# Makes a 32-bit Wine prefix ready for the project's Windows programs, the
# same in host mode (build/wine/prefix) and in the wine box (baked into its
# image):
#  - Wine's Mono and Gecko add-ons are not fetched;
#  - the null display driver, so that hidden windows, timers and message
#    loops work without a display;
#  - no crash dialog: a crashing program ends instead of waiting for a
#    debugger;
#  - Windows version "win95": GetVersion and GetVersionEx answer as
#    Windows 95 does. (Lanes that test later systems remove the value again,
#    see tools/wine-exec.sh.)
# Wine's own messages go to PREFIX.log.
#
#   tools/wine-prefix.sh PREFIX
set -eu
prefix=$1
log=$prefix.log
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
step() {
    echo "+ $*" >> "$log"
    "$@" < /dev/null >> "$log" 2>&1 || { echo "wine-prefix: '$*' failed, see $log" >&2; exit 1; }
}
: > "$log"
step wineboot -i
step wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
step wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f
step wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
step wine reg add 'HKCU\Software\Wine' /v Version /d win95 /f
step wineserver -k
step wineserver -w
test -f "$prefix/system.reg" || { echo "wine-prefix: no registry in $prefix" >&2; exit 1; }
