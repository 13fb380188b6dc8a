#!/bin/sh
# Runs every fuzz target of a fuzz build for a fixed time, two at a time, starting from the
# corpus that the project's own generators write. Any finding fails the run; the input that
# caused it is kept in BUILD_DIR/artifacts/.
# Usage: fuzz-smoke.sh BUILD_DIR SECONDS_PER_TARGET [JOBS]
set -eu

# One target (the script calls itself through xargs): one line with its executions, or the
# end of its log and a failure.
if [ "$1" = "--one" ]; then
  build=$2 seconds=$3 target=$4
  log="$build/fuzz-logs/$target.log"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$build/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $target: $runs runs in ${seconds}s, nothing found"
    exit 0
  fi
  tail -n 60 "$log" >&2
  echo "fuzz: $target: FAILED, the input is kept in $build/artifacts/" >&2
  exit 1
fi

build=$(cd "$1" && pwd)
seconds=$2
jobs=${3:-2}
mkdir -p "$build/corpus" "$build/fuzz-logs" "$build/artifacts"
"$build/fuzz/quorrel-make-fuzz-corpus" "$build/corpus"
# shellcheck disable=SC2046
ls "$build/corpus" | xargs -P "$jobs" -n 1 sh "$0" --one "$build" "$seconds"
