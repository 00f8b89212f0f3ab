#!/usr/bin/env bash
# The Debian package made from this build: its contents, its desktop entry, lintian's
# verdict, then the installed /usr/bin/scrivo started on a demo workstation under the
# test display (the practice fixture's Firebird file, mousepad as the word processor)
# and removed again. Installing needs root (or sudo without a password); the run is
# skipped (77) without it, or without the display and the fixture scripts/test starts
# (under scripts/test, which requires every fixture, that one fails).
#   test-package.sh <build folder> <source folder>
set -euo pipefail
build=$1 source=$2
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
. "$source/tests/testsupport/missing-fixture.sh"

[ -n "${DISPLAY:-}" ] && [ -n "${SCRIVO_TEST_FDB:-}" ] || skip_without_fixture "no test display or practice fixture"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || skip "installing a package needs root"
    sudo="sudo -n"
fi
if dpkg-query -W -f='${Status}' scrivo 2>/dev/null | grep -q 'install ok installed'; then
    skip "a scrivo package is already installed on this machine"
fi

work=$(mktemp -d /tmp/scrivo-package.XXXXXX)
installed=false
scrivo_pid=
cleanup() {
    [ -n "$scrivo_pid" ] && kill "$scrivo_pid" 2>/dev/null || true
    pkill -f -- "$work/" 2>/dev/null || true
    if $installed; then $sudo dpkg -r scrivo >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "== package"
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/scrivo_*_amd64.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/scrivo ./usr/share/applications/scrivo.desktop \
    ./usr/share/icons/hicolor/scalable/apps/scrivo.svg ./usr/share/icons/hicolor/16x16/apps/scrivo.png \
    ./usr/share/icons/hicolor/48x48/apps/scrivo.png ./usr/share/icons/hicolor/256x256/apps/scrivo.png \
    ./usr/share/man/man1/scrivo.1.gz ./usr/share/doc/scrivo/README.md ./usr/share/doc/scrivo/copyright \
    ./usr/share/doc/scrivo/examples/registry-firebird-embedded.reg ./usr/share/doc/scrivo/examples/registry-mysql.reg; do
    grep -qxF "$path" <<<"$contents" || fail "$path is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libfbclient2 libsoci-mysql libx11-6 libxtst6; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/scrivo.desktop" || fail "desktop entry"
# Errors fail the test; warnings are listed.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then fail "lintian reports errors"; fi

echo "== installed program"
$sudo dpkg -i "$deb" >/dev/null
installed=true
[ -x /usr/bin/scrivo ] || fail "/usr/bin/scrivo is not installed"

cp "$SCRIVO_TEST_FDB" "$work/cabinet.fdb"
export SCRIVO_HKLM_FILE="$work/hklm.reg" SCRIVO_HKCU_FILE="$work/hkcu.reg"
sed -e "s|/srv/cabinet/cabinet.fdb|$work/cabinet.fdb|" -e 's|"WPNom"=.*|"WPNom"="Mousepad"|' \
    -e 's|"WPPath"=.*|"WPPath"="mousepad"|' "$source/resources/examples/registry-firebird-embedded.reg" >"$SCRIVO_HKLM_FILE"
printf 'REGEDIT4\n' >"$SCRIVO_HKCU_FILE"
printf 'Cher confrère,\n' >"$work/lettre-paquet.txt"
GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 QT_QPA_PLATFORM=xcb /usr/bin/scrivo "$work/lettre-paquet.txt" &
scrivo_pid=$!

find_window() { # <title>
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 && return 0
        sleep 0.2
    done
    return 1
}
scrivo_window=$(find_window 'Insertion des Codes Courriers') || fail "no Scrivo window"
# The letter opens once the start-up has connected and read the practice's lists.
find_window 'lettre-paquet' >/dev/null || fail "the letter was not opened"
xprop -id "$scrivo_window" _NET_WM_ICON | grep -q 'Icon (16 x 16)' || fail "the window carries no icon"
# Closing the letter (its word processor ends) ends Scrivo.
pkill -f -- "$work/lettre-paquet.txt" || fail "no word processor holds the letter"
for _ in $(seq 100); do
    ps -p "$scrivo_pid" >/dev/null || break
    sleep 0.1
done
ps -p "$scrivo_pid" >/dev/null && fail "scrivo did not end when the letter was closed"
wait "$scrivo_pid" || fail "scrivo ended with status $?"
scrivo_pid=

$sudo dpkg -r scrivo >/dev/null
installed=false
[ ! -e /usr/bin/scrivo ] || fail "/usr/bin/scrivo is left after removal"
echo "PASS: package built, checked, installed, run and removed"
