#!/usr/bin/env bash
# Load test of the licence library: generates a national licence list and its
# code file into bench/out/licences/, then times, each in its own process:
#   1. import-licences into a new club database,
#   2. import-licences again, every swimmer now known,
#   3. update-codes with the code file.
# Prints the wall time and the peak memory of each.
#
#   bench/run_licences.sh BUILD_DIR [generator options: --licences N --clubs N --departments N --seed N]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [--licences N] [--clubs N] [--departments N] [--seed N]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
out="$here/out/licences"
couloir="$build/bin/couloir"

for tool in "$couloir" "$build/bin/bench_generate_licences"; do
  [ -x "$tool" ] || { echo "$0: $tool is missing; build first" >&2; exit 1; }
done
for tool in sqlite3 /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is needed" >&2; exit 1; }
done

rm -rf "$out"
mkdir -p "$out"
"$build/bin/bench_generate_licences" "$out" "$@"
"$couloir" init-db "$out/club.db" >/dev/null
sqlite3 "$out/club.db" < "$out/departements.sql"

status=0
# timed NAME COMMAND...: runs a couloir command under /usr/bin/time -v.
timed() {
  local name=$1
  shift
  local run=0
  /usr/bin/time -v -o "$out/time-$name.txt" "$couloir" "$@" --quiet --trace "$out/trace-$name.txt" || run=$?
  [ "$run" -eq 0 ] || status=$run
  local wall rss
  wall=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$out/time-$name.txt")
  rss=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$out/time-$name.txt")
  echo "$name: exit status $run, wall time $wall, peak memory (max RSS) $rss kB"
}

timed import-empty import-licences "$out/club.db" "$out/lists" --temp "$out/tempo-empty"
timed import-filled import-licences "$out/club.db" "$out/lists" --temp "$out/tempo-filled"
timed update-codes update-codes "$out/club.db" "$out/codes"

echo "rows: $(sqlite3 "$out/club.db" "SELECT (SELECT count(*) FROM Club) || ' clubs, ' ||
  (SELECT count(*) FROM Licence) || ' licences, ' ||
  (SELECT count(*) FROM Licence WHERE Code_unique <> '') || ' with a unique code'")"
echo "traces: $out/trace-*.txt"
exit "$status"
