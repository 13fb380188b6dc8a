#!/bin/bash
# Whole-process benchmark: quorrel-cli against cat (and peers, when installed) on corpora made
# in a temporary folder. Prints one table of medians and ratios; the last line states the
# ratio of converting a 1 GiB WordPerfect 6 document to text against copying it with cat.
# Usage: scripts/bench.sh BUILD_DIR   (a Release build with the tools and quorrel-cli)
set -euo pipefail

build=${1:?usage: bench.sh BUILD_DIR}
build=$(cd "$build" && pwd)
cli=$build/src/quorrel-cli
make_document=$build/tools/quorrel-make-document
runs=${RUNS:-3}
big_size=${BIG_SIZE:-1G}
batch_files=${BATCH_FILES:-2000}

work=$(mktemp -d "${TMPDIR:-/tmp}/quorrel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
# Median wall time in seconds of running "$@" $runs times.
median_seconds() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(now)
    "$@" >/dev/null 2>&1
    end=$(now)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -g |
    awk '{ t[NR] = $1 } END { printf "%.3f\n", t[int((NR + 1) / 2)] }'
}
# Peak resident memory in KiB of one run of "$@".
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
row() { printf '%-46s %12s %12s %10s\n' "$@"; }

echo "Making corpora in $work ..."
"$make_document" wpd text_heavy "$big_size" 1 "$work/big.wpd"
mkdir -p "$work/batch"
formats=(wpd w51 wp any)
for i in $(seq "$batch_files"); do
  format=${formats[$((i % 4))]}
  "$make_document" "$format" text_heavy 20K "$i" "$work/batch/doc$i.$format"
done

echo
row "measure" "median s" "reference s" "ratio"
row "-------" "--------" "-----------" "-----"

copy_time=$(median_seconds sh -c "cat '$work/big.wpd' > '$work/copy'")
rm -f "$work/copy"
convert_time=$(median_seconds "$cli" --wpd --txt "$work/big.wpd")
row "$big_size wpd to txt, against cat" "$convert_time" "$copy_time" "$(ratio "$convert_time" "$copy_time")"

if [ -x /usr/bin/time ]; then
  rss=$(peak_kib "$cli" --wpd --txt "$work/big.wpd")
  row "$big_size wpd to txt, peak memory (MiB)" "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "" ""
else
  echo "(peak memory not measured: /usr/bin/time is missing; apt-get install time)"
fi

batch_time=$(median_seconds sh -c "cd '$work/batch' && '$cli' --txt --html --sxw *.wpd *.w51 *.wp *.any")
files_per_second=$(awk -v n="$batch_files" -v t="$batch_time" 'BEGIN { printf "%.0f", n / t }')
row "batch: $batch_files files x 3 outputs" "$batch_time" "" ""
row "batch: input files per second" "$files_per_second" "" ""

# Peers, side by side when installed; nothing is installed here.
if command -v wpd2text >/dev/null 2>&1; then
  peer_file=$(median_seconds sh -c "wpd2text '$work/big.wpd' > '$work/peer.txt'")
  row "peer wpd2text, $big_size wpd file" "$peer_file" "$convert_time" "$(ratio "$convert_time" "$peer_file")"
  peer_batch=$(median_seconds sh -c "for f in '$work'/batch/*.wpd; do wpd2text \"\$f\" > /dev/null; done")
  ours_batch=$(median_seconds sh -c "cd '$work/batch' && '$cli' --txt *.wpd")
  row "peer wpd2text, batch of wpd files" "$peer_batch" "$ours_batch" "$(ratio "$ours_batch" "$peer_batch")"
else
  echo "(peer wpd2text skipped: not installed; Debian package libwpd-tools)"
fi
if command -v soffice >/dev/null 2>&1; then
  mkdir -p "$work/soffice"
  sample=$(ls "$work"/batch/*.wpd | head -n 20)
  profile="-env:UserInstallation=file://$work/profile"
  # shellcheck disable=SC2086
  saved_runs=$runs
  runs=1  # one start of the office suite takes seconds
  peer_batch=$(median_seconds soffice "$profile" --headless --convert-to txt --outdir "$work/soffice" $sample)
  runs=$saved_runs
  # shellcheck disable=SC2086
  ours_batch=$(median_seconds "$cli" --txt $sample)
  row "peer soffice, 20 wpd files to txt" "$peer_batch" "$ours_batch" "$(ratio "$ours_batch" "$peer_batch")"
else
  echo "(peer soffice skipped: not installed; Debian package libreoffice-writer-nogui)"
fi

echo
echo "$big_size WordPerfect 6 document to text, quorrel-cli against cat: ratio $(ratio "$convert_time" "$copy_time")"
