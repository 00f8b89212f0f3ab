# Sourced by scripts/test (after x11-session.sh): builds the practice database fixture
# for the database tests and exports where to find it.
#   - Firebird: embedded database files made from tests/fixtures/db (one Windows-1252
#     database, one without character set holding Windows-1252 bytes); tests copy them,
#     since only one process may open a file.
#   - Firebird server: a throwaway Firebird 3 server (tests/fixtures/db/firebird-server.sh)
#     on 127.0.0.1 and a free port, with its own folder, lock and security database,
#     holding a copy of both databases; tests reach it through Host and Port.
#   - MariaDB: a throwaway server on 127.0.0.1 and a free port, with its own data
#     folder, holding the same fixture in Latin-1 tables; tests connect as a user that
#     may only read, and as one of the ed25519 authentication, which may only read too.
# The server is stopped and the run folder removed when the calling script exits.

start_db_session() {
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    local fixtures="$root/tests/fixtures/db"
    DB_SESSION_DIR=$(mktemp -d /tmp/scrivo-db.XXXXXX)
    mkdir -p "$DB_SESSION_DIR/fb-lock" "$DB_SESSION_DIR/fb-tmp"
    export FIREBIRD_LOCK="$DB_SESSION_DIR/fb-lock" FIREBIRD_TMP="$DB_SESSION_DIR/fb-tmp"
    chain_db_session_trap

    "$fixtures/load-firebird.sh" "$DB_SESSION_DIR/practice.fdb" WIN1252
    "$fixtures/load-firebird.sh" "$DB_SESSION_DIR/practice-none.fdb" NONE
    export SCRIVO_TEST_FDB="$DB_SESSION_DIR/practice.fdb"
    export SCRIVO_TEST_FDB_NONE="$DB_SESSION_DIR/practice-none.fdb"

    local fbport
    fbport=$(free_tcp_port)
    DB_SESSION_FB_SCRIPT="$fixtures/firebird-server.sh" DB_SESSION_FB_SERVER="$DB_SESSION_DIR/fbserver"
    "$DB_SESSION_FB_SCRIPT" init "$DB_SESSION_FB_SERVER" "$fbport" "$SCRIVO_TEST_FDB"
    cp "$SCRIVO_TEST_FDB_NONE" "$DB_SESSION_FB_SERVER/practice-none.fdb"
    "$DB_SESSION_FB_SCRIPT" start "$DB_SESSION_FB_SERVER"
    export SCRIVO_TEST_FB_HOST=127.0.0.1 SCRIVO_TEST_FB_PORT="$fbport"
    export SCRIVO_TEST_FB_DATABASE="$DB_SESSION_FB_SERVER/practice.fdb"
    export SCRIVO_TEST_FB_DATABASE_NONE="$DB_SESSION_FB_SERVER/practice-none.fdb"
    export SCRIVO_TEST_FB_SERVER_SCRIPT="$DB_SESSION_FB_SCRIPT"

    local data="$DB_SESSION_DIR/mariadb" socket="$DB_SESSION_DIR/mariadb.sock"
    mariadb-install-db --no-defaults --datadir="$data" --user=root \
        --auth-root-authentication-method=normal --skip-test-db >"$DB_SESSION_DIR/install.log" 2>&1 ||
        { cat "$DB_SESSION_DIR/install.log" >&2; return 1; }
    local port attempt
    for attempt in 1 2 3 4 5; do
        port=$(free_tcp_port)
        mariadbd --no-defaults --datadir="$data" --socket="$socket" --port="$port" \
            --bind-address=127.0.0.1 --lower-case-table-names=1 --skip-log-bin --user=root \
            --innodb-buffer-pool-size=32M --log-error="$DB_SESSION_DIR/mariadbd.log" >>"$DB_SESSION_DIR/mariadbd.log" 2>&1 &
        DB_SESSION_MARIADB_PID=$!
        if wait_for_mariadb "$socket" "$DB_SESSION_MARIADB_PID"; then
            break
        fi
        kill "$DB_SESSION_MARIADB_PID" 2>/dev/null || true
        wait "$DB_SESSION_MARIADB_PID" 2>/dev/null || true
        DB_SESSION_MARIADB_PID=
    done
    if [ -z "$DB_SESSION_MARIADB_PID" ]; then
        echo "MariaDB did not start; see $DB_SESSION_DIR/mariadbd.log" >&2
        cat "$DB_SESSION_DIR/mariadbd.log" >&2 || true
        return 1
    fi

    local admin=(--no-defaults --socket="$socket" --user=root)
    local database=scrivo_cabinet user=scrivo_lecture password='Lecture-Seule_2024'
    "$fixtures/load-mariadb.sh" "$database" "${admin[@]}"
    local ed25519_user=scrivo_ed25519 ed25519_password='Courbe-Edwards_2024'
    mariadb "${admin[@]}" -e "CREATE USER '$user'@'%' IDENTIFIED BY '$password';
        GRANT SELECT ON \`$database\`.* TO '$user'@'%';
        INSTALL SONAME 'auth_ed25519';
        CREATE USER '$ed25519_user'@'%' IDENTIFIED VIA ed25519 USING PASSWORD('$ed25519_password');
        GRANT SELECT ON \`$database\`.* TO '$ed25519_user'@'%';"
    export SCRIVO_TEST_MYSQL_HOST=127.0.0.1 SCRIVO_TEST_MYSQL_PORT="$port"
    export SCRIVO_TEST_MYSQL_USER="$user" SCRIVO_TEST_MYSQL_PASSWORD="$password"
    export SCRIVO_TEST_MYSQL_DATABASE="$database"
    export SCRIVO_TEST_MYSQL_ED25519_USER="$ed25519_user" SCRIVO_TEST_MYSQL_ED25519_PASSWORD="$ed25519_password"
    echo "Practice database: $SCRIVO_TEST_FDB, Firebird on 127.0.0.1:$fbport, MariaDB on 127.0.0.1:$port ($database)"
}

stop_db_session() {
    if [ -n "${DB_SESSION_FB_SERVER:-}" ]; then
        "$DB_SESSION_FB_SCRIPT" kill "$DB_SESSION_FB_SERVER" || true
        DB_SESSION_FB_SERVER=
    fi
    if [ -n "${DB_SESSION_MARIADB_PID:-}" ]; then
        kill "$DB_SESSION_MARIADB_PID" 2>/dev/null || true
        wait "$DB_SESSION_MARIADB_PID" 2>/dev/null || true
        DB_SESSION_MARIADB_PID=
    fi
    if [ -n "${DB_SESSION_DIR:-}" ]; then
        rm -rf "$DB_SESSION_DIR"
        DB_SESSION_DIR=
    fi
}

# Runs stop_db_session first on exit, then whatever the EXIT trap already did (the X
# session's own stop waits for its children, so the server must be gone by then).
chain_db_session_trap() {
    local previous
    previous=$(trap -p EXIT)
    previous=${previous#"trap -- '"}
    previous=${previous%"' EXIT"}
    # shellcheck disable=SC2064
    trap "stop_db_session${previous:+; $previous}" EXIT
}

# A TCP port of the loopback that nothing listens on (bash's /dev/tcp finds listeners).
free_tcp_port() {
    local port
    while :; do
        port=$((20000 + RANDOM % 20000))
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
    done
}

wait_for_mariadb() { # <socket> <server pid>
    local _
    for _ in $(seq 200); do
        kill -0 "$2" 2>/dev/null || return 1
        mariadb-admin --no-defaults --socket="$1" --user=root ping >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}
