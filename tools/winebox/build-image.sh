#!/bin/bash
# Builds the wine box: a small Debian 12 machine image with 32-bit Wine, run
# under qemu (tools/winebox/run.sh). It exists because some hosts (virtual
# machines whose kernel cannot run 32-bit code) cannot run WIN95.dll under
# Wine directly; the guest's processor can.
#
# The image is built once per machine into the cache folder (WINEBOX_CACHE,
# default ~/.cache/win95-winebox, about 2.5 GB) and reused; it is rebuilt when
# this script, the guest's init script or tools/wine-prefix.sh changes. It
# needs Debian's package mirror (WINEBOX_MIRROR) and takes a few minutes.
#
# No root is needed where the kernel lets users make user namespaces and
# the user has subordinate ids (/etc/subuid, /etc/subgid; Debian gives new
# users a range): mmdebstrap then works in unshare mode. Elsewhere the
# script says so and runs mmdebstrap through sudo; either way every file it
# leaves belongs to the user who called it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${WINEBOX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/win95-wine-box}
mirror=${WINEBOX_MIRROR:-http://deb.debian.org/debian}
stamp=$(cat "$here/build-image.sh" "$here/guest-init.sh" "$here/../wine-prefix.sh" |
        sha256sum | cut -c1-16)

mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
if [ -f "$cache/ready" ] && [ "$(cat "$cache/ready")" = "$stamp" ]; then
    exit 0
fi

# unshare mode needs user namespaces and subordinate ids for this user.
user=$(id -un)
mode=unshare
sudo=()
if [ "$(id -u)" = 0 ]; then
    mode=root
elif ! grep -qs "^$user:" /etc/subuid || ! grep -qs "^$user:" /etc/subgid ||
     ! command -v newuidmap > /dev/null || ! unshare --user true 2> /dev/null; then
    echo "winebox: building the image needs root here (no user namespaces or no" \
         "/etc/subuid range for $user); running mmdebstrap through sudo" >&2
    mode=root
    sudo=(sudo)
fi

echo "winebox: building the guest image in $cache (a few minutes, once)"
rm -rf "$cache/boot" "$cache/disk.img" "$cache/vmlinuz" "$cache/initrd.img" "$cache/ready"
work=$(mktemp -d "$cache/build.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$here/guest-init.sh" "$here/../wine-prefix.sh" "$work/"

"${sudo[@]}" mmdebstrap --mode="$mode" --variant=minbase --architectures=amd64,i386 \
    --include=linux-image-amd64,kmod,e2fsprogs,ca-certificates,procps,python3-minimal \
    --include=wine,wine32:i386,cmake,liblnk-utils,binutils-mingw-w64-i686 \
    --customize-hook="upload $work/guest-init.sh /sbin/winebox-init" \
    --customize-hook="upload $work/wine-prefix.sh /usr/local/bin/win95-wine-prefix" \
    --customize-hook='chmod 755 "$1/sbin/winebox-init" "$1/usr/local/bin/win95-wine-prefix"' \
    --customize-hook="sync-out /boot $work/boot" \
    --customize-hook='rm -rf "$1"/var/lib/apt/lists/* "$1"/var/cache/apt/*.bin' \
    --format=ext2 bookworm "$work/disk.img" "$mirror" > "$cache/mmdebstrap.log" 2>&1 || {
    tail -20 "$cache/mmdebstrap.log"; exit 1; }
if [ ${#sudo[@]} -gt 0 ]; then
    sudo chown -R "$(id -u):$(id -g)" "$work"
fi

# Room for the Wine prefix and the lanes' copies of it.
truncate -s 8G "$work/disk.img"
e2fsck -fy "$work/disk.img" > /dev/null 2>&1 || true
resize2fs "$work/disk.img" > /dev/null 2>&1
cp "$work"/boot/vmlinuz-* "$cache/vmlinuz"
cp "$work"/boot/initrd.img-* "$cache/initrd.img"
mv "$work/disk.img" "$cache/disk.img"

# Bake the Wine prefix into the image: one boot without a snapshot.
job="$cache/prefix-job.sh"
echo 'HOME=/root win95-wine-prefix /root/.wine' > "$job"
WINEBOX_SNAPSHOT=0 WINEBOX_SHARE="$cache" "$here/run.sh" --job "$job" > "$cache/prefix.log" 2>&1 || {
    cat "$cache/prefix.log"; echo "winebox: making the Wine prefix failed"; exit 1; }
echo "$stamp" > "$cache/ready"
echo "winebox: image ready"
