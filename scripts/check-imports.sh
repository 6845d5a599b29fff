#!/usr/bin/env bash
# Fails unless each program imports Windows system DLLs only: the runtime
# libraries are linked in, and the port library is loaded at run time.
set -uo pipefail
source "$(dirname "$0")/platform.sh"
allowed='^(KERNEL32|USER32|GDI32|msvcrt|ADVAPI32|SHELL32|ole32|OLEAUT32|COMCTL32|WINMM|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for exe in "$@"; do
    case $(pe_machine "$exe") in
        4c01) tool=i686-w64-mingw32-objdump ;;
        6486) tool=x86_64-w64-mingw32-objdump ;;
        *) echo "$exe: not a Windows x86 program"; status=1; continue ;;
    esac
    dlls=$($tool -p "$exe" | sed -n 's/^\s*DLL Name: //p')
    bad=$(grep -viE "$allowed" <<<"$dlls" || true)
    if [ -n "$bad" ]; then
        echo "$exe imports non-system DLLs: $bad"; status=1
    else
        echo "$exe imports only: $(tr '\n' ' ' <<<"$dlls")"
    fi
done
exit $status
