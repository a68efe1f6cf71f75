#!/bin/bash
# Builds the wine box: a small Debian 12 machine image with 32-bit Wine, run
# under qemu's full-system emulation. It exists because some hosts (virtual
# machines whose kernel cannot run 32-bit code) cannot run WIN95.dll under Wine
# directly; the guest's emulated processor can.
#
# The image is built once per machine into the cache folder and reused; it is
# rebuilt when this script or the guest's init script changes. It holds a Wine
# prefix made ready for the tests (null display driver, no crash dialog).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${WINEBOX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/win95-winebox}
mirror=${WINEBOX_MIRROR:-http://deb.debian.org/debian}
stamp=$(cat "$here/build-image.sh" "$here/guest-init.sh" | sha256sum | cut -c1-16)

mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
if [ -f "$cache/ready" ] && [ "$(cat "$cache/ready")" = "$stamp" ]; then
    exit 0
fi
echo "winebox: building the guest image in $cache (a few minutes, once)"
rm -rf "$cache/rootfs" "$cache/disk.img" "$cache/vmlinuz" "$cache/initrd.img" "$cache/ready"
root="$cache/rootfs"

debootstrap --variant=minbase \
    --include=linux-image-amd64,kmod,e2fsprogs,ca-certificates \
    bookworm "$root" "$mirror" > "$cache/debootstrap.log" 2>&1 || {
    tail -20 "$cache/debootstrap.log"; exit 1; }

mount -t proc proc "$root/proc"
trap 'umount "$root/proc" 2>/dev/null || true' EXIT
chroot "$root" /bin/sh -c '
    set -e
    dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        wine wine32:i386 cmake liblnk-utils procps python3-minimal
    apt-get clean
    rm -rf /var/lib/apt/lists/*' > "$cache/packages.log" 2>&1 || {
    tail -20 "$cache/packages.log"; exit 1; }
umount "$root/proc"
trap - EXIT

install -m 755 "$here/guest-init.sh" "$root/sbin/winebox-init"
cp "$root"/boot/vmlinuz-* "$cache/vmlinuz"
cp "$root"/boot/initrd.img-* "$cache/initrd.img"
mkfs.ext4 -q -F -L winebox -d "$root" "$cache/disk.img" 8G
rm -rf "$root"

# Bake the Wine prefix into the image: one boot without a snapshot.
job="$cache/prefix-job.sh"
cat > "$job" <<'JOB'
export HOME=/root WINEPREFIX=/root/.wine WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
wineboot -i > /dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f > /dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f > /dev/null 2>&1
wineserver -k; wineserver -w
test -f /root/.wine/system.reg
JOB
WINEBOX_SNAPSHOT=0 WINEBOX_SHARE="$cache" "$here/run.sh" --job "$job" > "$cache/prefix.log" 2>&1 || {
    cat "$cache/prefix.log"; echo "winebox: making the Wine prefix failed"; exit 1; }
echo "$stamp" > "$cache/ready"
echo "winebox: image ready"
