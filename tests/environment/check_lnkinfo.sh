#!/bin/sh
# Writes a shortcut through SetShellLink (the shell link test with its
# output kept) and reads it with lnkinfo, a parser of the shortcut format
# that shares nothing with Wine's shell.
set -eu
wine_exec=$1
test_program=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
WIN95_LNK_OUT="Z:$out/Connect.lnk" "$wine_exec" "$test_program" \
    --gtest_filter=ShellLinkTest.TheShortcutCarriesEveryField > "$out/test.txt" 2>&1 || {
    cat "$out/test.txt"; exit 1; }
lnkinfo "$out/Connect.lnk" > "$out/info.txt"
cat "$out/info.txt"
grep -q "Icon index[[:space:]]*: 2" "$out/info.txt"
grep -q "Description[[:space:]]*: Connect to Orvo VelTrane" "$out/info.txt"
grep -q "Command line arguments[[:space:]]*: /S" "$out/info.txt"
grep -qi "Working directory[[:space:]]*: C:\\\\windows" "$out/info.txt"
echo "lnkinfo: shortcut fields as written"
