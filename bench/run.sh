#!/usr/bin/env bash
# Load test of the results import: generates a large meet into bench/out/,
# imports it into a new club database and prints the wall time and the peak
# memory of the import.
#
#   bench/run.sh BUILD_DIR [generator options: --licences N --results N --seed N]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [--licences N] [--results N] [--seed N]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
out="$here/out"
couloir="$build/bin/couloir"

source "$(dirname "$0")/common.sh"
require_tools "$couloir" "$build/bin/bench_generate_meet" sqlite3 /usr/bin/time

rm -rf "$out"
mkdir -p "$out"
"$build/bin/bench_generate_meet" "$out/meet" "$@"

"$couloir" init-db "$out/club.db"
sqlite3 "$out/club.db" "INSERT INTO Rcomp (AutoNum, Nom) VALUES (1, 'Bench')"

status=0
/usr/bin/time -v -o "$out/time.txt" \
  "$couloir" import-results "$out/club.db" "$out/meet" --competition 1 --new --quiet \
  --trace "$out/trace.txt" --temp "$out/tempo" || status=$?

echo "import-results: exit status $status"
time_report "$out/time.txt"
echo "rows: $(sqlite3 "$out/club.db" "SELECT (SELECT count(*) FROM Prres) || ' Prres, ' ||
  (SELECT count(*) FROM Prres_relais) || ' Prres_relais, ' || (SELECT count(*) FROM Liffn) || ' Liffn, ' ||
  (SELECT count(*) FROM Liffn_relais) || ' Liffn_relais'")"
echo "trace: $out/trace.txt"
exit "$status"
