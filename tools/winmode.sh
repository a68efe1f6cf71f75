#!/bin/sh
# Says where this machine runs the project's Windows programs, on one line:
#
#   host: <reason>   with the host's own 32-bit Wine (tools/winrun.sh keeps
#                    a private prefix under build/wine)
#   box: <reason>    inside the wine box, a small emulated machine with
#                    32-bit Wine (tools/winebox), for hosts that cannot
#                    execute 32-bit x86 code at all
#
# WIN95_WINE_MODE picks: auto (the default) decides as below, host or box
# force a mode (host fails, exit 2, on a host that cannot run 32-bit code).
#
#   tools/winmode.sh           the mode to run in now
#   tools/winmode.sh --setup   the mode tools/setup.sh installs packages for:
#                              as above, but a host that runs 32-bit code
#                              counts as host even before Wine is installed
#
# The decision rests on two probes, which tests may replace:
#   WIN95_PROBE_ELF32   a program that exits 42 where 32-bit code runs
#                       (default: a 96-byte Linux i386 program made here)
#   WIN95_WINE32_LOADER the 32-bit Wine loader (default /usr/lib/wine/wine,
#                       Debian's wine32 package)
set -u

for_setup=0
[ "${1:-}" = "--setup" ] && for_setup=1
mode=${WIN95_WINE_MODE:-auto}

# 0 when this host executes 32-bit x86 Linux programs. The built-in probe is
# an i386 ELF program that calls exit(42) through int 0x80; a kernel without
# 32-bit support refuses it ("Exec format error").
runs_32bit() {
    probe=${WIN95_PROBE_ELF32:-}
    scratch=""
    if [ -z "$probe" ]; then
        scratch=$(mktemp "${TMPDIR:-/tmp}/win95-elf32.XXXXXX") || return 1
        printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000' > "$scratch"
        printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >> "$scratch"
        printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\050\000' >> "$scratch"
        printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >> "$scratch"
        printf '\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000' >> "$scratch"
        printf '\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' >> "$scratch"
        chmod +x "$scratch"
        probe=$scratch
    fi
    "$probe" > /dev/null 2>&1
    status=$?
    [ -n "$scratch" ] && rm -f "$scratch"
    [ "$status" -eq 42 ]
}

has_wine32() {
    command -v wine > /dev/null 2>&1 && [ -x "${WIN95_WINE32_LOADER:-/usr/lib/wine/wine}" ]
}

case "$mode" in
    box)
        echo "box: forced by WIN95_WINE_MODE=box"
        ;;
    host)
        if ! runs_32bit; then
            echo "host: forced by WIN95_WINE_MODE=host, but this host cannot execute 32-bit x86 code" >&2
            exit 2
        fi
        if [ "$for_setup" = 0 ] && ! has_wine32; then
            echo "host: forced by WIN95_WINE_MODE=host, but 32-bit Wine is missing (run tools/setup.sh)" >&2
            exit 2
        fi
        echo "host: forced by WIN95_WINE_MODE=host"
        ;;
    auto)
        if ! runs_32bit; then
            echo "box: this host cannot execute 32-bit x86 code, so Wine runs in the emulated wine box"
        elif [ "$for_setup" = 1 ]; then
            echo "host: this host executes 32-bit x86 code"
        elif has_wine32; then
            echo "host: this host executes 32-bit x86 code and has 32-bit Wine"
        else
            echo "box: this host executes 32-bit x86 code but has no 32-bit Wine (tools/setup.sh installs it)"
        fi
        ;;
    *)
        echo "WIN95_WINE_MODE=$mode: expected auto, host or box" >&2
        exit 2
        ;;
esac
