#!/bin/bash
# Runs a command inside the wine box (see build-image.sh) and returns its exit
# status. The host folder WINEBOX_SHARE (default: this checkout) appears in the
# guest at the same path, and the command runs in the same working directory,
# so build trees and CTest files work unchanged. Every run starts from the
# pristine image: what the command changes outside the shared folder is lost.
#
#   tools/winebox/run.sh -- ctest --test-dir build/win32 -R Buffer
#   tools/winebox/run.sh -- tools/wine-exec.sh build/win32/tests/api_tests.exe
#
# Variables named WINE* and GTEST_* are passed on to the command.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${WINEBOX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/win95-winebox}
share=${WINEBOX_SHARE:-$(cd "$here/../.." && pwd)}
timeout=${WINEBOX_TIMEOUT:-3000}

job=""
if [ "${1:-}" = "--job" ]; then
    job=$2
else
    [ "${1:-}" = "--" ] && shift
    [ $# -gt 0 ] || { echo "usage: $0 -- COMMAND [ARG...]" >&2; exit 2; }
    "$here/build-image.sh"
    case "$PWD/" in
        "$share"/*) ;;
        *) echo "winebox: $PWD is not inside the shared folder $share" >&2; exit 2 ;;
    esac
    mkdir -p "$share/.winebox"
    job=$(mktemp "$share/.winebox/job-XXXXXX")
    {
        echo "export HOME=/root WINEPREFIX=/root/.wine WINEARCH=win32 WINEDEBUG=-all"
        echo "export WINEDLLOVERRIDES='mscoree,mshtml='"
        { env | grep -E '^(WINE[A-Z_]*|GTEST_[A-Z_]*|WIN95_[A-Z_]*)=' | grep -v '^WINEBOX_' || true; } |
            while IFS='=' read -r name value; do printf 'export %s=%q\n' "$name" "$value"; done
        # One persistent Wine server for the whole job: test programs then
        # start in about a second instead of bringing a server up each time.
        # The first program also starts Wine's own services, which then
        # outlive it: start them here, away from the command's output pipe.
        echo "wineserver -f -p < /dev/null > /dev/null 2>&1 &"
        echo "wine cmd /c exit < /dev/null > /dev/null 2>&1"
        printf 'cd %q || exit 125\n' "$PWD"
        echo "echo '@@winebox-begin@@'"
        echo "set -o pipefail"
        printf '%q ' "$@"
        echo '2>&1 | cat'
        echo 'rc=$?'
        echo 'wineserver -k 2>/dev/null'
        echo "echo '@@winebox-end@@'"
        echo 'exit $rc'
    } > "$job"
fi
rm -f "$job.rc"

case "$share" in *" "*) echo "winebox: the shared path must not contain blanks" >&2; exit 2 ;; esac
snapshot=on
[ "${WINEBOX_SNAPSHOT:-1}" = 0 ] && snapshot=off

timeout "$timeout" qemu-system-x86_64 \
    -machine q35 -cpu qemu64,+ssse3,+sse4.1,+sse4.2,+popcnt -smp 2 -m 3072 \
    -display none -serial stdio -monitor none -no-reboot -nic none \
    -kernel "$cache/vmlinuz" -initrd "$cache/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet loglevel=0 init=/sbin/winebox-init winebox.share=$share winebox.job=$job winebox.cache=${WINEBOX_9P_CACHE:-loose}" \
    -drive "file=$cache/disk.img,if=virtio,format=raw,snapshot=$snapshot" \
    -virtfs "local,path=$share,mount_tag=share,security_model=none,id=share" \
    < /dev/null | awk '/@@winebox-begin@@/ { on = 1; next } /@@winebox-end@@/ { on = 0; next } on { print; fflush() }'

if [ ! -f "$job.rc" ]; then
    echo "winebox: the guest ended without a result (crash or time-out after ${timeout}s)" >&2
    rm -f "$job"
    exit 124
fi
rc=$(cat "$job.rc")
rm -f "$job" "$job.rc"
exit "$rc"
