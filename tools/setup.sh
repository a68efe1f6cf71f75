#!/bin/sh
# Installs what building and testing WIN95.dll needs on a Debian 12 machine.
# Idempotent: a machine that already has everything is left alone, and only
# then runs without root; otherwise the packages are installed with sudo
# (root itself needs none).
#
# Windows programs run with the host's 32-bit Wine where the host executes
# 32-bit code (host mode), else in the wine box, an emulated machine that
# tools/winebox/build-image.sh makes on first use (box mode); see
# tools/winmode.sh. This script installs the packages of the mode that
# tools/winmode.sh --setup names (WIN95_WINE_MODE overrides it).
set -eu
here=$(cd "$(dirname "$0")" && pwd)

PKGS="cmake ninja-build make g++ clang lld llvm libclang-rt-14-dev googletest \
libbenchmark-dev libsqlite3-dev clang-format python3 util-linux \
g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686"
HOST_PKGS="wine wine32:i386 liblnk-utils"
BOX_PKGS="qemu-system-x86 mmdebstrap uidmap genext2fs e2fsprogs"

decision=$("$here/winmode.sh" --setup)
case "$decision" in
    host:*) PKGS="$PKGS $HOST_PKGS" ;;
    *) PKGS="$PKGS $BOX_PKGS" ;;
esac

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Runs a command as root: itself when root, else through sudo.
as_root() {
    if [ "$(id -u)" = 0 ]; then env "$@"; else sudo "$@"; fi
}

need=""
for p in $PKGS; do
    have "$p" || need="$need $p"
done
if [ -n "$need" ]; then
    echo "setup: installing (${decision%%:*} mode):$need"
    case "$need" in
        *:i386*)
            dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
            ;;
    esac
    as_root apt-get update -qq
    as_root DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $need
fi
echo "setup: toolchain ready (${decision%%:*} mode)"
