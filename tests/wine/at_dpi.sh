#!/bin/sh
# Runs Wine tests on a prefix whose DPI is set as a user sets it (LogPixels),
# in a copy of the tests' prefix made for the run.
#   at_dpi.sh DPI PROGRAM [ARGUMENTS...]
# The tests learn the DPI from ORVANEL_WINE_DPI.
set -eu
dpi=$1
shift
prefix="${WINEPREFIX:?the Wine prefix of scripts/test}-dpi$dpi"
rm -rf "$prefix"
cp -a "$WINEPREFIX" "$prefix"
export WINEPREFIX="$prefix" ORVANEL_WINE_DPI="$dpi"
# With any prefix a test script makes from this one.
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix" "$prefix"-*' EXIT
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
  /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
# The DPI is read when the Wine session starts.
wineserver -k
wineserver -w
"$@"
