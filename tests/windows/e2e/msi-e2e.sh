#!/usr/bin/env bash
# The installer under Wine: installed silently for the machine, the installed program used
# end to end beside Notepad with only its own folder's DLLs, then removed: nothing left.
#   msi-e2e.sh <wine-run> <scrivo.msi> <windowtext.exe>
set -euo pipefail
wine_run=$1 msi=$2 windowtext=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../testsupport/missing-fixture.sh"
[ -n "${DISPLAY:-}" ] || skip_without_fixture "no X display"
[ -f "$msi" ] || skip_without_fixture "no $msi (cmake --build <build> --target msi)"
folder="$("$wine_run" --prefix)/drive_c/Program Files/Scrivo"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

"$wine_run" msiexec /i "$(windows_path "$msi")" /qn
[ -f "$folder/scrivo.exe" ] || { echo "FAIL: nothing installed in $folder"; exit 1; }
[ -f "$folder/platforms/qwindows.dll" ] || { echo "FAIL: no platform plugin in $folder"; exit 1; }
echo "installed: $(find "$folder" -type f | wc -l) files"

status=0
WINEPATH='C:\windows\system32' "$here/scrivo-e2e.sh" "$wine_run" "$folder/scrivo.exe" "$windowtext" notepad || status=$?

"$wine_run" msiexec /x "$(windows_path "$msi")" /qn
if [ -e "$folder" ]; then
    echo "FAIL: left after removal:"
    find "$folder"
    exit 1
fi
echo "removed"
exit $status
