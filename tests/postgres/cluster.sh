#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests and benchmarks: created in a
# fresh temporary folder, listening only on a Unix socket there, run by an
# unprivileged user (PostgreSQL refuses root), stopped and removed when the
# command it runs ends, whatever its outcome.
#
#   tests/postgres/cluster.sh COMMAND [ARGUMENTS...]
#
# The command runs with COULOIR_TEST_POSTGRES set to the cluster's base URI
# (postgresql://couloir@%2F...%2Fsocket/); it may create databases there.
set -euo pipefail

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "cluster.sh: PostgreSQL server binaries not found (apt-get install postgresql)" >&2
  exit 2
fi

dir=$(mktemp -d /tmp/couloir-pg.XXXXXX)
chmod 755 "$dir"
runas=()
if [ "$(id -u)" = 0 ]; then
  chown nobody "$dir"
  runas=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi

cleanup() {
  "${runas[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$dir"
}
trap cleanup EXIT

"${runas[@]}" "$bin/initdb" -D "$dir/data" -U couloir --auth=trust --encoding=UTF8 --locale=C >"$dir/initdb.log" 2>&1 ||
  { cat "$dir/initdb.log" >&2; exit 2; }
# The tests' cluster skips flushing to disk; the benchmarks' (COULOIR_PG_DURABLE=1) does not.
fsync=off
[ -n "${COULOIR_PG_DURABLE:-}" ] && fsync=on
"${runas[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -s \
  -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=$fsync -c max_connections=50" start ||
  { cat "$dir/server.log" >&2; exit 2; }

export COULOIR_TEST_POSTGRES="postgresql://couloir@${dir//\//%2F}/"
"$@"
