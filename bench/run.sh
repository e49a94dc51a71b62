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

for tool in "$couloir" "$build/bin/bench_generate_meet"; do
  [ -x "$tool" ] || { echo "$0: $tool is missing; build first" >&2; exit 1; }
done
for tool in sqlite3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is needed" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out"
"$build/bin/bench_generate_meet" "$out/meet" "$@"

"$couloir" init-db "$out/club.db"
sqlite3 "$out/club.db" "INSERT INTO Rcomp (AutoNum, Nom) VALUES (1, 'Bench')"

status=0
/usr/bin/time -v -o "$out/time.txt" \
  "$couloir" import-results "$out/club.db" "$out/meet" --competition 1 --new --quiet \
  --trace "$out/trace.txt" --temp "$out/tempo" || status=$?

wall=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$out/time.txt")
rss=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$out/time.txt")
echo "import-results: exit status $status"
echo "wall time: $wall"
echo "peak memory (max RSS): $rss kB"
echo "rows: $(sqlite3 "$out/club.db" "SELECT (SELECT count(*) FROM Prres) || ' Prres, ' ||
  (SELECT count(*) FROM Prres_relais) || ' Prres_relais, ' || (SELECT count(*) FROM Liffn) || ' Liffn, ' ||
  (SELECT count(*) FROM Liffn_relais) || ' Liffn_relais'")"
echo "trace: $out/trace.txt"
exit "$status"
