# Shared by the load-test runners (sourced): tool checks and time reports.

# require_tools TOOL...: a path must be an executable (built), a name a command.
require_tools() {
  local tool
  for tool in "$@"; do
    if [[ $tool == */* ]]; then
      [ -x "$tool" ] || { echo "$0: $tool is missing; build first" >&2; exit 1; }
    else
      command -v "$tool" >/dev/null || { echo "$0: $tool is needed" >&2; exit 1; }
    fi
  done
}

# time_report FILE: "wall time W, peak memory (max RSS) R kB" from /usr/bin/time -v output.
time_report() {
  local wall rss
  wall=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$1")
  rss=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$1")
  echo "wall time $wall, peak memory (max RSS) $rss kB"
}
