#!/bin/sh
# The choice between host Wine and the wine box, with the two probes of
# tools/winmode.sh replaced: a host that runs 32-bit code (a probe program
# that exits 42) and has 32-bit Wine picks host mode; one that cannot, or
# has no Wine, falls back to the box with a one-line reason; forced modes
# are honoured or refused.
#
#   winmode_test.sh tools/winmode.sh
set -u
winmode=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '#!/bin/sh\nexit 42\n' > "$scratch/runs32"
printf '\177ELF\002\001\001garbage' > "$scratch/refused"
# Two PATHs with the few commands the script uses, one with a wine command.
mkdir "$scratch/bin" "$scratch/winebin"
for tool in mktemp chmod rm; do ln -s "$(command -v $tool)" "$scratch/bin/$tool"; done
printf '#!/bin/sh\nexit 0\n' > "$scratch/winebin/wine"
chmod +x "$scratch/runs32" "$scratch/refused" "$scratch/winebin/wine"
with_wine="$scratch/winebin:$scratch/bin"
without_wine="$scratch/bin"

failures=0
# expect EXIT OUTPUT -- MODE PROBE PATH [ARG]
expect() {
    want_status=$1 want=$2
    shift 3
    out=$(WIN95_WINE_MODE=$1 WIN95_PROBE_ELF32=$2 WIN95_WINE32_LOADER=$scratch/winebin/wine PATH=$3 \
          "$winmode" ${4:-} 2>&1)
    status=$?
    if [ "$status" != "$want_status" ] || [ "$out" != "$want" ]; then
        echo "FAILED: mode=$1 probe=${2##*/} ${4:-}: exit $status, got '$out'"
        echo "        expected exit $want_status, '$want'"
        failures=$((failures + 1))
    fi
}

expect 0 "host: this host executes 32-bit x86 code and has 32-bit Wine" -- \
    auto "$scratch/runs32" "$with_wine"
expect 0 "box: this host cannot execute 32-bit x86 code, so Wine runs in the emulated wine box" -- \
    auto "$scratch/refused" "$with_wine"
expect 0 "box: this host executes 32-bit x86 code but has no 32-bit Wine (tools/setup.sh installs it)" -- \
    auto "$scratch/runs32" "$without_wine"
expect 0 "host: this host executes 32-bit x86 code" -- \
    auto "$scratch/runs32" "$without_wine" --setup
expect 0 "box: this host cannot execute 32-bit x86 code, so Wine runs in the emulated wine box" -- \
    auto "$scratch/refused" "$without_wine" --setup
expect 0 "box: forced by WIN95_WINE_MODE=box" -- box "$scratch/runs32" "$with_wine"
expect 0 "host: forced by WIN95_WINE_MODE=host" -- host "$scratch/runs32" "$with_wine"
expect 2 "host: forced by WIN95_WINE_MODE=host, but this host cannot execute 32-bit x86 code" -- \
    host "$scratch/refused" "$with_wine"
expect 2 "WIN95_WINE_MODE=both: expected auto, host or box" -- both "$scratch/runs32" "$with_wine"

[ "$failures" = 0 ] && echo "mode detection: ok"
[ "$failures" = 0 ]
