#!/usr/bin/env bash
# Load test of the web host, in BUILD_DIR/bench-web/:
#   1. a meet of 25,000 results imported from the command line and from the
#      page's API (POST of the files, then waiting for the end), both timed;
#   2. the answer times of that competition's page and of the page of a
#      swimmer with 500 performances (five requests each);
#   3. every page's answer time on a national-size database: the national
#      licence list (350,000 swimmers), a million performances and the meet:
#      search, a club, a swimmer, the competition, the swimmers stored twice;
#   4. the limits: the token holder's answer time (median and worst of 40
#      requests over 10 s) while 200 slow connections are open, half sending
#      a header line every 2 s, half idle; the server's memory before, with
#      them, and after one connection sent 300 MB of header lines.
#
#   bench/run_web.sh BUILD_DIR [--limits-only]
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [--limits-only]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
limits_only=${2:-}
out="$build/bench-web"
couloir="$build/bin/couloir"

source "$(dirname "$0")/common.sh"
require_tools "$couloir" python3

rm -rf "$out"
mkdir -p "$out"

# 4. The token holder among 200 slow connections, and a header flood.
measure_limits() {
  local base=$1 token=$2 pid=$3
  python3 - "$base" "$token" "$pid" <<'PYTHON'
import socket, statistics, sys, time

base, token, pid = sys.argv[1:4]
host, port = base.split("//")[1].split(":")
port = int(port)

def rss_mb():
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024

def ask():
    start = time.monotonic()
    with socket.create_connection((host, port), timeout=30) as c:
        c.sendall(f"GET /api/summary HTTP/1.1\r\nHost: {host}\r\nAuthorization: Bearer {token}\r\n"
                  "Connection: close\r\n\r\n".encode())
        answer = b""
        while chunk := c.recv(65536):
            answer += chunk
    if not answer.startswith(b"HTTP/1.1 200"):
        raise SystemExit(f"unexpected answer: {answer[:80]!r}")
    return time.monotonic() - start

for _ in range(5):
    ask()
before = rss_mb()
slow = []
for i in range(200):
    s = socket.create_connection((host, port))
    if i % 2 == 0:
        s.sendall(b"GET /api/summary HTTP/1.1\r\n")
    slow.append(s)
times, last_line, start = [], time.monotonic(), time.monotonic()
while len(times) < 40 and time.monotonic() - start < 60:
    if time.monotonic() - last_line >= 2:
        for s in slow[::2]:
            try:
                s.send(b"X-Slow: 1\r\n")
            except OSError:
                pass
        last_line = time.monotonic()
    times.append(ask())
    time.sleep(0.25)
with_slow = rss_mb()
still_open = 0
for s in slow:
    s.setblocking(False)
    try:
        s.recv(1)  # an answer (408, 503) or the end: the server let it go
    except BlockingIOError:
        still_open += 1  # nothing to read: still waiting for its request
    except OSError:
        pass
    s.close()
print(f"token holder with 200 slow connections: median {statistics.median(times) * 1000:.1f} ms, "
      f"worst {max(times) * 1000:.1f} ms over {len(times)} requests ({still_open} slow connections still open)")

# 300 MB of header lines on one connection, stopping at the answer.
line = b"X-Flood: " + b"a" * 990 + b"\r\n"
chunk = b"GET /api/summary HTTP/1.1\r\n" + line * 64
flood = socket.create_connection((host, port))
flood.setblocking(False)
sent, answer, start = 0, b"", time.monotonic()
while sent < 300_000_000 and not answer and time.monotonic() - start < 60:
    try:
        sent += flood.send(chunk)
    except BlockingIOError:
        time.sleep(0.001)
    except OSError:
        break
    try:
        answer += flood.recv(65536)
    except BlockingIOError:
        pass
    except OSError:
        break
flood.close()
time.sleep(0.5)
status = answer.split(b"\r\n", 1)[0].decode() or "no answer"
print(f"header flood: {status!r} after {sent / 1e6:.1f} MB sent")
print(f"server memory (VmRSS): {before:.1f} MB before, {with_slow:.1f} MB with 200 slow connections, "
      f"{rss_mb():.1f} MB after the flood")
PYTHON
}

# start_server DB: couloir serve on a free port, stopped when the script ends;
# sets `server` (its process) and `address` (with its token).
start_server() {
  "$couloir" serve "$1" --port 0 > "$out/serve.txt" &
  server=$!
  trap 'kill $server 2>/dev/null || true' EXIT
  until grep -q token= "$out/serve.txt" 2>/dev/null; do sleep 0.1; done
  address=$(grep -o 'http://[^ ]*' "$out/serve.txt")
}

if [ "$limits_only" = --limits-only ]; then
  "$couloir" init-db "$out/limits.db" >/dev/null
  start_server "$out/limits.db"
  measure_limits "${address%%/\?token=*}" "${address##*token=}" "$server"
  exit 0
fi

require_tools "$build/bin/bench_generate_meet" "$build/bin/bench_generate_history" "$build/bin/bench_generate_licences" \
  "$build/bin/bench_generate_performances" sqlite3 curl
"$build/bin/bench_generate_meet" "$out/meet" --results 26100 --licences 6000 >/dev/null

seconds() { date +%s.%N; }
elapsed() { python3 -c "print(f'{$2 - $1:.2f} s')"; }

# 1. The same import from the command line and from the page.
"$couloir" init-db "$out/cli.db" >/dev/null
start=$(seconds)
"$couloir" import-results "$out/cli.db" "$out/meet" --competition 1 --new --quiet --trace "$out/cli-trace.txt"
echo "import-results from the command line: $(elapsed "$start" "$(seconds)")"

"$couloir" init-db "$out/web.db" >/dev/null
start_server "$out/web.db"
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
measure_limits "$base" "$token" "$server"
kill "$server"
wait "$server" 2>/dev/null || true

# 3. The pages on a national-size database.
national="$out/national.db"
"$build/bin/bench_generate_licences" "$out/federation" >/dev/null
"$build/bin/bench_generate_performances" "$out/performances" --performances 1000000 >/dev/null
"$couloir" init-db "$national" >/dev/null
sqlite3 "$national" < "$out/federation/departements.sql"
"$couloir" import-licences "$national" "$out/federation/lists" --quiet --trace "$out/national-licences.txt"
"$couloir" import-perf "$national" "$out/performances" --quiet --trace "$out/national-perf.txt"
meet=$(sqlite3 "$national" "select coalesce(max(AutoNum), 0) + 1 from Rcomp")  # after the history's competitions
"$couloir" import-results "$national" "$out/meet" --competition "$meet" --new --quiet --trace "$out/national-meet.txt"
start_server "$national"
base=${address%%/\?token=*}
token=${address##*token=}
auth=(-H "Authorization: Bearer $token")
counts=$(sqlite3 "$national" "select (select count(*) from Licence) || ' swimmers, ' || (select count(*) from Liffn) || ' performances'")
echo "national database: $counts"
club=$(sqlite3 "$national" "select Code_Club from Licence group by Code_Club order by count(*) desc limit 1")
club_swimmers=$(sqlite3 "$national" "select count(*) from Licence where Code_Club = '$club'")
busy=$(sqlite3 "$national" "select Licence.Code_Club from Liffn join Licence on Licence.Num = Liffn.Num_Lic group by Licence.Code_Club order by count(*) desc limit 1")
busy_performances=$(sqlite3 "$national" "select count(*) from Liffn join Licence on Licence.Num = Liffn.Num_Lic where Licence.Code_Club = '$busy'")
swimmer=$(sqlite3 "$national" "select Num_Lic from Liffn group by Num_Lic order by count(*) desc limit 1")
swimmer_performances=$(sqlite3 "$national" "select count(*) from Liffn where Num_Lic = $swimmer")
for query in martin "dupont lea" "pet zo" 1101; do
  echo "search \"$query\": $(time_of "/api/search?q=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$query")")"
done
echo "club page, $club_swimmers swimmers: $(time_of "/api/clubs/$club")"
echo "club page, $busy_performances performances of its swimmers: $(time_of "/api/clubs/$busy")"
echo "swimmer page, $swimmer_performances performances: $(time_of "/api/swimmers/$swimmer")"
echo "competition page, $results results: $(time_of "/api/competitions/$meet")"
echo "dashboard counts: $(time_of /api/summary)"
echo "swimmers stored twice: $(time_of /api/duplicates)"
