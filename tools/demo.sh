#!/usr/bin/env bash
# The main job on the bundled sample meet: a fresh club database, the whole
# results import, the trace, and what was stored.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
couloir="$build/bin/couloir"
out="$build/demo"
rm -rf "$out" && mkdir -p "$out"

"$couloir" init-db "$out/club.db"
status=0
"$couloir" import-results "$out/club.db" "$root/samples/competition" --competition 1 --new \
    --trace "$out/trace.txt" --report "$out/report.json" --temp "$out/work" || status=$?

echo
echo "== Stored in $out/club.db"
sqlite3 "$out/club.db" <<'SQL'
.mode list
select 'Résultats individuels : ' || count(*) from Prres where Num_compet = 1;
select 'Résultats de relais   : ' || count(*) from Prres_relais where Num_compet = 1;
select 'Performances          : ' || count(*) from Liffn where Num_compet = 1;
select 'Performances relais   : ' || count(*) from Liffn_relais where Num_compet = 1;
select 'Clubs                 : ' || count(*) from Club where Intitule <> 'Null';
select 'Nageurs               : ' || count(*) from Licence where Nom <> 'Null';
select 'Épreuves au programme : ' || count(*) from Pcomp where Num_compet = 1;
SQL
echo "Trace: $out/trace.txt (Windows-1252, CR LF); report: $out/report.json (JSON, docs/report.md)"
exit $status
