#!/usr/bin/env bash
# Load test of the performance import: generates a large performance file
# with its clubs and licences in BUILD_DIR/bench-performances/, imports it
# into a new club database, then imports it again with a bad last line into
# another one (every performance is then rolled back), and prints the wall
# time and the peak memory of each import.
#
#   bench/run_performances.sh BUILD_DIR [generator options: --swimmers N --performances N --relay-percent N --seed N]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [--swimmers N] [--performances N] [--relay-percent N] [--seed N]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
shift
out="$build/bench-performances"
couloir="$build/bin/couloir"

source "$(dirname "$0")/common.sh"
require_tools "$couloir" "$build/bin/bench_generate_performances" sqlite3 /usr/bin/time

rm -rf "$out"
mkdir -p "$out"
"$build/bin/bench_generate_performances" "$out/files" "$@"

# The same files, with the pool length of the last performance made 33.
cp -r "$out/files" "$out/bad"
record=204  # 202 characters and CR LF
size=$(stat -c %s "$out/bad/liffn.txt")
printf '33' | dd of="$out/bad/liffn.txt" bs=1 seek=$((size - record + 21)) conv=notrunc status=none

# import NAME SOURCE: imports into a new database NAME.db and reports.
import() {
  local name=$1 source=$2 status=0
  "$couloir" init-db "$out/$name.db" >/dev/null
  /usr/bin/time -v -o "$out/$name-time.txt" \
    "$couloir" import-perf "$out/$name.db" "$source" --quiet --trace "$out/$name-trace.txt" \
    --temp "$out/$name-tempo" || status=$?
  echo "import-perf ($name): exit status $status"
  echo "  $(time_report "$out/$name-time.txt")"
  echo "  rows: $(sqlite3 "$out/$name.db" "SELECT (SELECT count(*) FROM Liffn) || ' Liffn, ' ||
    (SELECT count(*) FROM Liffn_relais) || ' Liffn_relais, ' || (SELECT count(*) FROM Licence) || ' Licence, ' ||
    (SELECT count(*) FROM Rcomp) || ' Rcomp'")"
  echo "  trace: $out/$name-trace.txt"
}

import whole "$out/files"
import rollback "$out/bad"
