#!/bin/bash
# Builds the wine box: a small Debian 12 machine image with 32-bit Wine, run
# under qemu (tools/winebox/run.sh). It exists because some hosts (virtual
# machines whose kernel cannot run 32-bit code) cannot run WIN95.dll under
# Wine directly; the guest's processor can.
#
# The image is built once per machine into a folder of the cache
# (WINEBOX_CACHE, default ~/.cache/win95-wine-box) named after this script,
# the guest's init script and tools/wine-prefix.sh, so that a change of any
# of them makes a new image beside the old one, which the next build removes
# once no run uses it. About 2.5 GB; it needs Debian's package mirror
# (WINEBOX_MIRROR) and takes a few minutes.
#
#   tools/winebox/build-image.sh         builds the image unless it is there
#   tools/winebox/build-image.sh --dir   the same, then prints its folder
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

image=$cache/$stamp
ready() {
    [ -f "$image/ready" ] || return 1
    [ "${1:-}" = "--dir" ] && echo "$image"
    return 0
}
ready "$@" && exit 0
mkdir -p "$cache"
exec 9>"$image.lock"
flock -x 9
ready "$@" && exit 0

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

echo "winebox: building the guest image in $image (a few minutes, once)" >&2
rm -rf "$image"
mkdir -p "$image"
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
    --format=ext2 bookworm "$work/disk.img" "$mirror" > "$image/mmdebstrap.log" 2>&1 || {
    tail -20 "$image/mmdebstrap.log" >&2; exit 1; }
if [ ${#sudo[@]} -gt 0 ]; then
    sudo chown -R "$(id -u):$(id -g)" "$work"
fi

# Room for the Wine prefix and the lanes' copies of it.
truncate -s 8G "$work/disk.img"
e2fsck -fy "$work/disk.img" > /dev/null 2>&1 || true
resize2fs "$work/disk.img" > /dev/null 2>&1
cp "$work"/boot/vmlinuz-* "$image/vmlinuz"
cp "$work"/boot/initrd.img-* "$image/initrd.img"
mv "$work/disk.img" "$image/disk.img"

# Bake the Wine prefix into the image: one boot without a snapshot.
job="$image/prefix-job.sh"
echo 'HOME=/root win95-wine-prefix /root/.wine || { cat /root/.wine.log; exit 1; }' > "$job"
WINEBOX_IMAGE="$image" WINEBOX_SNAPSHOT=0 WINEBOX_SHARE="$image" "$here/run.sh" --job "$job" \
    > "$image/prefix.log" 2>&1 || {
    cat "$image/prefix.log" >&2; echo "winebox: making the Wine prefix failed" >&2; exit 1; }
touch "$image/ready"
echo "winebox: image ready" >&2

# Images of other versions of these scripts go once no run holds them.
for other in "$cache"/????????????????/; do
    other=${other%/}
    [ "$other" = "$image" ] && continue
    (flock -n -x 8 && rm -rf "$other" "$other.lock") 8> "$other.lock"
done
ready "$@"
