#!/bin/bash
# Whole-process benchmark: quorrel-cli against cat (and peers, when installed) on corpora made
# in a temporary folder. Prints one table of medians and ratios; the last line states the
# ratio of converting a 1 GiB WordPerfect 6 document to text against copying it with cat.
# Usage: scripts/bench.sh BUILD_DIR   (a Release build with the tools and quorrel-cli)
# Settings: RUNS (5), BIG_SIZE (1G), BATCH_FILES (2000), JOBS_FILES (20000: the parallel-jobs
# target), CORPUS (real documents for the peers; default: the shared corpus beside the project,
# skipped when absent).
set -euo pipefail

build=${1:?usage: bench.sh BUILD_DIR}
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
cli=$build/src/quorrel-cli
make_document=$build/tools/quorrel-make-document
runs=${RUNS:-5}
big_size=${BIG_SIZE:-1G}
batch_files=${BATCH_FILES:-2000}
jobs_files=${JOBS_FILES:-20000}
batch_bench=$build/bench/quorrel-batch-bench
corpus=${CORPUS:-$here/../shared/corpus}

work=$(mktemp -d "${TMPDIR:-/tmp}/quorrel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.6f", b - a }'; }
# The median of the times given as arguments.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ t[NR] = $1 } END { printf "%.3f\n", t[int((NR + 1) / 2)] }'
}
# Median wall time in seconds of running "$@" $runs times. Outputs a run leaves behind are
# removed between runs, untimed, so that no run pays for deleting the one before.
clean_up=true
median_seconds() {
  local times=()
  for _ in $(seq "$runs"); do
    local start
    start=$(now)
    "$@" >/dev/null 2>&1 || true
    times+=("$(seconds_since "$start")")
    $clean_up
  done
  median "${times[@]}"
}
# Peak resident memory in KiB of one run of "$@".
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
row() { printf '%-52s %12s %12s %10s\n' "$@"; }
load() { cut -d ' ' -f 1-3 /proc/loadavg; }

echo "Machine: $(nproc) cores; load average (1, 5, 15 min) at start: $(load)"
echo "Making corpora in $work ..."
"$make_document" wpd text_heavy "$big_size" 1 "$work/big.wpd"
mkdir -p "$work/batch"
formats=(wpd w51 wp any)
for i in $(seq "$batch_files"); do
  format=${formats[$((i % 4))]}
  "$make_document" "$format" text_heavy 20K "$i" "$work/batch/doc$i.$format"
done
cat "$work/big.wpd" > /dev/null  # both sides start from the page cache

echo
row "measure" "median s" "reference s" "ratio"
row "-------" "--------" "-----------" "-----"

clean_up="rm -f $work/copy"
copy_time=$(median_seconds sh -c "cat '$work/big.wpd' > '$work/copy'")
clean_up="rm -f $work/big.wpd.txt"
convert_time=$(median_seconds "$cli" --wpd --txt "$work/big.wpd")
clean_up=true
row "$big_size wpd to txt, against cat" "$convert_time" "$copy_time" "$(ratio "$convert_time" "$copy_time")"

if [ -x /usr/bin/time ]; then
  rss=$(peak_kib "$cli" --wpd --txt "$work/big.wpd")
  rm -f "$work/big.wpd.txt"
  row "$big_size wpd to txt, peak memory (MiB)" "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "" ""
else
  echo "(peak memory not measured: /usr/bin/time is missing; apt-get install time)"
fi

# Text and HTML for every file, then all three outputs; the mix of generations is a quarter
# each. Every run converts a fresh folder of hard links to the documents, and nothing is
# deleted until the end: ext4 without a journal (as on some virtual machines) passes over
# inodes freed in the last half minute, or five while their table is unwritten, whenever it
# creates a file, so removing one run's outputs would slow the next run's file creations by
# as much as the conversions themselves take.
# Median wall time of converting the batch with the options after NAME, each run in the folder
# $work/NAME.RUN.
batch_seconds() {
  local name=$1 times=()
  shift
  for i in $(seq "$runs"); do
    local folder=$work/$name.$i start
    mkdir "$folder"
    ln "$work/batch/"* "$folder/"
    start=$(now)
    (cd "$folder" && "$cli" "$@" *.wpd *.w51 *.wp *.any >/dev/null 2>&1) || true
    times+=("$(seconds_since "$start")")
  done
  median "${times[@]}"
}
per_second() { awk -v n="$batch_files" -v t="$1" 'BEGIN { printf "%.0f", n / t }'; }
batch_time=$(batch_seconds text --txt --html)
row "batch: $batch_files files x txt, html" "$batch_time" "" ""
row "batch: input files per second" "$(per_second "$batch_time")" "" ""
sxw_time=$(batch_seconds all --txt --html --sxw)
row "batch: $batch_files files x txt, html, sxw" "$sxw_time" "" ""
row "batch with sxw: input files per second" "$(per_second "$sxw_time")" "" ""
# The same batch once more over its own outputs, every file and archive replaced.
again_time=$(cd "$work/all.$runs" && median_seconds "$cli" --txt --html --sxw *.wpd *.w51 *.wp *.any)
row "  again over its outputs: input files per second" "$(per_second "$again_time")" "" ""

# The batch engine's targets: 20,000 files of about 20 KB into all three outputs, two jobs
# against one (each run into a fresh output folder), and the engine's own cost per file.
# In memory (/dev/shm) where there is one: on a disk, 1.2 GB of outputs a run wait on the
# kernel's writeback, which measures the disk instead of the program.
jobs_work=$work
[ -d /dev/shm ] && [ -w /dev/shm ] && jobs_work=$(mktemp -d /dev/shm/quorrel-jobs.XXXXXX)
"$batch_bench" make "$jobs_work/jobs" "$jobs_files"
# One job and two in turn, so that a machine whose speed drifts meanwhile (a shared virtual
# machine) slows both alike.
jobs_run() {
  local jobs=$1 i=$2 start
  start=$(now)
  "$cli" -q -j "$jobs" -r -o "$jobs_work/jobs-out.$jobs.$i" --txt --html --sxw "$jobs_work/jobs" >/dev/null 2>&1 || true
  seconds_since "$start"
  # Memory is given back at once; on a disk, deleted files would slow the next run.
  if [ "$jobs_work" != "$work" ]; then rm -rf "$jobs_work/jobs-out.$jobs.$i"; fi
}
one_times=() two_times=()
for i in $(seq "$runs"); do
  one_times+=("$(jobs_run 1 "$i")")
  two_times+=("$(jobs_run 2 "$i")")
done
one_job=$(median "${one_times[@]}")
two_jobs=$(median "${two_times[@]}")
rm -rf "$jobs_work"/jobs-out.* "$jobs_work/jobs"
[ "$jobs_work" != "$work" ] && rm -rf "$jobs_work"
row "jobs: $jobs_files files x 3 outputs in $jobs_work, -j 1" "$one_job" "" ""
row "jobs: the same, -j 2 (ratio: speed-up, target >= 1.7)" "$two_jobs" "$one_job" "$(ratio "$one_job" "$two_jobs")"
"$batch_bench" overhead 2000 | while IFS= read -r line; do echo "$line"; done
# The desktop dialog's batch against the command line's (target: at most twice its time).
if [ -x "$build/bench/quorrel-desktop-bench" ]; then
  "$build/bench/quorrel-desktop-bench" 2000 "$cli" 2>/dev/null
else
  echo "(desktop batch skipped: built without the desktop program)"
fi

# Peers, side by side when installed; nothing is installed here. libwpd reads real documents
# only (it wants the index packets that the generated ones leave out), so the peers run on
# the real WordPerfect 6-9 documents of the corpus that they can read.
peer_files=()
if [ -d "$corpus" ] && command -v wpd2text >/dev/null 2>&1; then
  "$make_document" wpd text_heavy 20K 1 "$work/probe.wpd"
  if ! wpd2text "$work/probe.wpd" >/dev/null 2>&1; then
    echo "(wpd2text cannot read the generated documents; the peers run on real documents)"
  fi
  mkdir -p "$work/real"
  for file in "$corpus"/*.wpd "$corpus"/*.wpt; do
    [ -f "$file" ] || continue
    if wpd2text "$file" >/dev/null 2>&1; then
      cp "$file" "$work/real/" && peer_files+=("$work/real/$(basename "$file")")
    fi
  done
fi
if ! command -v wpd2text >/dev/null 2>&1; then
  echo "(peer wpd2text skipped: not installed; Debian package libwpd-tools)"
elif [ "${#peer_files[@]}" -eq 0 ]; then
  echo "(peer wpd2text skipped: no real WordPerfect 6-9 documents in $corpus)"
else
  n=${#peer_files[@]}
  largest=$(ls -S "${peer_files[@]}" | head -n 1)
  peer_file=$(median_seconds sh -c "wpd2text '$largest' > '$work/peer.txt'")
  clean_up="rm -f $largest.txt"
  ours_file=$(median_seconds "$cli" --wpd --txt "$largest")
  clean_up=true
  row "peer wpd2text, largest real file ($(($(stat -c %s "$largest") / 1024)) KiB)" "$ours_file" "$peer_file" "$(ratio "$ours_file" "$peer_file")"
  peer_batch=$(median_seconds sh -c "for f in $work/real/*; do wpd2text \"\$f\" > /dev/null; done")
  ours_each=$(median_seconds sh -c "for f in $work/real/*; do '$cli' --wpd --txt \"\$f\"; done")
  row "peer wpd2text, $n real files, a process each" "$ours_each" "$peer_batch" "$(ratio "$ours_each" "$peer_batch")"
  ours_batch=$(median_seconds "$cli" --wpd --txt "${peer_files[@]}")
  row "  the same, quorrel-cli with all files at once" "$ours_batch" "$peer_batch" "$(ratio "$ours_batch" "$peer_batch")"
fi

# The complete reading against wpd2text on every corpus document wpd2text reads, all
# generations: all three outputs in one quorrel-cli, against one wpd2text per file.
complete_files=()
if [ -d "$corpus" ] && command -v wpd2text >/dev/null 2>&1; then
  mkdir -p "$work/complete"
  for file in "$corpus"/*; do
    [ -f "$file" ] && [ "${file%.md}" = "$file" ] || continue
    if wpd2text "$file" >/dev/null 2>&1; then
      cp "$file" "$work/complete/" && complete_files+=("$work/complete/$(basename "$file")")
    fi
  done
fi
if [ "${#complete_files[@]}" -gt 0 ]; then
  peer_all=$(median_seconds sh -c "for f in $work/complete/*; do wpd2text \"\$f\" > /dev/null; done")
  # wpd2text writes to /dev/null: the like-for-like run writes our outputs into memory
  # (/dev/shm) where there is one. On ext4 the creation of 114 files is most of our time.
  memory_out=$work/complete-out where="the work folder"
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    memory_out=$(mktemp -d /dev/shm/quorrel-bench.XXXXXX) where="memory (/dev/shm)"
  fi
  ours_all=$(median_seconds "$cli" -q --complete --txt --html --sxw -o "$memory_out" "${complete_files[@]}")
  ours_one=$(median_seconds "$cli" -q -j 1 --complete --txt --html --sxw -o "$memory_out" "${complete_files[@]}")
  ours_disk=$(median_seconds "$cli" -q --complete --txt --html --sxw -o "$work/complete-out.disk" "${complete_files[@]}")
  [ "$memory_out" != "$work/complete-out" ] && rm -rf "$memory_out"
  complete_ratio=$(ratio "$ours_all" "$peer_all")
  row "complete reading, ${#complete_files[@]} corpus files, text+HTML+SXW in one process into $where, against wpd2text (target <= 0.1)" "$ours_all" "$peer_all" "$complete_ratio"
  row "  the same with -j 1" "$ours_one" "$peer_all" "$(ratio "$ours_one" "$peer_all")"
  row "  the same into the work folder's file system" "$ours_disk" "$peer_all" "$(ratio "$ours_disk" "$peer_all")"
fi
if command -v /usr/bin/time >/dev/null 2>&1; then
  "$make_document" wpd real "$big_size" 1 "$work/big-real.wpd"
  rss=$(peak_kib "$cli" -q --complete --txt --html --sxw -o "$work/big-real-out" "$work/big-real.wpd")
  row "$big_size real-shaped wpd, complete reading into all three outputs, peak memory (MiB, target <= 16)" "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "" ""
  rm -rf "$work/big-real.wpd" "$work/big-real-out"
fi
if ! command -v soffice >/dev/null 2>&1; then
  echo "(peer soffice skipped: not installed; Debian package libreoffice-writer-nogui)"
elif [ "${#peer_files[@]}" -eq 0 ]; then
  echo "(peer soffice skipped: no real documents that libwpd reads)"
else
  mkdir -p "$work/soffice"
  profile="-env:UserInstallation=file://$work/profile"
  soffice "$profile" --headless --terminate_after_init >/dev/null 2>&1 || true  # first start
  saved_runs=$runs
  runs=1  # one start of the office suite takes seconds
  peer_batch=$(median_seconds soffice "$profile" --headless --convert-to txt --outdir "$work/soffice" "${peer_files[@]}")
  runs=$saved_runs
  converted=$(find "$work/soffice" -type f | wc -l)
  ours_batch=$(median_seconds "$cli" --wpd --txt "${peer_files[@]}")
  row "peer soffice, ${#peer_files[@]} real files in one call ($converted written)" "$ours_batch" "$peer_batch" "$(ratio "$ours_batch" "$peer_batch")"
fi

echo
echo "Load average at the end: $(load). Figures vary between machines and with their load."
echo "$big_size WordPerfect 6 document to text, quorrel-cli against cat: ratio $(ratio "$convert_time" "$copy_time")"
echo "$jobs_files files, -j 2 against -j 1: speed-up $(ratio "$one_job" "$two_jobs")"
[ -n "${complete_ratio:-}" ] && echo "Complete reading of the corpus against wpd2text: ratio $complete_ratio"
