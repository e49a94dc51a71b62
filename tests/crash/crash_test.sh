#!/usr/bin/env bash
# Kills importing commands with SIGKILL at random moments and checks what the
# club database holds afterwards: a sound file, and exactly what it held before
# the call or exactly what a clean run gives, never a part of a call. A run of
# the same command on a database left as before must then give the clean result.
# The writing commands are killed the same way: their output folder holds,
# byte for byte, what it held before or the whole set a clean run writes.
#
#   tests/crash/crash_test.sh BUILD_DIR [--rounds N] [--small] [--postgres]
#
# --small uses small generated files (the setting `make test` runs); without
# it the files are of national size. --postgres runs the calls on databases
# of the PostgreSQL server that tests/postgres/cluster.sh started
# (COULOIR_TEST_POSTGRES), each a copy of the prepared SQLite one.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [--rounds N] [--small]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
shift
rounds=10
small=0
server=""
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --small) small=1; shift ;;
    --postgres) server=${COULOIR_TEST_POSTGRES:?--postgres runs under tests/postgres/cluster.sh}; shift ;;
    *) echo "$0: unknown option $1" >&2; exit 2 ;;
  esac
done

couloir="$build/bin/couloir"
for tool in "$couloir" "$build/bin/bench_generate_meet" "$build/bin/bench_generate_licences" \
            "$build/bin/bench_generate_performances"; do
  [ -x "$tool" ] || { echo "$0: $tool is missing; build first" >&2; exit 1; }
done
command -v sqlite3 >/dev/null || { echo "$0: sqlite3 is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export COULOIR_NOW=2026-06-01T10:00:00
RANDOM=2026

if [ "$small" -eq 1 ]; then
  meet_size=(--licences 400 --results 3000)
  licence_size=(--licences 20000 --clubs 300 --departments 20)
  perf_size=(--swimmers 2000 --performances 30000)
else  # the generators' own sizes: a national meet, licence list and performance file
  meet_size=()
  licence_size=()
  perf_size=()
fi

failures=0
fail() {
  echo "ÉCHEC: $*"
  failures=$((failures + 1))
}

# The database's rows, the open/closed mark aside, as one checksum.
fingerprint() {
  if [ -n "$server" ]; then
    local table
    for table in $(psql -tA "$1" -c "SELECT table_name FROM information_schema.tables
                   WHERE table_schema = current_schema() AND table_name <> 'info' ORDER BY 1"); do
      echo "$table"
      psql -tA "$1" -c "COPY (SELECT * FROM $table AS whole_row ORDER BY whole_row) TO STDOUT"
    done | md5sum | cut -d' ' -f1
  else
    sqlite3 "$1" "UPDATE Info SET LastClose = 1" && sqlite3 "$1" .dump | md5sum | cut -d' ' -f1
  fi
}

# open_mark DB: 0 while a call holds the database open, 1 once closed properly.
open_mark() {
  if [ -n "$server" ]; then
    [ "$(psql -tA "$1" -c "SELECT LastClose FROM Info")" = t ] && echo 1 || echo 0
  else
    sqlite3 "$1" "SELECT LastClose FROM Info"
  fi
}

# copy_of BASE NAME: a copy of the prepared SQLite database BASE, as a file
# beside it or as a new server database (copy-db); prints its name.
copy_of() {
  if [ -n "$server" ]; then
    local name="crash_${2//[^a-z0-9]/_}"
    psql -q "${server}postgres" -c "DROP DATABASE IF EXISTS $name" -c "CREATE DATABASE $name" >/dev/null 2>&1
    "$couloir" init-db "$server$name" >/dev/null
    "$couloir" copy-db "$1" "$server$name" >/dev/null
    echo "$server$name"
  else
    local file
    file="$(dirname "$1")/$2.db"
    rm -f "$file" "$file-wal" "$file-shm"
    cp "$1" "$file"
    echo "$file"
  fi
}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# run_killed DELAY_MS: starts the command in `run_args` and kills it with SIGKILL DELAY_MS later.
run_killed() {
  "${run_args[@]}" &
  local pid=$!
  sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# run_case NAME BASE_DB COMMAND...: COMMAND holds the word DB where the
# database goes and TEMP where a working folder goes.
run_case() {
  local name=$1 base=$2
  shift 2
  local dir="$work/$name"
  mkdir -p "$dir"
  # command_for DB RUN: the command on DB in `run_args`, its trace and working folder named after RUN.
  command_for() {
    local word
    run_args=("$couloir")
    for word in "${command[@]}"; do
      case $word in
        DB) run_args+=("$1") ;;
        TEMP) run_args+=("$dir/temp-$2") ;;
        *) run_args+=("$word") ;;
      esac
    done
    run_args+=(--quiet --trace "$dir/trace-$2.txt")
  }
  local command=("$@") run_args=()

  local before after start elapsed clean
  before=$(fingerprint "$(copy_of "$base" "$name-before")")
  clean=$(copy_of "$base" "$name-clean")
  start=$(now_ms)
  command_for "$clean" clean
  "${run_args[@]}" || true
  elapsed=$(( $(now_ms) - start ))
  after=$(fingerprint "$clean")
  [ "$before" != "$after" ] || fail "$name: la commande ne change rien, le test ne prouve rien"

  local round kept=0 done_=0
  for ((round = 1; round <= rounds; round++)); do
    local db
    db=$(copy_of "$base" "$name-round")
    local delay=$(( RANDOM * elapsed / 32768 ))
    command_for "$db" "round$round"
    run_killed "$delay"
    # The server ends a killed client's transaction on its own time: a COMMIT
    # it had received may still land. The state is read once it has.
    if [ -n "$server" ]; then
      until [ "$(psql -tA "${server}postgres" -c "SELECT count(*) FROM pg_stat_activity
                 WHERE application_name = 'couloir'")" = 0 ]; do sleep 0.1; done
    fi

    if [ -z "$server" ]; then
      local check
      check=$(sqlite3 "$db" "PRAGMA integrity_check")
      [ "$check" = ok ] || fail "$name, essai $round: intégrité : $check"
    fi
    local mark state
    mark=$(open_mark "$db")
    state=$(fingerprint "$db")
    if [ "$state" = "$before" ]; then
      kept=$((kept + 1))
      # A call killed once its steps had begun had the database open: the
      # crash stays visible as an open mark (the trace is Windows-1252).
      if LC_ALL=C grep -aq "Traitement\|Mise . jour de\|Longueur des lignes" "$dir/trace-round$round.txt" 2>/dev/null &&
         [ "$mark" != 0 ]; then
        fail "$name, essai $round: la base tuée en cours d'appel n'est pas marquée ouverte"
      fi
      command_for "$db" "again$round"
      "${run_args[@]}" || true
      [ "$(fingerprint "$db")" = "$after" ] || fail "$name, essai $round: la reprise ne donne pas le résultat d'un import propre"
    elif [ "$state" = "$after" ]; then
      done_=$((done_ + 1))
    else
      fail "$name, essai $round (tué après $delay ms): la base n'est ni l'état d'avant ni celui d'après"
    fi
  done
  echo "$name: $rounds essais (import propre en $elapsed ms) : $kept fois l'état d'avant, $done_ fois l'état d'après"
}

# Results: a competition imported once, then imported again from other files.
"$build/bin/bench_generate_meet" "$work/meet" "${meet_size[@]}" >/dev/null
"$build/bin/bench_generate_meet" "$work/meet-again" "${meet_size[@]}" --seed 7 >/dev/null
"$couloir" init-db "$work/results.db" >/dev/null
"$couloir" import-results "$work/results.db" "$work/meet" --competition 1 --new --quiet \
  --trace "$work/results-trace.txt" --temp "$work/results-temp"
run_case import-results "$work/results.db" import-results DB "$work/meet-again" --competition 1 --temp TEMP

# Licences into a database holding the departments, then the unique codes.
"$build/bin/bench_generate_licences" "$work/licences" "${licence_size[@]}" >/dev/null
"$couloir" init-db "$work/licences.db" >/dev/null
sqlite3 "$work/licences.db" < "$work/licences/departements.sql"
run_case import-licences "$work/licences.db" import-licences DB "$work/licences/lists" --temp TEMP
"$couloir" import-licences "$work/licences.db" "$work/licences/lists" --quiet \
  --trace "$work/licences-trace.txt" --temp "$work/licences-temp"
run_case update-codes "$work/licences.db" update-codes DB "$work/licences/codes"

# A performance file into a new database.
"$build/bin/bench_generate_performances" "$work/perf" "${perf_size[@]}" >/dev/null
"$couloir" init-db "$work/perf.db" >/dev/null
run_case import-perf "$work/perf.db" import-perf DB "$work/perf" --temp TEMP

# A swimmer stored twice, the second row holding a third of the history, merged into the first.
"$couloir" import-perf "$work/perf.db" "$work/perf" --quiet --trace "$work/perf-trace.txt" --temp "$work/perf-temp"
keep=$(sqlite3 "$work/perf.db" "SELECT Num_Lic FROM Liffn GROUP BY Num_Lic ORDER BY count(*) DESC, Num_Lic LIMIT 1")
merged=$(sqlite3 "$work/perf.db" "INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance)
  SELECT Code_Club, '999999', Nom, Prenom, Sexe, Date_Naissance FROM Licence WHERE Num = $keep;
  UPDATE Liffn SET Num_Lic = last_insert_rowid() WHERE rowid % 3 = 0; SELECT max(Num) FROM Licence")
run_case merge-swimmers "$work/perf.db" merge-swimmers DB "$keep" "$merged"

# folder_fingerprint DIR: the name and bytes of every file under DIR, as one checksum.
folder_fingerprint() {
  (cd "$1" && find . -type f | LC_ALL=C sort | while read -r file; do echo "$file"; md5sum < "$file"; done) |
    md5sum | cut -d' ' -f1
}

# run_writer_case NAME FILES COMMAND...: COMMAND holds OUT where the output
# folder goes; FILES are the names of its set, which the folder holds from an
# earlier run beside a file of the user's before each call.
run_writer_case() {
  local name=$1 files=$2
  shift 2
  local dir="$work/$name" command=("$@")
  mkdir -p "$dir/seed"
  local file
  for file in $files; do printf 'une exécution précédente\r\n' > "$dir/seed/$file"; done
  printf 'les notes du club\r\n' > "$dir/seed/notes.txt"
  # writer_for OUT RUN: the command into OUT in `run_args`, its trace named after RUN
  # (the command itself is started, so that a kill reaches it and not a shell).
  writer_for() {
    local word
    run_args=("$couloir")
    for word in "${command[@]}"; do [ "$word" = OUT ] && run_args+=("$1") || run_args+=("$word"); done
    run_args+=(--quiet --trace "$dir/trace-$2.txt")
  }
  local run_args=()
  local before after start elapsed
  before=$(folder_fingerprint "$dir/seed")
  rm -rf "$dir/clean" && cp -a "$dir/seed" "$dir/clean"
  start=$(now_ms)
  writer_for "$dir/clean" clean
  "${run_args[@]}" || fail "$name: l'écriture propre a échoué"
  elapsed=$(( $(now_ms) - start ))
  after=$(folder_fingerprint "$dir/clean")
  [ "$before" != "$after" ] || fail "$name: la commande n'écrit rien, le test ne prouve rien"

  local round kept=0 done_=0
  for ((round = 1; round <= rounds; round++)); do
    rm -rf "$dir/out" && cp -a "$dir/seed" "$dir/out"
    local delay=$(( RANDOM * elapsed / 32768 ))
    writer_for "$dir/out" "round$round"
    run_killed "$delay"
    local state
    state=$(folder_fingerprint "$dir/out")
    if [ "$state" = "$before" ]; then
      kept=$((kept + 1))
    elif [ "$state" = "$after" ]; then
      done_=$((done_ + 1))
    else
      fail "$name, essai $round (tué après $delay ms): le dossier n'est ni l'état d'avant ni celui d'après"
    fi
    # The next run delivers the whole set and clears what the killed one left beside the folder.
    writer_for "$dir/out" "again$round"
    "${run_args[@]}" || fail "$name, essai $round: la reprise a échoué"
    [ "$(folder_fingerprint "$dir/out")" = "$after" ] || fail "$name, essai $round: la reprise n'écrit pas le jeu complet"
    # A process killed between making its folder and marking it leaves it empty, and
    # such a folder is cleared only once it is a minute old: only one holding
    # something is a fault.
    if [ -n "$(find "$dir" -maxdepth 2 -path "$dir/.couloir-ecriture-*/*" -print -quit)" ]; then
      fail "$name, essai $round: un dossier d'écriture abandonné reste à côté du dossier de sortie"
    fi
  done
  echo "$name: $rounds essais (écriture propre en $elapsed ms) : $kept fois le dossier d'avant, $done_ fois le jeu complet"
}

# The writers read the database only: their folders are the same on both engines.
if [ -z "$server" ]; then
  run_writer_case export-perf "licence.txt club.txt origine.txt liffn.txt" export-perf "$work/import-perf-clean.db" OUT --all
  "$couloir" init-db "$work/entries.db" >/dev/null
  sqlite3 "$work/entries.db" < "$(dirname "$0")/../../samples/club_fixture.sql"
  run_writer_case create-files "Origine.txt Rcomp.txt Pcomp.txt Nage.txt Club.txt Licence.txt Engag.txt Relais.txt" \
    create-files "$work/entries.db" OUT --competition 7 --profile 1
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures échec(s)"
  exit 1
fi
echo "crash test: every killed call left the database whole"
