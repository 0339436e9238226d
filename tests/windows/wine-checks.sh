#!/bin/sh
# The DLL under a headless Wine, in a throwaway prefix: regsvr32 writes exactly the
# registration's keys (compared value for value with registered.reg) and the type
# library's; Windows' own script host creates the object by both ProgIDs and drives it
# late-bound; regsvr32 /u leaves nothing of ours and the shared parent keys alone.
# Usage: wine-checks.sh <wine> <tarnik.dll>
set -eu
wine=$1 dll=$2
here=$(cd "$(dirname "$0")" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarnik-wine.XXXXXX")
export WINEPREFIX
cleanup() { wineserver -k >/dev/null 2>&1 || true; rm -rf "$WINEPREFIX"; }
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$wine" wineboot -i >/dev/null 2>&1 || fail "wineboot could not make a prefix"
dir=$WINEPREFIX/drive_c/tarnik
mkdir -p "$dir"
cp "$dll" "$dir/tarnik.dll"
cp "$here/drive.js" "$here/export.bat" "$dir/"

exported() {  # the export files, as UTF-8 text without headers
  for f in "$dir"/1.reg "$dir"/2.reg "$dir"/3.reg "$dir"/4.reg; do
    [ -f "$f" ] && iconv -f UTF-16 -t UTF-8 "$f" | tr -d '\r' | sed '1{/^\xef\xbb\xbf*Windows Registry/d}' | sed '/^Windows Registry Editor/d'
  done | sed '/^$/d'
}

"$wine" regsvr32 /s 'C:\tarnik\tarnik.dll' || fail "regsvr32 failed"
"$wine" cmd /c 'C:\tarnik\export.bat' >/dev/null 2>&1 || true
exported > "$dir/registered.txt"
sed '/^$/d' "$here/registered.reg" > "$dir/expected.txt"
diff -u "$dir/expected.txt" "$dir/registered.txt" || fail "registration wrote other keys or values"
[ -f "$dir/typelib.reg" ] || fail "the type library is not registered"
[ -f "$dir/interface.reg" ] || fail "ITarnik is not registered with the type library"
echo "ok: regsvr32 wrote exactly the registration's keys and the type library"

out=$("$wine" cscript //nologo 'C:\tarnik\drive.js' 2>&1 | tr -d '\r') || fail "cscript failed: $out"
expected="DECAL_KMW.Tarnik IsBusy=false
DECAL_KMW.Tarnik DoCommand ok
DECAL_KMW.Tarnik.1 IsBusy=false
DECAL_KMW.Tarnik.1 DoCommand ok"
[ "$out" = "$expected" ] || fail "cscript said: $out"
echo "ok: cscript created the object by both ProgIDs and drove it late-bound"

rm -f "$dir"/*.reg
"$wine" regsvr32 /s /u 'C:\tarnik\tarnik.dll' || fail "regsvr32 /u failed"
"$wine" cmd /c 'C:\tarnik\export.bat' >/dev/null 2>&1 || true
left=$(exported)
[ -z "$left" ] || fail "unregistration left: $left"
[ ! -f "$dir/typelib.reg" ] && [ ! -f "$dir/interface.reg" ] || fail "the type library is still registered"
[ -f "$dir/plugins.reg" ] || fail "unregistration removed HKLM\\SOFTWARE\\Decal\\Plugins"
[ -f "$dir/clsid.reg" ] || fail "unregistration touched HKCR\\CLSID"
echo "ok: regsvr32 /u removed ours and left CLSID, SOFTWARE\\Decal\\Plugins alone"
