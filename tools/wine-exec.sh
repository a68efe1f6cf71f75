#!/bin/sh
# CTest's emulator for the Windows build: runs a Windows program under Wine
# with the project's platform doubles (rasapi32, rnaph, tapi32, serialui)
# preferred over Wine's own stubs when they lie beside the program.
# Needs a host or guest that can run 32-bit Wine: under tools/winebox/run.sh.
: "${WINEPREFIX:=/root/.wine}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG
export WINEDLLOVERRIDES="mscoree,mshtml=;rasapi32,rnaph,tapi32,serialui=n,b${WIN95_EXTRA_OVERRIDES:+;$WIN95_EXTRA_OVERRIDES}"
exec wine "$@"
