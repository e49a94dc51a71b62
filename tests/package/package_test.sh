#!/usr/bin/env bash
# The Debian package as a club and a host developer meet it: lintian finds no
# error, nothing is writable by others, and, unpacked into a scratch root, the
# installed couloir gives the built one's traces and files on every sample,
# its manual page reads cleanly and names every option, and the example host
# builds against the installed tree alone (pkg-config and CMake) and imports
# the sample meet.
set -euo pipefail
build=$(cd "${1:?usage: package_test.sh BUILD}" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
built="$build/bin/couloir"
version=$("$built" --version)
deb="$build/package/couloir_${version}_amd64.deb"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Nothing may come from the build tree but what the package holds.
unset COULOIR_COMPONENTS COULOIR_BASE_TIMES
failures=0
fail() { echo "ÉCHEC : $*"; failures=$((failures + 1)); }
pass() { echo "ok : $*"; }

echo "== $deb ($(du -k "$deb" | cut -f1) Kio)"
lintian_out=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian signale une erreur"
echo "$lintian_out" | grep -v "running with root privileges" || true

writable=$(dpkg-deb -c "$deb" | awk '$1 !~ /^l/ && (substr($1, 6, 1) == "w" || substr($1, 9, 1) == "w")')
[ -z "$writable" ] && pass "aucun fichier modifiable par d'autres" || fail "modifiables par d'autres : $writable"

root="$work/root"
dpkg -x "$deb" "$root"
couloir="$root/usr/bin/couloir"
[ "$("$couloir" --version)" = "$version" ] && pass "couloir --version : $version" || fail "couloir --version"

# Every sample through the built and the installed program, at one clock and
# from folders laid out alike: traces and written files compare byte for byte.
run_samples() {
    local program=$1 folder=$2 samples="$source/samples"
    mkdir -p "$folder" && cd "$folder"
    export COULOIR_NOW=2026-11-23T09:30:00
    local n=0
    step() { n=$((n + 1)); "$program" "$@" --trace "trace-$n.txt" --quiet >/dev/null || echo "$* : code $?" >> codes.txt; }
    "$program" init-db club.db >/dev/null
    sqlite3 club.db < "$samples/federation/previous_season.sql"
    step import-licences club.db "$samples/federation" --temp work
    step update-codes club.db "$samples/codes"
    step import-results club.db "$samples/competition" --competition 1 --new --temp work
    step import-perf club.db "$samples/performances" --temp work
    step export-perf club.db export-all --all
    "$program" init-db entries.db >/dev/null
    sqlite3 entries.db < "$samples/club_fixture.sql"
    step create-files entries.db entries --competition 7 --profile 1
    unset COULOIR_NOW
    sqlite3 club.db "select Code_epreuve, Type_course, Num_Lic, Tps, Cotation_Fede from Prres order by 1, 2, 3, 4" \
        > results.txt
    rm -f club.db entries.db
    cd - >/dev/null
}
run_samples "$built" "$work/built/samples"
run_samples "$couloir" "$work/installed/samples"
if diff -r "$work/built/samples" "$work/installed/samples" >/dev/null && [ -s "$work/built/samples/results.txt" ]; then
    pass "mêmes traces, fichiers écrits et résultats sur les exemples ($(ls "$work/built/samples" | tr '\n' ' '))"
else
    fail "l'installé diffère du construit : $(diff -rq "$work/built/samples" "$work/installed/samples" | head -5)"
fi

# The manual page: no warning from man, every command and option of --help in it.
page="$root/usr/share/man/man1/couloir.1.gz"
warnings=$(MANWIDTH=100 man --warnings -l "$page" 2>&1 >"$work/man.txt") || fail "man -l"
[ -z "$warnings" ] && pass "man -l sans avertissement" || fail "avertissements de man : $warnings"
commands=$("$couloir" --help | sed -n '/^Commandes:/,$p' | awk 'NR > 1 && /^  [a-z]/ {print $1}')
[ -n "$commands" ] || fail "aucune commande dans couloir --help"
for command in $commands; do
    section=$(sed -n "/^COULOIR $command\$/,/^COULOIR /p" "$work/man.txt")
    [ -n "$section" ] || { fail "pas de section pour $command"; continue; }
    for option in $("$couloir" "$command" --help | grep -oE '(^| )--[a-z-]+' | sort -u); do
        grep -q -- "$option" <<<"$section" || fail "$command $option absent de la page"
    done
done
pass "la page de manuel décrit : $(echo $commands)"

# The example host, built against the installed tree only.
examples="$root/usr/share/doc/couloir/examples/import_results"
pkgconfig=$(dirname "$(find "$root" -name couloir.pc)")
cp -r "$examples" "$work/with-pkg-config"
PKG_CONFIG_PATH="$pkgconfig" PKG_CONFIG_LIBDIR=/nonexistent make -s -C "$work/with-pkg-config"
cmake -S "$examples" -B "$work/with-cmake" -DCMAKE_PREFIX_PATH="$root/usr" -DCMAKE_FIND_USE_CMAKE_SYSTEM_PATH=OFF >/dev/null
cmake --build "$work/with-cmake" >/dev/null
# What the example must give: the built couloir's import of the meet alone.
"$built" init-db "$work/reference.db" >/dev/null
"$built" import-results "$work/reference.db" "$source/samples/competition" --competition 1 --new \
    --trace "$work/reference.txt" --quiet
sqlite3 "$work/reference.db" "select Code_epreuve, Type_course, Num_Lic, Tps, Cotation_Fede from Prres order by 1, 2, 3, 4" \
    > "$work/reference.txt"
for example in "$work/with-pkg-config/import_results" "$work/with-cmake/import_results"; do
    folder="$(dirname "$example")/meet"
    mkdir -p "$folder"
    "$couloir" init-db "$folder/club.db" >/dev/null
    echo "-- $example"
    if "$example" "$folder/club.db" "$source/samples/competition" 1 "$folder/trace.txt"; then
        sqlite3 "$folder/club.db" "select Code_epreuve, Type_course, Num_Lic, Tps, Cotation_Fede from Prres order by 1, 2, 3, 4" > "$folder/results.txt"
        cmp -s "$folder/results.txt" "$work/reference.txt" && pass "l'exemple importe la compétition" ||
            fail "l'exemple ne donne pas les résultats de couloir"
    else
        fail "l'exemple a échoué : $(iconv -f cp1252 -t utf-8 "$folder/trace.txt" | tail -3)"
    fi
done

[ "$failures" -eq 0 ] && echo "Paquet : tout est bon." || { echo "Paquet : $failures échec(s)."; exit 1; }
