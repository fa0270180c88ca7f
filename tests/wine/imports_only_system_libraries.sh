#!/bin/sh
# The shipped orvanel.scr is one file: every DLL it imports comes with
# Windows itself. A library linked as a DLL by mistake (zlib1.dll, say)
# would stop it on every machine without that file.
scr="$1"
system='^(COMCTL32|GDI32|KERNEL32|msvcrt|SHELL32|USER32|WINMM|ADVAPI32|OLE32|SHLWAPI|UXTHEME)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$scr" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "no import table read from $scr"; exit 1; }
status=0
for dll in $imports; do
  if ! printf '%s\n' "$dll" | grep -qiE "$system"; then
    echo "orvanel.scr imports $dll, which Windows does not ship"; status=1
  fi
done
exit $status
