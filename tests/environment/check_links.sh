#!/bin/sh
# Makes a directory tree with host symbolic links in it (Wine maps them to
# directory links) and runs the removal test that must not follow them.
set -eu
wine_exec=$1
test_program=$2
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
mkdir -p "$base/tree/sub" "$base/outside/sub"
echo a > "$base/tree/sub/a.txt"
echo k > "$base/outside/keep.txt"
echo d > "$base/outside/sub/deep.txt"
ln -s "$base/outside" "$base/tree/link"
ln -s "$base/outside" "$base/top"
dos=$(echo "Z:$base" | tr / '\\')
WIN95_LINK_TREE="$dos\\tree" WIN95_LINK_OUTSIDE="$dos\\outside" WIN95_LINK_TOP="$dos\\top" \
    "$wine_exec" "$test_program" --gtest_filter=RemovalTest.DirectoryLinksAreNeverFollowed
test -f "$base/outside/keep.txt"
test -f "$base/outside/sub/deep.txt"
echo "links: the files outside the tree stayed"
