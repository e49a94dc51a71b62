#!/usr/bin/env bash
# Load test of the licence library: generates a national licence list and its
# code file into bench/out/licences/, then times, each in its own process:
#   1. import-licences into a new club database,
#   2. import-licences again, every swimmer now known,
#   3. update-codes with the code file,
#   4. the dry run of the same import (it compares each swimmer with the stored ones),
#   5. duplicates on the national database.
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

source "$(dirname "$0")/common.sh"
require_tools "$couloir" "$build/bin/bench_generate_licences" sqlite3 /usr/bin/time

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
  echo "$name: exit status $run, $(time_report "$out/time-$name.txt")"
}

timed import-empty import-licences "$out/club.db" "$out/lists" --temp "$out/tempo-empty"
timed import-filled import-licences "$out/club.db" "$out/lists" --temp "$out/tempo-filled"
timed update-codes update-codes "$out/club.db" "$out/codes"
timed import-dry import-licences "$out/club.db" "$out/lists" --temp "$out/tempo-dry" --dry-run
run=0
/usr/bin/time -v -o "$out/time-duplicates.txt" "$couloir" duplicates "$out/club.db" --quiet \
  --report "$out/duplicates.json" || run=$?
[ "$run" -eq 0 ] || status=$run
echo "duplicates: exit status $run, $(time_report "$out/time-duplicates.txt"), $(python3 -c '
import collections, json, sys
groups = json.load(open(sys.argv[1]))["duplicates"]["groups"]
kinds = collections.Counter(group["confidence"] for group in groups)
print(len(groups), "groups:", ", ".join(f"{kind} {kinds[kind]}" for kind in ("certain", "high", "possible")))
' "$out/duplicates.json")"

echo "rows: $(sqlite3 "$out/club.db" "SELECT (SELECT count(*) FROM Club) || ' clubs, ' ||
  (SELECT count(*) FROM Licence) || ' licences, ' ||
  (SELECT count(*) FROM Licence WHERE Code_unique <> '') || ' with a unique code'")"
echo "traces: $out/trace-*.txt"
exit "$status"
