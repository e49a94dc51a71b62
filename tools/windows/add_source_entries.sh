#!/usr/bin/env bash
# apt-get source needs deb-src entries, which Debian's images leave out:
# adds, once, a deb-src twin of each deb entry apt has, then reads the lists.
set -euo pipefail

if grep -rqsE '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  exit 0
fi
lists=/etc/apt/sources.list.d
one_line=$(sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list 2>/dev/null || true)
[ -z "$one_line" ] || echo "$one_line" >"$lists/couloir-sources.list"
deb822=""
for entries in "$lists"/*.sources; do
  [ -e "$entries" ] || continue
  deb822+="$(sed 's/^Types: deb$/Types: deb-src/' "$entries")"$'\n\n'
done
[ -z "$deb822" ] || printf '%s' "$deb822" >"$lists/couloir-sources.sources"
apt-get update -qq
