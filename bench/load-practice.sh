#!/usr/bin/env bash
# Loads a generated practice (generate-practice.py) in the fixture's schema into a
# Firebird file (opened embedded) and, when MariaDB client options are given, into a
# MariaDB database in Latin-1 tables, as the fixture's loaders do.
#   load-practice.sh large|medium <new file.fdb> [<database> <mariadb admin options...>]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
schema="$here/../tests/fixtures/db/schema.sql"
size=$1
target=$2
shift 2
case "$target" in /*) ;; *) target="$(pwd)/$target" ;; esac
case "$target" in *"'"*) echo "load-practice.sh: no quote in the path, please" >&2; exit 2 ;; esac

data=$(mktemp)
script=$(mktemp)
trap 'rm -f "$data" "$script"' EXIT
python3 "$here/generate-practice.py" "$size" >"$data"

rm -f "$target"
{
    echo "SET SQL DIALECT 3;"
    echo "CREATE DATABASE '$target' USER 'SYSDBA' PASSWORD 'masterkey' PAGE_SIZE 4096 DEFAULT CHARACTER SET WIN1252;"
    cat "$schema"
    echo "COMMIT;"
    echo "SET AUTODDL OFF;"
    cat "$data"
} | iconv -f UTF-8 -t CP1252 >"$script"
isql-fb -q -b -ch WIN1252 -i "$script"

if [ $# -gt 0 ]; then
    database=$1
    shift
    {
        echo "SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_BACKSLASH_ESCAPES';"
        echo "DROP DATABASE IF EXISTS \`$database\`;"
        echo "CREATE DATABASE \`$database\` CHARACTER SET latin1 COLLATE latin1_swedish_ci;"
        echo "USE \`$database\`;"
        cat "$schema"
        echo "SET autocommit = 0;"
        cat "$data"
    } | mariadb "$@" --default-character-set=utf8mb4
fi
