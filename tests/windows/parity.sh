#!/usr/bin/env bash
# Every command on the bundled samples, run by the Linux build and by the
# Windows build under Wine, side by side: exit statuses, traces, written files
# and the databases' rows must be the same bytes. Each side works in its own
# folder with the same relative paths (a sample folder with accents among
# them), so that what a trace names is spelled alike.
#
#   tests/windows/parity.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 LINUX_BUILD WINDOWS_BUILD" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
linux=$(cd "$1" && pwd)/bin/couloir
windows=$(cd "$2" && pwd)/bin/couloir.exe
work=$(mktemp -d /tmp/couloir-parity.XXXXXX)
export WINEPREFIX=${WINEPREFIX:-$work/wine} WINEDEBUG=-all
trap 'rm -rf "$work"' EXIT
export COULOIR_NOW=2026-11-21T09:15:00
unset COULOIR_COMPONENTS  # each program finds its own components beside it

for side in linux windows; do
  mkdir -p "$work/$side/traces" "$work/$side/out"
  cp -r "$root/samples" "$work/$side/samples"
  mv "$work/$side/samples/competition" "$work/$side/samples/Compétition été"
done

failures=0
# same STEP ARGUMENTS...: the command on both sides (OUT: a new output folder).
same() {
  local step=$1
  shift
  local statuses=()
  for side in linux windows; do
    local arguments=("${@/#OUT/out/$step}")
    local program=("$linux")
    [ "$side" = windows ] && program=(wine "$windows")
    local status=0
    (cd "$work/$side" && "${program[@]}" "${arguments[@]}" --quiet --trace "traces/$step.txt" >/dev/null 2>&1) ||
      status=$?
    statuses+=("$status")
    sqlite3 "$work/$side/$db" .dump >"$work/$side/traces/$step.rows"
  done
  local problems=()
  [ "${statuses[0]}" = "${statuses[1]}" ] || problems+=("exit ${statuses[0]} / ${statuses[1]}")
  cmp -s "$work/linux/traces/$step.txt" "$work/windows/traces/$step.txt" || problems+=("traces")
  diff -r "$work/linux/out" "$work/windows/out" >/dev/null || problems+=("files")
  cmp -s "$work/linux/traces/$step.rows" "$work/windows/traces/$step.rows" || problems+=("rows")
  if [ ${#problems[@]} -eq 0 ]; then
    echo "  $step: identical (exit ${statuses[0]})"
  else
    echo "  $step: DIFFERENT: ${problems[*]}"
    diff <(iconv -f CP1252 -t UTF-8 "$work/linux/traces/$step.txt") \
      <(iconv -f CP1252 -t UTF-8 "$work/windows/traces/$step.txt") | head -10 || true
    failures=$((failures + 1))
  fi
}

# same_output STEP ARGUMENTS...: a command without a trace, its exit status and what it prints.
same_output() {
  local step=$1
  shift
  for side in linux windows; do
    local program=("$linux")
    [ "$side" = windows ] && program=(wine "$windows")
    local status=0
    # A Windows console program ends its lines with CR LF.
    (cd "$work/$side" && "${program[@]}" "$@" 2>&1 | tr -d '\r' >"traces/$step.out") || status=$?
    echo "exit $status" >>"$work/$side/traces/$step.out"
  done
  if cmp -s "$work/linux/traces/$step.out" "$work/windows/traces/$step.out"; then
    echo "  $step: identical"
  else
    echo "  $step: DIFFERENT"
    diff "$work/linux/traces/$step.out" "$work/windows/traces/$step.out" | head -10 || true
    failures=$((failures + 1))
  fi
}

wine wineboot --init >/dev/null 2>&1  # the Wine prefix, made before anything is compared

echo "Linux and Windows builds on the samples:"
db=club.db
same_output init init-db club.db
for side in linux windows; do
  sqlite3 "$work/$side/club.db" <"$root/samples/federation/previous_season.sql"
done
same licences import-licences club.db samples/federation --temp temp
same codes update-codes club.db samples/codes
same results-dry import-results club.db "samples/Compétition été" --competition 1 --new --dry-run --temp temp
same results import-results club.db "samples/Compétition été" --competition 1 --new --temp temp
same results-again import-results club.db "samples/Compétition été" --competition 1 --temp temp
same performances import-perf club.db samples/performances --temp temp
same export-all export-perf club.db OUT --all
same export-club export-perf club.db OUT --club FRA5120750001
same skeleton import-skeleton club.db "samples/Compétition été" --competition 2 --temp temp
same refused import-results club.db "samples/Compétition été" --competition 1 --new --temp temp
same_output duplicates duplicates club.db
db=fixture.db
same_output fixture init-db fixture.db
for side in linux windows; do
  sqlite3 "$work/$side/fixture.db" <"$root/samples/club_fixture.sql"
done
same club-entries create-files fixture.db OUT --competition 7 --profile 1
same selection-entries create-files fixture.db OUT --competition 7 --profile 2 --selection
same selection-export export-perf fixture.db OUT --club FRA5120000000 --selection
same_output profiles profiles fixture.db
same merge merge-swimmers fixture.db 104 201
same_output copy-init init-db copy.db
same_output copy copy-db fixture.db copy.db

# A source folder on a drive letter that names nothing: the drive is not ready.
(cd "$work/windows" && wine "$windows" import-perf club.db 'Q:\Performances' --quiet --trace traces/drive.txt \
  >/dev/null 2>&1) || true
if iconv -f CP1252 -t UTF-8 "$work/windows/traces/drive.txt" | grep -q "Le lecteur source n'est pas pret."; then
  echo "  absent drive on Windows: not ready"
else
  echo "  absent drive on Windows: NOT REPORTED"
  failures=$((failures + 1))
fi

# Windows has no PostgreSQL client: a server URI is refused, in French.
refusal=$(cd "$work/windows" && wine "$windows" import-perf postgresql://club@localhost/club samples/performances \
  --quiet --trace traces/server.txt 2>&1; echo "exit $?")
if iconv -f CP1252 -t UTF-8 "$work/windows/traces/server.txt" | grep -q "ne se connecte pas à PostgreSQL" &&
  [[ $refusal == *"exit 1" ]]; then
  echo "  server URI on Windows: refused"
else
  echo "  server URI on Windows: NOT REFUSED AS IT SHOULD BE: $refusal"
  failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures step(s) differ"
  exit 1
fi
echo "every step identical"
