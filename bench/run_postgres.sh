#!/usr/bin/env bash
# The national-scale loads on PostgreSQL beside SQLite, in one run and on the
# same generated data: import-licences into an empty database, update-codes
# of the national list's unique codes, import-results of a 25,000-result
# meet, import-perf of a million performances, export-perf --all of a
# million performances. Each PostgreSQL figure has its ratio to SQLite and a
# floor: COPY of the same rows into (or, for the export, out of) the same
# tables; for update-codes, COPY of the codes into a table and one UPDATE
# from it. The SQLite licence and performance imports also have theirs: the
# same rows inserted by prepared, bound INSERTs in one transaction. Traces and files are compared byte for byte, the export also
# when each engine was filled by its own import. The server is a throwaway
# cluster (tests/postgres/cluster.sh) with durable commits.
#
#   bench/run_postgres.sh BUILD_DIR [--licences N] [--performances N]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${COULOIR_TEST_POSTGRES:-}" ]; then
  COULOIR_PG_DURABLE=1 exec "$here/../tests/postgres/cluster.sh" "$0" "$@"
fi
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [--licences N] [--performances N]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
shift
licences=350000
performances=1000000
while [ $# -gt 0 ]; do
  case $1 in
    --licences) licences=$2; shift 2 ;;
    --performances) performances=$2; shift 2 ;;
    *) echo "$0: unknown option $1" >&2; exit 2 ;;
  esac
done

source "$here/common.sh"
couloir="$build/bin/couloir"
require_tools "$couloir" "$build/bin/bench_generate_licences" "$build/bin/bench_generate_performances" \
  "$build/bin/bench_generate_history" "$build/bin/bench_generate_meet" "$build/bin/bench_sqlite_floor" sqlite3 psql /usr/bin/time
out="$build/bench-postgres"
rm -rf "$out"
mkdir -p "$out"
server=$COULOIR_TEST_POSTGRES
status=0
export COULOIR_NOW=2026-12-09T12:00:00  # traces compared line for line

# same_traces NAME: the SQLite and PostgreSQL traces of NAME compared.
same_traces() {
  cmp -s "$out/trace-$1-sqlite.txt" "$out/trace-$1-postgres.txt" && echo "  traces identical" ||
    { echo "  traces differ"; status=1; }
}

# new_server_database NAME: an empty PostgreSQL club database; prints its URI.
new_server_database() {
  psql -q "${server}postgres" -c "CREATE DATABASE $1" >/dev/null
  "$couloir" init-db "$server$1" >/dev/null
  echo "$server$1"
}

# seconds FILE: the wall time of a /usr/bin/time -v report, in seconds.
seconds() {
  sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$1" |
    awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }'
}

# timed NAME COMMAND...: runs a command under /usr/bin/time -v and reports it.
timed() {
  local name=$1 run=0
  shift
  /usr/bin/time -v -o "$out/time-$name.txt" "$@" >/dev/null || run=$?
  [ "$run" -eq 0 ] || status=$run
  echo "  $name: exit status $run, $(time_report "$out/time-$name.txt")"
}

# ratio PG SQLITE: "x.xx" of the PostgreSQL time over SQLite's.
ratio() { awk -v a="$(seconds "$out/time-$1.txt")" -v b="$(seconds "$out/time-$2.txt")" 'BEGIN { printf "%.2f", a / b }'; }

# copy_floor NAME URI TABLE...: the tables' rows, taken out of URI, copied into a new database.
copy_floor() {
  local name=$1 from=$2 floor
  shift 2
  floor=$(new_server_database "floor_$name")
  local script="$out/floor-$name.sql"
  : >"$script"
  for table in "$@"; do
    psql -q "$from" -c "\\copy $table TO '$out/$table.copy'"
    psql -q "$floor" -c "DELETE FROM $table" >/dev/null
    echo "\\copy $table FROM '$out/$table.copy'" >>"$script"
  done
  /usr/bin/time -v -o "$out/time-$name-copy.txt" psql -q -1 "$floor" -f "$script" >/dev/null
  echo "  $name COPY floor: $(time_report "$out/time-$name-copy.txt")"
}

# sqlite_floor NAME DB TABLE...: the tables' rows, taken out of DB, inserted into a new
# database by prepared, bound INSERTs in one transaction (bench_sqlite_floor); prints
# that time and the ratio of NAME-sqlite to it.
sqlite_floor() {
  local name=$1 from=$2 floor="$out/floor-$1.db"
  shift 2
  rm -f "$floor"
  "$couloir" init-db "$floor" >/dev/null
  local line
  line=$("$build/bin/bench_sqlite_floor" "$from" "$floor" "$@")
  awk -v line="$line" -v s="$(seconds "$out/time-$name-sqlite.txt")" \
    -v n="$name" 'BEGIN { split(line, f, " "); printf "  %s SQLite floor: %s, SQLite / its floor: %.2f\n", n, line, s / f[2] }'
}

echo "== import-licences, $licences licences into an empty database"
"$build/bin/bench_generate_licences" "$out/licences" --licences "$licences" >/dev/null
"$couloir" init-db "$out/licences.db" >/dev/null
sqlite3 "$out/licences.db" <"$out/licences/departements.sql"
lic=$(new_server_database licences)
psql -q "$lic" -f "$out/licences/departements.sql" >/dev/null
timed licences-sqlite "$couloir" import-licences "$out/licences.db" "$out/licences/lists" --quiet \
  --trace "$out/trace-licences-sqlite.txt" --temp "$out/tempo"
timed licences-postgres "$couloir" import-licences "$lic" "$out/licences/lists" --quiet \
  --trace "$out/trace-licences-postgres.txt" --temp "$out/tempo"
echo "  ratio PostgreSQL / SQLite: $(ratio licences-postgres licences-sqlite)"
copy_floor licences "$lic" licence club
sqlite_floor licences "$out/licences.db" licence club
same_traces licences

echo "== update-codes, the unique codes of the $licences licences"
timed codes-sqlite "$couloir" update-codes "$out/licences.db" "$out/licences/codes" --quiet \
  --trace "$out/trace-codes-sqlite.txt"
timed codes-postgres "$couloir" update-codes "$lic" "$out/licences/codes" --quiet \
  --trace "$out/trace-codes-postgres.txt"
echo "  ratio PostgreSQL / SQLite: $(ratio codes-postgres codes-sqlite)"
psql -q "$lic" -c "\\copy (SELECT code_club, licence, code_unique FROM licence) TO '$out/codes.copy'"
/usr/bin/time -v -o "$out/time-codes-copy.txt" psql -q -1 "$lic" \
  -c "CREATE TEMP TABLE codes (club citext, licence citext, code citext)" \
  -c "\\copy codes FROM '$out/codes.copy'" \
  -c "UPDATE licence SET code_unique = codes.code FROM codes WHERE licence.code_club = codes.club AND licence.licence = codes.licence" \
  >/dev/null
echo "  update-codes COPY and UPDATE floor: $(time_report "$out/time-codes-copy.txt")"
same_traces codes

echo "== import-results, a meet of 25,000 results"
"$build/bin/bench_generate_meet" "$out/meet" --results 26100 --licences 6000 >/dev/null
"$couloir" init-db "$out/meet.db" >/dev/null
meet=$(new_server_database meet)
timed results-sqlite "$couloir" import-results "$out/meet.db" "$out/meet" --competition 1 --new --quiet \
  --trace "$out/trace-results-sqlite.txt" --temp "$out/tempo"
timed results-postgres "$couloir" import-results "$meet" "$out/meet" --competition 1 --new --quiet \
  --trace "$out/trace-results-postgres.txt" --temp "$out/tempo"
echo "  ratio PostgreSQL / SQLite: $(ratio results-postgres results-sqlite)"
copy_floor results "$meet" prres prres_relais liffn liffn_relais licence club rcomp pcomp categori
same_traces results

echo "== import-perf, $performances performances"
"$build/bin/bench_generate_performances" "$out/perf" --performances "$performances" >/dev/null
"$couloir" init-db "$out/perf.db" >/dev/null
perf=$(new_server_database perf)
timed perf-sqlite "$couloir" import-perf "$out/perf.db" "$out/perf" --quiet --trace "$out/trace-perf-sqlite.txt" \
  --temp "$out/tempo"
timed perf-postgres "$couloir" import-perf "$perf" "$out/perf" --quiet --trace "$out/trace-perf-postgres.txt" \
  --temp "$out/tempo"
echo "  ratio PostgreSQL / SQLite: $(ratio perf-postgres perf-sqlite)"
copy_floor perf "$perf" liffn liffn_relais licence club
sqlite_floor perf "$out/perf.db" liffn liffn_relais licence club
same_traces perf
# Each engine's own import of the same file, exported: the same files.
"$couloir" export-perf "$out/perf.db" "$out/perf-export-sqlite" --all --quiet --trace "$out/trace-perf-export-sqlite.txt"
"$couloir" export-perf "$perf" "$out/perf-export-postgres" --all --quiet --trace "$out/trace-perf-export-postgres.txt"
diff -r "$out/perf-export-sqlite" "$out/perf-export-postgres" >/dev/null &&
  echo "  export-perf --all of each engine's own import: files identical" ||
  { echo "  export-perf --all of each engine's own import: files differ"; status=1; }

echo "== export-perf --all, $performances performances"
"$couloir" init-db "$out/history.db" >/dev/null
"$build/bin/bench_generate_history" "$out/history.db" --performances "$performances" >/dev/null
history=$(new_server_database history)
timed history-copy-db "$couloir" copy-db "$out/history.db" "$history"
timed export-sqlite "$couloir" export-perf "$out/history.db" "$out/export-sqlite" --all --quiet \
  --trace "$out/trace-export-sqlite.txt"
timed export-postgres "$couloir" export-perf "$history" "$out/export-postgres" --all --quiet \
  --trace "$out/trace-export-postgres.txt"
echo "  ratio PostgreSQL / SQLite: $(ratio export-postgres export-sqlite)"
/usr/bin/time -v -o "$out/time-export-copy.txt" psql -q "$history" \
  -c "\\copy liffn TO '$out/liffn.out'" -c "\\copy liffn_relais TO '$out/liffn_relais.out'" \
  -c "\\copy licence TO '$out/licence.out'" >/dev/null
echo "  export COPY floor: $(time_report "$out/time-export-copy.txt")"
diff -r "$out/export-sqlite" "$out/export-postgres" >/dev/null && echo "  files identical" ||
  { echo "  files differ"; status=1; }
exit "$status"
