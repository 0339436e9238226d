#!/bin/sh
# The DLL's outside: exactly the four entry points, undecorated; the type library, the
# registration script and the project name as resources; no DLL of the compiler beside
# it. Usage: check-dll.sh <objdump> <tarnik.dll>
set -eu
objdump=$1 dll=$2
fail() { echo "FAIL: $*"; exit 1; }

exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
[ "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ] ||
  fail "exports are: $exports"

imports=$("$objdump" -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
for name in $imports; do
  case $name in
    advapi32.dll|kernel32.dll|msvcrt.dll|ole32.dll|oleaut32.dll|user32.dll) ;;
    *) fail "imports $name, which a player's system does not have" ;;
  esac
done

resources=$(winedump -j resource "$dll")
echo "$resources" | grep -q '^  L"TYPELIB" Name=0001 ' || fail "no TYPELIB 1"
echo "$resources" | grep -q '^  L"REGISTRY" Name=0066 ' || fail "no REGISTRY 102"
# String 100 lives in block 7 of the string table.
echo "$resources" | grep -q '^    0064 "TarnikPlg"' || fail "no string 100 \"TarnikPlg\""
echo "ok: exports, imports and resources of $dll"
