#!/usr/bin/env bash
# Fails when a tracked file still holds the markers of an unresolved merge (a line that
# begins with seven "<" or seven ">", then a blank or its end), naming each place.
#   no-conflict-markers.sh <source folder>
set -euo pipefail
cd "$1"
if [ ! -e .git ]; then
    echo "not a git checkout: nothing to check"
    exit 0
fi
list=$(mktemp) found=$(mktemp)
trap 'rm -f "$list" "$found"' EXIT
git ls-files -z >"$list"
# grep ends with 1 on a batch of files without a marker: what it prints decides.
xargs -0 grep -InE '^(<{7}|>{7})( |$)' -- <"$list" >"$found" || true
if [ -s "$found" ]; then
    cat "$found"
    echo "FAIL: unresolved merge markers above" >&2
    exit 1
fi
echo "$(tr -cd '\0' <"$list" | wc -c) tracked files: no merge markers"
