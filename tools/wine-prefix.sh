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
#
#   tools/wine-prefix.sh PREFIX
set -eu
prefix=$1
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
wineboot -i < /dev/null > /dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
    > /dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f > /dev/null 2>&1
wine reg add 'HKCU\Software\Wine' /v Version /d win95 /f > /dev/null 2>&1
wineserver -k
wineserver -w
test -f "$prefix/system.reg"
