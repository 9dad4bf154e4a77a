# A throwaway PostgreSQL server for the scheme store's tests: pg_start exports
# NXSF_TEST_PG_URL (a postgresql:// address of the superuser) and creates the roles
# nxsf_admin, nxsf_alice and nxsf_bob (see _pg_roles); pg_stop [DIR] removes the server again.
# Works without a terminal. As root the server runs as the postgres user, since initdb
# refuses to run as root.

_pg_bindir() {
    local dir
    for dir in /usr/lib/postgresql/15/bin $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -Vr); do
        if [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ]; then
            echo "$dir"
            return 0
        fi
    done
    return 1
}

# Runs a command as the server's owner.
_pg_as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        (cd "$NXSF_PG_DIR" && runuser -u postgres -- "$@")
    else
        (cd "$NXSF_PG_DIR" && "$@")
    fi
}

# A loopback port nobody listens on.
_pg_free_port() {
    local port tries
    for tries in $(seq 1 50); do
        port=$((20000 + RANDOM % 30000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

# The roles of a site's store, for the tests of its rights: an administrator who sets the
# store up and may change every scheme, and two users (members of nxsf_users) who keep
# schemes of their own. The server trusts loopback connections, so they need no password.
_pg_roles() {
    _pg_as_owner "$1/psql" -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$2" -U postgres -d nxsf_test \
        >/dev/null </dev/null -c "
        CREATE ROLE nxsf_admin LOGIN;
        CREATE ROLE nxsf_users NOLOGIN;
        CREATE ROLE nxsf_alice LOGIN IN ROLE nxsf_users;
        CREATE ROLE nxsf_bob LOGIN IN ROLE nxsf_users;
        GRANT CREATE ON DATABASE nxsf_test TO nxsf_admin;"
}

pg_start() {
    local bin port attempt
    bin=$(_pg_bindir) || { echo "pgserver: no PostgreSQL binaries found" >&2; return 1; }
    NXSF_PG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/nxsf-pg.XXXXXX")
    export NXSF_PG_DIR
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$NXSF_PG_DIR"
    fi
    if ! _pg_as_owner "$bin/initdb" -D "$NXSF_PG_DIR/data" -U postgres -A trust -E UTF8 \
            --locale=C --no-sync >"$NXSF_PG_DIR/initdb.log" 2>&1 </dev/null; then
        cat "$NXSF_PG_DIR/initdb.log" >&2
        echo "pgserver: initdb failed" >&2
        rm -rf "$NXSF_PG_DIR"
        return 1
    fi
    # Another program may take the port between the check and the start: try a few.
    for attempt in 1 2 3 4 5; do
        port=$(_pg_free_port) || break
        if _pg_as_owner "$bin/pg_ctl" -D "$NXSF_PG_DIR/data" -l "$NXSF_PG_DIR/server.log" -w -t 60 \
                -o "-p $port -k $NXSF_PG_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" \
                start >/dev/null 2>&1 </dev/null; then
            if _pg_as_owner "$bin/createdb" -h 127.0.0.1 -p "$port" -U postgres nxsf_test \
                    </dev/null && _pg_roles "$bin" "$port"; then
                export NXSF_PG_BIN=$bin
                export NXSF_TEST_PG_URL="postgresql://postgres@127.0.0.1:$port/nxsf_test"
                echo "pgserver: PostgreSQL on 127.0.0.1:$port" >&2
                return 0
            fi
            _pg_as_owner "$bin/pg_ctl" -D "$NXSF_PG_DIR/data" -m immediate stop >/dev/null 2>&1
        fi
    done
    cat "$NXSF_PG_DIR/server.log" >&2 2>/dev/null
    echo "pgserver: the server did not start" >&2
    rm -rf "$NXSF_PG_DIR"
    return 1
}

# Stops the server and removes its folder: NXSF_PG_DIR, or the folder given. A later shell
# knows only the folder, so the binaries are found from the data's version, and a server that
# pg_ctl does not stop is ended through the process id it recorded. The folder stays while the
# server runs, so that it can still be stopped.
pg_stop() {
    local dir=${1:-${NXSF_PG_DIR:-}} bin pid tries
    [ -n "$dir" ] && [ -d "$dir" ] || return 0
    bin=${NXSF_PG_BIN:-}
    if [ ! -x "$bin/pg_ctl" ] && [ -r "$dir/data/PG_VERSION" ]; then
        bin=/usr/lib/postgresql/$(cat "$dir/data/PG_VERSION")/bin
    fi
    [ -x "$bin/pg_ctl" ] || bin=$(_pg_bindir) || bin=
    if [ -n "$bin" ] && [ -f "$dir/data/postmaster.pid" ]; then
        NXSF_PG_DIR=$dir _pg_as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop \
            >/dev/null 2>&1 </dev/null || true
    fi
    # A clean stop has removed the file already; under set -e a failing read here used to
    # turn the caller's exit status into a failure.
    pid=$(head -n 1 "$dir/data/postmaster.pid" 2>/dev/null || true)
    # Only the postmaster of this folder: the number may since name another process.
    if [ -n "$pid" ] && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "$dir/data"; then
        kill -INT "$pid" 2>/dev/null || true
        for tries in $(seq 1 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            echo "pgserver: the server (process $pid) in $dir did not stop" >&2
            return 1
        fi
    fi
    rm -rf "$dir"
    if [ "$dir" = "${NXSF_PG_DIR:-}" ]; then
        unset NXSF_PG_DIR NXSF_PG_BIN NXSF_TEST_PG_URL
    fi
}
