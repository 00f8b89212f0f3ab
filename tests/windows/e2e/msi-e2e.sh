#!/usr/bin/env bash
# The installer under Wine: installed silently for the machine, the installed program used
# end to end beside Notepad on a Firebird workstation with only its own folder's DLLs,
# then removed: nothing left. A fbclient.dll planted in the current folder and on the
# PATH must not be loaded: it would leave a mark.
#   msi-e2e.sh <wine-run> <scrivo.msi> <windowtext.exe> <planted fbclient.dll>
set -euo pipefail
wine_run=$1 msi=$2 windowtext=$3 planted=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../testsupport/missing-fixture.sh"
[ -n "${DISPLAY:-}" ] || skip_without_fixture "no X display"
[ -f "$msi" ] || skip_without_fixture "no $msi (cmake --build <build> --target msi)"
folder="$("$wine_run" --prefix)/drive_c/Program Files/Scrivo"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

"$wine_run" msiexec /i "$(windows_path "$msi")" /qn
[ -f "$folder/scrivo.exe" ] || { echo "FAIL: nothing installed in $folder"; exit 1; }
for file in platforms/qwindows.dll fbclient.dll firebird.msg zlib1.dll; do
    [ -f "$folder/$file" ] || { echo "FAIL: no $file in $folder"; exit 1; }
done
echo "installed: $(find "$folder" -type f | wc -l) files"

planted_folder=$(dirname "$planted") mark=$(mktemp -u /tmp/planted-fbclient-loaded.XXXXXX)
# The planted DLL leaves its mark when it is loaded at all.
SCRIVO_PLANTED_MARK=$(windows_path "$mark") "$wine_run" rundll32 "$(windows_path "$planted")",none 2>/dev/null || true
[ -e "$mark" ] || { echo "FAIL: the planted fbclient.dll leaves no mark when loaded"; exit 1; }
rm -f "$mark"
status=0
(cd "$planted_folder" && SCRIVO_PLANTED_MARK=$(windows_path "$mark") \
    WINEPATH="C:\\windows\\system32;$(windows_path "$planted_folder")" \
    "$here/scrivo-e2e.sh" "$wine_run" "$folder/scrivo.exe" "$windowtext" notepad firebird) || status=$?
if [ -e "$mark" ]; then
    echo "FAIL: the fbclient.dll planted in the current folder and on the PATH was loaded"
    rm -f "$mark"
    status=1
fi

"$wine_run" msiexec /x "$(windows_path "$msi")" /qn
if [ -e "$folder" ]; then
    echo "FAIL: left after removal:"
    find "$folder"
    exit 1
fi
echo "removed"
exit $status
