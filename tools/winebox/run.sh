#!/bin/bash
# Runs a command inside the wine box (see build-image.sh) and returns its exit
# status. The host folder WINEBOX_SHARE (default: this checkout) appears in the
# guest at the same path, and the command runs in the same working directory,
# so build trees and CTest files work unchanged. Every run starts from the
# pristine image: what the command changes outside the shared folder is lost.
# Use it through tools/winrun.sh, which picks the box where the host cannot
# run 32-bit code itself.
#
#   tools/winebox/run.sh -- ctest --test-dir build/win32 -R Buffer
#
# The guest's Wine setup is its own: of the host's variables only GTEST_*,
# WIN95_* and WINEDEBUG reach the command, and none of them can replace the
# guest's prepared prefix. The machine uses KVM when /dev/kvm is usable and
# full software emulation otherwise; WINEBOX_CPUS and WINEBOX_MEMORY (MiB)
# size it.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
share=${WINEBOX_SHARE:-$(cd "$here/../.." && pwd)}
timeout=${WINEBOX_TIMEOUT:-3000}

job=""
if [ "${1:-}" = "--job" ]; then
    job=$2
else
    [ "${1:-}" = "--" ] && shift
    [ $# -gt 0 ] || { echo "usage: $0 -- COMMAND [ARG...]" >&2; exit 2; }
    image=$("$here/build-image.sh" --dir) || exit 125
    case "$PWD/" in
        "$share"/*) ;;
        *) echo "winebox: $PWD is not inside the shared folder $share" >&2; exit 2 ;;
    esac
    mkdir -p "$share/.winebox"
    job=$(mktemp "$share/.winebox/job-XXXXXX")
    {
        { env | grep -E '^(GTEST_[A-Z_]*|WIN95_[A-Z0-9_]*|WINEDEBUG)=' |
              grep -vE '^WIN95_WINE_(LANES|DIR|MODE)=' || true; } |
            while IFS='=' read -r name value; do printf 'export %s=%q\n' "$name" "$value"; done
        # The guest's own prefix (baked into the image) and lane folder.
        echo "export HOME=/root WINEPREFIX=/root/.wine WINEARCH=win32"
        echo "export WIN95_WINE_LANES=/root/win95-lanes WINEDLLOVERRIDES='mscoree,mshtml='"
        echo ": \"\${WINEDEBUG:=-all}\"; export WINEDEBUG"
        printf 'cd %q || exit 125\n' "$PWD"
        echo "echo '@@winebox-begin@@'"
        printf '%q ' "$@"
        echo '2>&1 | cat'
        echo 'rc=${PIPESTATUS[0]}'
        printf '%q --stop-lanes\n' "$here/../wine-exec.sh"
        echo "echo '@@winebox-end@@'"
        echo 'exit $rc'
    } > "$job"
fi
rm -f "$job.rc"
if [ -n "${WINEBOX_IMAGE:-}" ]; then
    # build-image.sh baking its own image, under its own lock.
    image=$WINEBOX_IMAGE
else
    # Held while the guest runs, so that no build of a newer image removes it.
    exec 8< "$image.lock" && flock -s 8 || exit 125
fi

case "$share" in *" "*) echo "winebox: the shared path must not contain blanks" >&2; exit 2 ;; esac
snapshot=on
[ "${WINEBOX_SNAPSHOT:-1}" = 0 ] && snapshot=off
cpus=${WINEBOX_CPUS:-$(nproc)}
if [ -r /dev/kvm ] && [ -w /dev/kvm ]; then
    accel=(-accel kvm -cpu host)
else
    accel=(-accel tcg -cpu qemu64,+ssse3,+sse4.1,+sse4.2,+popcnt)
fi

timeout "$timeout" qemu-system-x86_64 \
    -machine q35 "${accel[@]}" -smp "$cpus" -m "${WINEBOX_MEMORY:-3072}" \
    -display none -serial stdio -monitor none -no-reboot -nic none \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet loglevel=0 init=/sbin/winebox-init winebox.share=$share winebox.job=$job winebox.cache=${WINEBOX_9P_CACHE:-loose}" \
    -drive "file=$image/disk.img,if=virtio,format=raw,snapshot=$snapshot" \
    -virtfs "local,path=$share,mount_tag=share,security_model=none,id=share" \
    < /dev/null | awk '/@@winebox-begin@@/ { on = 1; next } /@@winebox-end@@/ { on = 0; next } on { print; fflush() }'
qemu_status=${PIPESTATUS[0]}

if [ ! -f "$job.rc" ]; then
    if [ "$qemu_status" = 124 ]; then
        echo "winebox: the guest was stopped after ${timeout}s (WINEBOX_TIMEOUT)" >&2
    else
        echo "winebox: the guest ended without a result (qemu exit $qemu_status)" >&2
    fi
    rm -f "$job"
    exit 124
fi
rc=$(cat "$job.rc")
rm -f "$job" "$job.rc"
exit "$rc"
