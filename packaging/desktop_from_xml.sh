#!/bin/sh
# Makes the desktop file through which mate-screensaver and xfce4-screensaver
# find the hack, from XScreenSaver's description of it, so that the two never
# disagree: the name from the label, the command from the command's argument,
# the comment from the description's first sentence.
#   desktop_from_xml.sh DESCRIPTION.xml OUTPUT.desktop
set -eu
xml=$1
out=$2
attribute() { xmllint --xpath "string($1)" "$xml"; }
name=$(attribute '/screensaver/@name')
label=$(attribute '/screensaver/@_label')
argument=$(attribute '/screensaver/command/@arg')
comment=$(attribute '/screensaver/_description' | tr '\n' ' ' | sed -E 's/^ +//; s/([.!?]) .*/\1/')
[ -n "$name" ] && [ -n "$label" ] && [ -n "$comment" ] || { echo "$xml: no name, label or description" >&2; exit 1; }
# These daemons run hacks from XScreenSaver's folder alone, found by name.
cat > "$out" <<DESKTOP
[Desktop Entry]
Type=Application
Name=$label
Comment=$comment
TryExec=$name
Exec=$name${argument:+ $argument}
StartupNotify=false
Terminal=false
Categories=Screensaver;
OnlyShowIn=MATE;XFCE;
DESKTOP
