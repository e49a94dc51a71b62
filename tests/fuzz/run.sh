#!/usr/bin/env bash
# Runs every fuzz target of a COULOIR_FUZZ build for SECONDS each, from seed
# corpora made of the sample files. An input that breaks a target is written
# into tests/fuzz/regressions/<target>/, where `make test` replays it.
#
#   tests/fuzz/run.sh FUZZ_BUILD_DIR [SECONDS]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
samples="$root/samples"
corpus="$build/fuzz-corpus"
export COULOIR_COMPONENTS="$build/lib"

seed() {  # seed TARGET FILE [SELECTOR]: a sample file as a first input, after the target's selector byte
  local dir="$corpus/$1" name
  mkdir -p "$dir"
  name=$(basename "$2")
  if [ $# -gt 2 ]; then
    { printf "\\x$(printf %02x "$3")"; cat "$2"; } > "$dir/$3-$name"
  else
    cp "$2" "$dir/$name"
  fi
}

for file in "$samples"/competition/*.txt "$samples"/federation/*.txt "$samples"/performances/*.txt; do
  seed decode_fuzzer "$file"
  seed record_fuzzer "$file"
  seed statement_fuzzer "$file"
done
selector=0
for file in club licence rcomp pcomp categori relais prres engag; do
  seed file_step_fuzzer "$samples/competition/$file.txt" "$selector"
  selector=$((selector + 1))
done
seed file_step_fuzzer "$samples/performances/liffn.txt" 8
for file in "$samples"/codes/iuf_*.txt; do seed code_file_fuzzer "$file"; done

status=0
for target in decode_fuzzer record_fuzzer statement_fuzzer file_step_fuzzer code_file_fuzzer; do
  regressions="$root/tests/fuzz/regressions/$target"
  mkdir -p "$regressions"
  log="$build/fuzz-$target.log"
  "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -artifact_prefix="$regressions/" -print_final_stats=1 "$corpus/$target" > "$log" 2>&1 || status=1
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "$target: ${runs:-?} executions in $seconds s, $(ls "$regressions" | wc -l) kept input(s) in tests/fuzz/regressions/$target"
done
exit $status
