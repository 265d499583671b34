#!/usr/bin/env bash
# A PostgreSQL 15 server of the tests' own, on a Unix socket in a temporary folder:
#   pg-server.sh start STATE   initdb, start, and write PGHOST, PGPORT, PGUSER into STATE
#   pg-server.sh stop STATE    stop it and remove its folder
# initdb and the server refuse to run as root: as root they run as the `postgres` user, with
# the folder handed to it. The roles: lum1test (trusted, the tests' own) and pwuser, who must
# give the password "secret".
set -euo pipefail
cmd=$1 state=$2
bin=/usr/lib/postgresql/15/bin
[[ -x $bin/initdb ]] || bin=$(pg_config --bindir 2>/dev/null || true)
run=()
[[ $(id -u) -eq 0 ]] && run=(runuser -u postgres --)

stop() {
  [[ -f $state ]] || return 0
  # shellcheck disable=SC1090
  source "$state"
  if [[ -d ${PGHOST:-} ]]; then
    "${run[@]}" "$bin/pg_ctl" -D "$PGHOST/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$PGHOST"
  fi
  rm -f "$state"
}

case $cmd in
start)
  stop # one left by a run that was cut short
  [[ -x $bin/initdb ]] || { echo "PostgreSQL 15 is not installed (scripts/setup-deps)" >&2; exit 1; }
  dir=$(mktemp -d /tmp/lum1-pg.XXXXXX)
  chmod 755 "$dir"
  [[ $(id -u) -eq 0 ]] && chown postgres: "$dir"
  "${run[@]}" "$bin/initdb" -D "$dir/data" -U lum1test --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  cat >>"$dir/data/postgresql.conf" <<CONF
listen_addresses = ''
unix_socket_directories = '$dir'
port = 5432
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 40
CONF
  {
    echo "local all pwuser scram-sha-256"
    echo "local all all trust"
  } >"$dir/data/pg_hba.conf"
  "${run[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null ||
    { cat "$dir/server.log" >&2; exit 1; }
  "${run[@]}" "$bin/psql" -q -h "$dir" -p 5432 -U lum1test -d postgres -v ON_ERROR_STOP=1 \
    -c "CREATE ROLE pwuser LOGIN PASSWORD 'secret' CREATEDB" >/dev/null
  printf 'PGHOST=%s\nPGPORT=5432\nPGUSER=lum1test\n' "$dir" >"$state"
  ;;
stop)
  stop
  ;;
*)
  echo "usage: $0 start|stop STATE" >&2
  exit 2
  ;;
esac
