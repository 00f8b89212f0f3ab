#!/usr/bin/env bash
# The Windows program end to end under Wine, as the practice application starts it: a
# workstation's registry imported with regedit (in the 32-bit view, where the practice
# application writes it), reaching the fixture's MariaDB or its Firebird server, then
# scrivo.exe
#   notepad: on a document path, opened in Notepad through the .txt association;
#   wordpad: with -app= on a WordPad window (a rich-text editor, as Word is);
# with the questionnaire of -qre=. "Insérer tout le questionnaire", a doctor field and
# the date link of the miscellaneous picker are clicked with the real pointer; the
# editor's text is read back and compared; the editor is closed and Scrivo must end.
#   scrivo-e2e.sh <wine-run> <scrivo.exe> <windowtext.exe> notepad|wordpad [mysql|firebird]
set -euo pipefail
wine_run=$1 scrivo=$2 windowtext=$3 editor=$4 engine=${5:-mysql}
export LC_ALL=C.UTF-8 # arguments reach Wine's programs decoded as UTF-8
. "$(dirname "$0")/../../testsupport/missing-fixture.sh"
[ -n "${DISPLAY:-}" ] || skip_without_fixture "no X display"
if [ "$engine" = mysql ]; then
    [ -n "${SCRIVO_TEST_MYSQL_PORT:-}" ] || skip_without_fixture "no MariaDB fixture (run through scripts/test)"
else
    [ -n "${SCRIVO_TEST_FB_PORT:-}" ] || skip_without_fixture "no Firebird server fixture (run through scripts/test)"
fi

work=$(mktemp -d)
scrivo_pid="" title=""
cleanup() { # what a run leaves would be found by the next test: the editor, the workstation
    [ -n "$scrivo_pid" ] && kill "$scrivo_pid" 2>/dev/null
    [ -n "$title" ] && "$wine_run" "$windowtext" --close "$title" 2>/dev/null
    printf 'REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Keldar]\r\n' > "$work/removal.reg"
    "$wine_run" regedit /S "$(windows_path "$work/removal.reg")"
    rm -rf "$work"
}
trap cleanup EXIT
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
fail() { echo "FAIL: $*"; exit 1; }

# The workstation: the fixture's MariaDB through a read-only account, or its Firebird
# server (a .reg file's backslashes are doubled).
if [ "$engine" = mysql ]; then
    cnx=("MySQL 4.0" "$SCRIVO_TEST_MYSQL_PORT" "$SCRIVO_TEST_MYSQL_DATABASE" "$SCRIVO_TEST_MYSQL_USER"
         "$SCRIVO_TEST_MYSQL_PASSWORD" "")
else
    cnx=("FireBird 2.1" "$SCRIVO_TEST_FB_PORT" "${SCRIVO_TEST_FB_DATABASE//\\/\\\\}" SYSDBA masterkey WIN1252)
fi
{
    printf 'REGEDIT4\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Keldar\\Talvor\\Cnx]\r\n'
    printf '"AutoLoadParam"=dword:00000000\r\n"DataBaseType"="%s"\r\n"Host"="127.0.0.1"\r\n' "${cnx[0]}"
    printf '"Port"="%s"\r\n"DataBaseName"="%s"\r\n' "${cnx[1]}" "${cnx[2]}"
    printf '"Login"="%s"\r\n"PassWord"="%s"\r\n"Charset"="%s"\r\n\r\n' "${cnx[3]}" "${cnx[4]}" "${cnx[5]}"
    # No word processor of its own: documents open in the program Windows associates.
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Keldar\\Talvor\\OptionLocale]\r\n'
    printf '"WPNom"=""\r\n"WPPath"=""\r\n'
} > "$work/poste.reg"
"$wine_run" regedit /S "$(windows_path "$work/poste.reg")"

if [ "$editor" = notepad ]; then
    # A name outside Windows-1252, in a folder of a long name (not over 260 characters in
    # all: Notepad opens no longer path); the editor's window is found by the part of its
    # title that is ASCII.
    folder="$work/$(printf 'Comptes rendus du cabinet %.0s' $(seq 5))"
    mkdir -p "$folder"
    : > "$folder/Łódź — compte rendu.txt"
    title="compte rendu.txt"
    arguments=("$(windows_path "$folder/Łódź — compte rendu.txt")" -qre=7)
else
    "$wine_run" 'C:\Program Files\Windows NT\Accessories\wordpad.exe' >/dev/null 2>&1 &
    title="Wordpad"
    timeout 60 xdotool search --sync --onlyvisible --name "$title" >/dev/null || fail "WordPad did not open"
    arguments=("-app=$title" -qre=7)
fi

"$wine_run" "$scrivo" "${arguments[@]}" >/dev/null 2>&1 &
scrivo_pid=$!
timeout 60 xdotool search --sync --onlyvisible --name '^Insertion des Codes Courriers$' >/dev/null ||
    fail "Scrivo's window did not show"
timeout 60 xdotool search --sync --onlyvisible --name "$title" >/dev/null || fail "no window titled *$title*"
sleep 3 # the start-up: connection, doctors, questionnaire 7 listed

# Clicks at (x, y) of Scrivo's client area; pickers start after the 109-pixel button
# column and the 5-pixel splitter.
"$wine_run" "$windowtext" --origin 'Insertion des Codes Courriers' "$(windows_path "$work/origin")" ||
    fail "no client area for Scrivo's window"
read -r left top < "$work/origin"
echo "Scrivo's client area at ($left, $top)"
click() {
    xdotool mousemove --sync $((left + $1)) $((top + $2)) click --repeat "${3:-1}" --delay 80 1
    sleep 1.5
}
# Questionnaire picker: "Insérer tout le questionnaire", at (232, 110) of the Options group,
# which the host panel's height puts at (4, 234).
click $((114 + 4 + 232 + 20)) $((234 + 110 + 8))
click 50 $((192 + 16))                            # "&Médecins"
click $((114 + 4 + 20)) $((4 + 10)) 2             # its first field, double-clicked
click 50 $((160 + 16))                            # "&Divers"
click $((114 + 1 + 8 + 40)) $((4 + 14 + 8))       # "Insérer Date du Jour"

expected=$(printf '£%s : [QQC%s:%s]#\r\n' "Poids (kg)" 109 "Poids (kg)" \
    "Tension artérielle systolique (mmHg)" 101 "Tension artérielle systolique (mmHg)" \
    "Remarques £ ¤ • € œ" 107 "Remarques £ ¤ • € œ"; printf '£[MR : code medecin]#£T: Date du jour#')
"$wine_run" "$windowtext" "$title" "$(windows_path "$work/text")" || fail "the editor's text could not be read"
actual=$(cat "$work/text")
if [ "$actual" != "$expected" ]; then
    printf 'FAIL: the document holds\n%s\ninstead of\n%s\n' "$actual" "$expected" | cat -A
    exit 1
fi

# The document's window closes: Scrivo ends within a few ticks of its close timer.
"$wine_run" "$windowtext" --close "$title" || fail "the editor did not close"
for _ in $(seq 30); do
    kill -0 "$scrivo_pid" 2>/dev/null || { scrivo_pid="" title=""; echo "ok: $editor, $engine"; exit 0; }
    sleep 0.5
done
fail "Scrivo still runs after its document's window closed"
