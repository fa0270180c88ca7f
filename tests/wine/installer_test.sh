#!/bin/sh
# The Windows installer as msiexec runs it, in a Wine prefix of its own
# copied from the tests' prefix: a silent install that makes the saver the
# current one and records the one before, the installed saver started with
# /s from its installed path, an upgrade to a newer version, a removal that
# puts the earlier screen saver back and leaves nothing behind, and an
# install with SETASSAVER=0 that leaves the current saver alone.
#   installer_test.sh ORVANEL.MSI ORVANEL.SCR SCRATCH_FOLDER
set -eu
msi=$1
scr=$2
scratch=$3
[ "$msi" -nt "$scr" ] || { echo "FAILED: $msi is older than $scr: run scripts/package --msi"; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/await.sh"
. "$here/../support/picture_shown.sh"

rm -rf "$scratch"
mkdir -p "$scratch"
prefix="${WINEPREFIX:?the Wine prefix of scripts/test}-installer"
rm -rf "$prefix"
cp -a "$WINEPREFIX" "$prefix"
export WINEPREFIX="$prefix"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT

fail() { echo "FAILED: $*"; exit 1; }
desktop='HKCU\Control Panel\Desktop'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
system32="$prefix/drive_c/windows/system32"
# A value as reg prints it, or nothing when it is not there.
value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name && $2 ~ /^REG_/ { sub(/^[ ]*[^ ]+[ ]+REG_[A-Z_]+[ ]*/, ""); print }'
}
# The uninstall entries that name the saver, as
# "DisplayVersion|Publisher|URLInfoAbout|HelpLink".
entries() {
  wine reg query "$uninstall" /s 2>/dev/null | tr -d '\r' | awk '
    function entry() { if (v["DisplayName"] == "Orvanel Screensaver")
                         print v["DisplayVersion"] "|" v["Publisher"] "|" v["URLInfoAbout"] "|" v["HelpLink"] }
    /^HKEY_/ { entry(); split("", v) }
    $2 ~ /^REG_/ { name = $1; sub(/^[ ]*[^ ]+[ ]+REG_[A-Z_]+[ ]*/, ""); v[name] = $0 }
    END { entry() }'
}
msiexec() {
  wine msiexec "$@" >/dev/null 2>&1 || fail "msiexec $* exited $?"
  wineserver -w
}
# What an install may leave: files of drive C: (less temporary ones), the
# registry keys an install touches, and every value of Windows Installer's
# own records (the engine makes its empty containers on first use and keeps
# them, as it does on Windows).
footprint() {
  (cd "$prefix/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune -o -type f -print | sort)
  for key in "$uninstall" 'HKCU\Software' "$desktop"; do
    wine reg query "$key" /s 2>/dev/null | tr -d '\r'
  done
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Installer' /s 2>/dev/null | tr -d '\r' | grep 'REG_' || true
}

info="$here/../../src/resources/version.rc"
version=$(sed -n 's/.*"FileVersion", "\([0-9.]*\)".*/\1/p' "$info")
address=$(sed -n 's/.*"CompanyName", "\([^"]*\)".*/\1/p' "$info")
# Installed programs name the maker as publisher, and link to its address.
listed="Orvanel|$address|$address"

# The user's screen saver before: another one, switched off.
wine reg add "$desktop" /v SCRNSAVE.EXE /t REG_SZ /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
wine reg add "$desktop" /v ScreenSaveActive /t REG_SZ /d 0 /f >/dev/null 2>&1
wineserver -w
footprint > "$scratch/before"

echo "install"
msiexec /i "$(winepath -w "$msi")" /qn
cmp -s "$system32/orvanel.scr" "$scr" || fail "orvanel.scr is not in the system folder as built"
[ "$(value "$desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\orvanel.scr' ] || fail "not the current screen saver: $(value "$desktop" SCRNSAVE.EXE)"
[ "$(value "$desktop" ScreenSaveActive)" = 1 ] || fail "the screen saver is not switched on"
[ "$(entries)" = "$version|$listed" ] || fail "installed programs show: $(entries)"

echo "the installed saver, full screen"
lit() { import -window root "$scratch/screen.png" && shows_picture "$scratch/screen.png"; }
saver() { pgrep -f '^C:\\windows\\system32\\orvanel\.scr /s' | head -n 1; }
saver_running() { test -n "$(saver)"; }
wine 'C:\windows\system32\orvanel.scr' /s >/dev/null 2>&1 &
await 200 saver_running || fail "the installed saver did not start"
pid=$(saver)
await 200 lit || fail "the installed saver shows no picture"
xdotool key Escape
if ! await 50 sh -c "! kill -0 $pid"; then
  await 300 sh -c "! kill -0 $pid" && fail "a key ended the installed saver only after more than 5 s"
  fail "a key was lost: the installed saver still runs 35 s after it"
fi
wineserver -w

echo "upgrade"
newer=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3 + 1, $4 }')
sh "$here/../../packaging/windows/build_msi.sh" "$scr" "$scratch/newer.msi" "$newer"
msiexec /i "$(winepath -w "$scratch/newer.msi")" /qn
[ "$(entries)" = "$newer|$listed" ] || fail "after the upgrade installed programs show: $(entries)"
cmp -s "$system32/orvanel.scr" "$scr" || fail "the upgrade lost orvanel.scr"
[ "$(value "$desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\orvanel.scr' ] || fail "the upgrade changed the current screen saver"

echo "uninstall"
msiexec /x "$(winepath -w "$scratch/newer.msi")" /qn
[ ! -e "$system32/orvanel.scr" ] || fail "orvanel.scr is left in the system folder"
[ "$(value "$desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\other.scr' ] || fail "the earlier screen saver is not back: $(value "$desktop" SCRNSAVE.EXE)"
[ "$(value "$desktop" ScreenSaveActive)" = 0 ] || fail "ScreenSaveActive is not back to 0"
[ -z "$(entries)" ] || fail "installed programs still show it"
footprint > "$scratch/after"
diff "$scratch/before" "$scratch/after" > "$scratch/left" || fail "left behind: $(cat "$scratch/left")"

echo "install leaving the current saver alone, then uninstall"
wine reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1
wineserver -w
msiexec /i "$(winepath -w "$msi")" /qn SETASSAVER=0
[ -e "$system32/orvanel.scr" ] || fail "SETASSAVER=0 installed no saver"
[ -z "$(value "$desktop" SCRNSAVE.EXE)" ] || fail "SETASSAVER=0 set the screen saver"
msiexec /x "$(winepath -w "$msi")" /qn
[ ! -e "$system32/orvanel.scr" ] || fail "orvanel.scr is left in the system folder"
[ -z "$(value "$desktop" SCRNSAVE.EXE)" ] || fail "a screen saver appeared after the removal"

echo "install with no screen saver before, then uninstall"
msiexec /i "$(winepath -w "$msi")" /qn
[ "$(value "$desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\orvanel.scr' ] || fail "not the current screen saver"
msiexec /x "$(winepath -w "$msi")" /qn
[ -z "$(value "$desktop" SCRNSAVE.EXE)" ] || fail "the removal left SCRNSAVE.EXE: $(value "$desktop" SCRNSAVE.EXE)"
echo "installer: all cases passed"
