#!/usr/bin/env bash
# Loads a generated practice (generate-practice.py) in the fixture's schema into a
# Firebird file (opened embedded) and, when MariaDB client options are given, into a
# MariaDB database in Latin-1 tables, through the fixture's own loaders.
#   load-practice.sh large|medium <new file.fdb> [<database> <mariadb admin options...>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fixtures="$here/../tests/fixtures/db"
size=$1
target=$2
shift 2

data=$(mktemp)
trap 'rm -f "$data"' EXIT
python3 "$here/generate-practice.py" "$size" >"$data"

export SCRIVO_FIXTURE_DATA="$data"
"$fixtures/load-firebird.sh" "$target" WIN1252
if [ $# -gt 0 ]; then
    "$fixtures/load-mariadb.sh" "$@"
fi
