#!/bin/sh
# The Windows build of tarnik-sim, under a headless Wine in a throwaway prefix, plays the
# same scripts as the Linux build and must show the same: the same moves and chat lines,
# the same configuration file (located by the "Configs" value in Wine's registry) and the
# same pack report. tarnik.dll is registered with regsvr32 and loaded through COM.
#
# usage: sim-scenarios.sh LINUX_TARNIK_SIM WINDOWS_BUILD_DIR
# Exit 0 when every scenario matches, 1 on a difference, 77 when Wine or the Windows
# build is missing (ctest reports the test as skipped).
set -u
linux_sim=$1
win_dir=$2
here=$(cd "$(dirname "$0")" && pwd)
scripts=$here/../tools/scripts
latency=20  # the server answers quickly: real time passes on Windows

skip() { echo "skipped: $*"; exit 77; }
command -v wine >/dev/null 2>&1 || skip "wine is not installed"
for file in tarnik.dll tarnik-sim.exe; do
    [ -f "$win_dir/$file" ] || skip "$win_dir/$file is not built (make windows)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnik-wine-XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
# TARNIK_WINE_KEEP=1 keeps the prefix and every output for a look afterwards.
cleanup() {
    wineserver -k >/dev/null 2>&1
    if [ "${TARNIK_WINE_KEEP:-0}" = 1 ]; then echo "kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT INT TERM
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
started=$(date +%s)

wine wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot cannot make a prefix"; exit 1; }
wineserver -p >/dev/null 2>&1  # one server for every call below: each start costs seconds
drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/sim/scripts"
cp "$win_dir/tarnik.dll" "$win_dir/tarnik-sim.exe" "$drive_c/sim/"
for dll in "$win_dir"/*.dll; do cp "$dll" "$drive_c/sim/"; done  # runtime libraries, if any
wine regsvr32 /s 'C:\sim\tarnik.dll' >/dev/null 2>&1 || fail "regsvr32 tarnik.dll failed"

# Output as both systems print it: without line ends' carriage returns, without the lines
# that name the data folder, and with the configuration file's path named alike.
normalise() {
    tr -d '\r' <"$1" | grep -v -e '^data folder: ' -e '^configuration folder set to ' |
        sed -e 's|^file: .*sortconfig.xml|file: sortconfig.xml|'
}

linux_data="$work/linux"
play() {  # play NAME SCRIPT: the script on both systems, in one session each, on the
          # world of the JSON file beside it when there is one, else on the demo world
    name=$1
    world_linux=""
    world_windows=""
    cp "$2" "$drive_c/sim/scripts/$name.sim"
    if [ -f "${2%.sim}.json" ]; then
        cp "${2%.sim}.json" "$drive_c/sim/scripts/$name.json"
        world_linux="--world ${2%.sim}.json"
        world_windows="--world C:\\sim\\scripts\\$name.json"
    fi
    # shellcheck disable=SC2086  # the world options are two words or none
    "$linux_sim" --data "$linux_data" --latency $latency --echo $world_linux --script "$2" \
        >"$work/$name.linux" 2>&1
    echo "exit $?" >>"$work/$name.linux"
    # shellcheck disable=SC2086
    wine 'C:\sim\tarnik-sim.exe' --latency $latency --echo $world_windows \
        --script "C:\\sim\\scripts\\$name.sim" >"$work/$name.windows" 2>&1
    echo "exit $?" >>"$work/$name.windows"
    normalise "$work/$name.linux" >"$work/$name.linux.n"
    normalise "$work/$name.windows" >"$work/$name.windows.n"
    if ! diff -u "$work/$name.linux.n" "$work/$name.windows.n" >"$work/$name.diff"; then
        fail "$name: Windows differs from Linux (- Linux, + Windows):"
        cat "$work/$name.diff"
    fi
}

# A sort of the demo's main pack by name, to "Sort Complete".
play sort "$scripts/sort.sim"
grep -q '^\[Main\] :tk:Sort Complete$' "$work/sort.windows.n" ||
    fail "sort: no \"Sort Complete\" on Windows"
grep -q '^~ move ' "$work/sort.windows.n" || fail "sort: no move on Windows"

# Store, pins, Move, Pack and Cram, with the configuration file shown at the end.
play organise "$scripts/organise.sim"
# A profile recorded, stripped, replayed by a hotkey, also after logging in again.
play profiles "$scripts/profiles.sim"
# The next session reads what the earlier ones stored.
play relogin "$here/relogin.sim"
grep -q 'Hunt' "$work/relogin.windows.n" || fail "relogin: the stored profile is not offered"
# The pack report.
play report "$here/report.sim"

# The configuration file is where the "Configs" value in Wine's registry says, and holds
# what Linux wrote.
wine reg query 'HKCU\Software\Vellumcraft' /v Configs >"$work/configs.txt" 2>&1
grep -q 'Configs.*REG_SZ.*C:\\Tarnik\\' "$work/configs.txt" ||
    { fail "the Configs value is not C:\\Tarnik\\ in Wine's registry:"; cat "$work/configs.txt"; }
if [ ! -f "$drive_c/Tarnik/sortconfig.xml" ]; then
    fail "no C:\\Tarnik\\sortconfig.xml"
else
    tr -d '\r' <"$drive_c/Tarnik/sortconfig.xml" >"$work/config.windows"
    tr -d '\r' <"$linux_data/c/Tarnik/sortconfig.xml" >"$work/config.linux"
    cmp -s "$work/config.linux" "$work/config.windows" ||
        fail "C:\\Tarnik\\sortconfig.xml differs from the Linux one"
fi

# The pack report, byte for byte as on Linux (text mode: CR LF line ends).
count=0
for report in "$drive_c"/ToonPacks/*; do
    [ -f "$report" ] || continue
    count=$((count + 1))
    name=$(basename "$report")
    cmp -s "$report" "$linux_data/c/ToonPacks/$name" ||
        fail "C:\\ToonPacks\\$name differs from the Linux report"
done
[ "$count" -gt 0 ] || fail "no pack report in C:\\ToonPacks"

echo "wine scenarios: $failures failed, $(($(date +%s) - started)) s"
[ "$failures" -eq 0 ]
