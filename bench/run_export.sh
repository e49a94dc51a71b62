#!/usr/bin/env bash
# Load test of the performance export: fills a new club database with a
# large history in BUILD_DIR/bench-export/, exports every club and prints the wall
# time and the peak memory of the export.
#
#   bench/run_export.sh BUILD_DIR [generator options: --swimmers N --performances N --relay-percent N --seed N]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [--swimmers N] [--performances N] [--relay-percent N] [--seed N]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
shift
out="$build/bench-export"
couloir="$build/bin/couloir"

source "$(dirname "$0")/common.sh"
require_tools "$couloir" "$build/bin/bench_generate_history" sqlite3 /usr/bin/time

rm -rf "$out"
mkdir -p "$out/files"
"$couloir" init-db "$out/club.db"
"$build/bin/bench_generate_history" "$out/club.db" "$@"

status=0
/usr/bin/time -v -o "$out/time.txt" \
  "$couloir" export-perf "$out/club.db" "$out/files" --all --quiet --trace "$out/trace.txt" || status=$?

echo "export-perf: exit status $status"
time_report "$out/time.txt"
echo "lines: $(wc -l < "$out/files/liffn.txt") liffn.txt, $(wc -l < "$out/files/licence.txt") licence.txt, $(wc -l < "$out/files/club.txt") club.txt"
echo "trace: $out/trace.txt"
exit "$status"
