#!/bin/sh
# Builds the Windows installer from orvanel.scr with wixl (Debian's msitools).
# The version, the maker and its address are those of the module's version
# information, so that one file holds them for every place that shows them:
# its company field holds the maker's address, and its internal name the
# maker's name ("Orvanel", as in the key under HKCU\Software where
# orvanel.wxs records what the install changed).
#   packaging/windows/build_msi.sh ORVANEL.SCR OUT.msi [VERSION]
# VERSION replaces the version information's, for tests of an upgrade.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
scr=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$2
info="$here/../../src/resources/version.rc"
version=${3:-$(sed -n 's/.*"FileVersion", "\([0-9.]*\)".*/\1/p' "$info")}
maker=$(sed -n 's/.*"InternalName", "\([^"]*\)".*/\1/p' "$info")
address=$(sed -n 's/.*"CompanyName", "\([^"]*\)".*/\1/p' "$info")
[ -n "$version" ] && [ -n "$maker" ] && [ -n "$address" ] ||
  { echo "no version, maker or address in $info" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$scr" "$stage/orvanel.scr"
# wixl takes a file's source relative to the folder it runs in.
(cd "$stage" && wixl -a x64 -D Version="$version" -D Maker="$maker" -D Address="$address" -o orvanel.msi "$here/orvanel.wxs")
# wixl has no Condition element: the table that leaves the current screen
# saver alone when SETASSAVER is not 1 is added to the database after.
printf 'Feature_\tLevel\tCondition\ns38\ti2\tS255\nCondition\tFeature_\tLevel\nCurrentSaver\t0\tSETASSAVER <> "1"\n' \
  > "$stage/Condition.idt"
msibuild "$stage/orvanel.msi" -i "$stage/Condition.idt"
mv "$stage/orvanel.msi" "$out"
