#!/usr/bin/env bash
# Fails, naming them, when a Windows program imports any DLL that Windows does not always load
# from System32: a DLL of the MinGW run time (the program would not start where it is missing),
# or one that Windows looks for in the program's folder first (a user who can write that folder
# could plant it). The allowed ones are the known DLLs of every Windows since 7.
#
#   scripts/check-imports.sh <program.exe>...
set -euo pipefail

objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
declare -A allowed
for dll in advapi32 comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi ntdll ole32 \
  oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32; do
  allowed[$dll.dll]=1
done

status=0
for program in "$@"; do
  dump=$("$objdump" -p "$program")
  imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr '[:upper:]' '[:lower:]' | sort -u)
  if [[ -z "$imports" ]]; then
    echo "check-imports: $program: no import table found" >&2
    status=1
    continue
  fi
  refused=()
  for dll in $imports; do
    [[ -n "${allowed[$dll]:-}" ]] || refused+=("$dll")
  done
  if ((${#refused[@]})); then
    echo "check-imports: $program imports ${refused[*]}, not among the DLLs Windows always" \
      "takes from System32" >&2
    status=1
  else
    echo "check-imports: $program imports only system DLLs:" $imports
  fi
done
exit $status
