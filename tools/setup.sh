#!/bin/sh
# Installs what building and testing WIN95.dll needs on a Debian 12 machine.
# Idempotent: a machine that already has everything is left alone.
#
# Wine itself is not installed on the host: the Windows tests run in the wine
# box (tools/winebox), a small emulated Debian machine with 32-bit Wine, which
# tools/winebox/build-image.sh makes on first use.
set -eu

PKGS="cmake ninja-build make g++ clang lld llvm libclang-rt-14-dev googletest \
libbenchmark-dev libsqlite3-dev clang-format python3 \
g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686 \
qemu-system-x86 debootstrap e2fsprogs util-linux"

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

need=""
for p in $PKGS; do
    have "$p" || need="$need $p"
done

if [ -n "$need" ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    echo "setup: installing:$need"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $need
fi
echo "setup: toolchain ready"
