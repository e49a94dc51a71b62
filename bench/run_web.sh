#!/usr/bin/env bash
# Load test of the web host, in BUILD_DIR/bench-web/:
#   1. a meet of 25,000 results imported from the command line and from the
#      page's API (POST of the files, then waiting for the end), both timed;
#   2. the answer times of that competition's page and of the page of a
#      swimmer with 500 performances (five requests each).
#
#   bench/run_web.sh BUILD_DIR
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
out="$build/bench-web"
couloir="$build/bin/couloir"

source "$(dirname "$0")/common.sh"
require_tools "$couloir" "$build/bin/bench_generate_meet" "$build/bin/bench_generate_history" sqlite3 curl python3

rm -rf "$out"
mkdir -p "$out"
"$build/bin/bench_generate_meet" "$out/meet" --results 26100 --licences 6000 >/dev/null

seconds() { date +%s.%N; }
elapsed() { python3 -c "print(f'{$2 - $1:.2f} s')"; }

# 1. The same import from the command line and from the page.
"$couloir" init-db "$out/cli.db" >/dev/null
start=$(seconds)
"$couloir" import-results "$out/cli.db" "$out/meet" --competition 1 --new --quiet --trace "$out/cli-trace.txt"
echo "import-results from the command line: $(elapsed "$start" "$(seconds)")"

"$couloir" init-db "$out/web.db" >/dev/null
"$couloir" serve "$out/web.db" --port 0 > "$out/serve.txt" &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
until grep -q token= "$out/serve.txt" 2>/dev/null; do sleep 0.1; done
address=$(grep -o 'http://[^ ]*' "$out/serve.txt")
base=${address%%/\?token=*}
token=${address##*token=}
auth=(-H "Authorization: Bearer $token")
files=()
for file in "$out/meet"/*; do files+=(-F "files=@$file"); done
# The upload alone: the same files, refused at once for want of a competition number.
start=$(seconds)
curl -s -o /dev/null "${auth[@]}" -F kind=import-results "${files[@]}" "$base/api/operations"
echo "upload of the meet's files alone: $(elapsed "$start" "$(seconds)")"
start=$(seconds)
id=$(curl -s "${auth[@]}" -F kind=import-results -F competition=1 -F new=1 "${files[@]}" "$base/api/operations" |
  python3 -c 'import json,sys; print(json.load(sys.stdin)["id"])')
while curl -s "${auth[@]}" "$base/api/operations/$id" | grep -q '"status":"running"'; do sleep 0.05; done
echo "import-results from the page's API (upload included): $(elapsed "$start" "$(seconds)")"
results=$(sqlite3 "$out/web.db" "select count(*) from Prres where Num_compet = 1")
echo "results stored: $results"

# 2. Answer times.
"$build/bin/bench_generate_history" "$out/web.db" --swimmers 200 --performances 100000 >/dev/null
swimmer=$(sqlite3 "$out/web.db" "select Num_Lic from Liffn group by Num_Lic having count(*) >= 500 order by count(*) limit 1")
performances=$(sqlite3 "$out/web.db" "select count(*) from Liffn where Num_Lic = $swimmer")
time_of() {
  local path=$1 times=()
  for _ in 1 2 3 4 5; do times+=("$(curl -s -o /dev/null -w '%{time_total}' "${auth[@]}" "$base$path")"); done
  python3 -c "import sys; t=sorted(float(x) for x in sys.argv[1:]); print(f'median {t[2]*1000:.0f} ms, slowest {t[-1]*1000:.0f} ms')" "${times[@]}"
}
echo "competition page, $results results: $(time_of /api/competitions/1)"
echo "swimmer page, $performances performances: $(time_of "/api/swimmers/$swimmer")"
