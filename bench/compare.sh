#!/usr/bin/env bash
# Runs every benchmark against its reference point in one go and prints the
# ratios with their targets.
#
#   bench/compare.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/bench (the `bench` preset, configured and built
# here when needed). RUNS (default 7) sets the runs of every reference and
# the repetitions of every benchmark; each figure is the best (references and
# throughput) or the median (times) of those. Raw results go to
# BUILD_DIR/bench-results, the inputs to BUILD_DIR/bench-inputs.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
runs=${RUNS:-7}
inputs=$build/bench-inputs
results=$build/bench-results

say() { printf '%s\n' "$*" >&2; }

# The reference decoder: ncompress's compress and uncompress.
if ! command -v compress >/dev/null || ! command -v uncompress >/dev/null; then
  say "installing ncompress"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends ncompress
fi

# Build the benchmark programs.
if [ ! -f "$build/CMakeCache.txt" ]; then
  if [ "$build" = "$root/build/bench" ]; then
    (cd "$root" && cmake --preset bench >/dev/null)
  else
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONALYT_BENCH=ON \
      -DSONALYT_TESTS=OFF >/dev/null
  fi
fi
cmake --build "$build" --target make_bench_recordings bench_recording bench_session_memory \
  bench_analysis bench_gui bench_open_once >/dev/null
bin=$build/bench

# Inputs, made with the project's recording writer.
mkdir -p "$inputs" "$results"
"$bin/make_bench_recordings" "$inputs"
compress -b 12 -c "$inputs/decoded-1000.bin" >"$inputs/decoded-1000.Z" || [ $? -eq 2 ]
uncompress -c "$inputs/decoded-1000.Z" | cmp -s - "$inputs/decoded-1000.bin" ||
  { say "uncompress does not give back the decoded records"; exit 1; }

# Wall-clock nanoseconds of each of `runs` runs of a command (stdout to
# /dev/null), one a line, after one warm-up run that fills the page cache.
times_ns() {
  "$@" >/dev/null
  if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 1 --runs "$runs" --export-json "$results/hyperfine.json" \
      --output=null "$(printf '%q ' "$@")" >/dev/null
    python3 -c 'import json,sys; [print(int(t*1e9)) for t in json.load(open(sys.argv[1]))["results"][0]["times"]]' \
      "$results/hyperfine.json"
  else
    for _ in $(seq "$runs"); do
      local start end
      start=$(date +%s%N)
      "$@" >/dev/null
      end=$(date +%s%N)
      echo $((end - start))
    done
  fi
}

say "references: uncompress, cat"
times_ns uncompress -c "$inputs/decoded-1000.Z" >"$results/uncompress.ns"
times_ns cat "$inputs/1h.dat" >"$results/cat-1h.ns"
times_ns cat "$inputs/10h.dat" >"$results/cat-10h.ns"
times_ns cat /dev/null >"$results/cat-empty.ns"

# Opening as a whole process against `cat`, for a short and a long
# recording, the four commands in turn `runs` times (after one warm-up
# round), so that a drift of the machine's speed hits them alike. The
# increase from the short to the long recording cancels the start-up.
say "opening as a whole process: 1 minute, 10 hours, against cat"
open_rounds() {
  local names=(open-1min cat-1min open-10h cat-10h)
  local commands=("$bin/bench_open_once $inputs/1min.dat" "cat $inputs/1min.dat"
                  "$bin/bench_open_once $inputs/10h.dat" "cat $inputs/10h.dat")
  for name in "${names[@]}"; do : >"$results/$name.ns"; done
  for round in $(seq 0 "$runs"); do
    for i in 0 1 2 3; do
      local start end
      start=$(date +%s%N)
      ${commands[$i]} >/dev/null
      end=$(date +%s%N)
      [ "$round" -eq 0 ] || echo $((end - start)) >>"$results/${names[$i]}.ns"
    done
  done
}
open_rounds

say "benchmarks: decoding, opening"
"$bin/bench_recording" --decode="$inputs/1h.dat" --expect="$inputs/decoded-1000.bin" \
  --open="$inputs/1h.dat" --open="$inputs/10h.dat" \
  --benchmark_repetitions="$runs" --benchmark_out="$results/recording.json" \
  --benchmark_out_format=json >/dev/null

say "whole-recording analysis: 10 hours"
# Repetitions interleaved, so that a change of load hits the pass and its
# reference alike.
"$bin/bench_analysis" --pass="$inputs/10h.dat" --benchmark_repetitions="$runs" \
  --benchmark_enable_random_interleaving=true --benchmark_out="$results/analysis.json" \
  --benchmark_out_format=json >/dev/null

say "memory: 1 minute, 10 hours"
"$bin/bench_session_memory" "$inputs/1min.dat" >"$results/memory-1min.txt"
"$bin/bench_session_memory" "$inputs/10h.dat" >"$results/memory-10h.txt"

say "user interface: jump, playback, report"
QT_QPA_PLATFORM=offscreen "$bin/bench_gui" --recording="$inputs/1h.dat" \
  --benchmark_repetitions="$runs" --benchmark_out="$results/gui.json" \
  --benchmark_out_format=json >/dev/null

python3 - "$results" "$inputs" <<'EOF'
import json, os, statistics, sys

results, inputs = sys.argv[1], sys.argv[2]

def ns(name):
    with open(os.path.join(results, name)) as f:
        return [int(line) for line in f if line.strip()]

def runs(file, name):
    with open(os.path.join(results, file)) as f:
        data = json.load(f)
    return [b for b in data["benchmarks"]
            if b.get("run_type") == "iteration" and b["run_name"].startswith(name)]

def ms(b):
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
    return b["real_time"] * scale

def memory(name):
    with open(os.path.join(results, name)) as f:
        return dict(kv.split("=") for kv in f.read().split())

rows = []
def row(what, measured, reference, ratio, target, ok):
    rows.append((what, measured, reference, ratio, target, "yes" if ok else "NO"))

decoded = os.path.getsize(os.path.join(inputs, "decoded-1000.bin"))
unc_mbs = decoded / (min(ns("uncompress.ns")) * 1e-9) / 1e6
dec = runs("recording.json", "BM_DecodeRecordBody")
dec_mbs = max(b["bytes_per_second"] for b in dec) / 1e6
dec_med = statistics.median(b["bytes_per_second"] for b in dec) / 1e6
r = dec_mbs / unc_mbs
row("decoding, MB/s of output (best; median %.0f)" % dec_med, "%.0f" % dec_mbs,
    "uncompress %.0f" % unc_mbs, "%.2fx" % r, ">= 1.5x", r >= 1.5)

cat_empty = min(ns("cat-empty.ns")) * 1e-6
for label, file in (("1 hour", "1h"), ("10 hours", "10h")):
    cat = min(ns("cat-%s.ns" % file)) * 1e-6
    opens = runs("recording.json", "BM_OpenRecording/%s.dat" % file)
    best = min(ms(b) for b in opens)
    med = statistics.median(ms(b) for b in opens)
    r = best / cat
    row("open %s, ms (best; median %.1f)" % (label, med), "%.1f" % best,
        "cat %.1f (start-up %.1f)" % (cat, cat_empty), "%.2fx" % r, "<= 2x", r <= 2.0)

# Whole processes: the increase from 1 minute to 10 hours, medians.
def med_ms(name):
    return statistics.median(ns(name)) * 1e-6
open_inc = med_ms("open-10h.ns") - med_ms("open-1min.ns")
cat_inc = med_ms("cat-10h.ns") - med_ms("cat-1min.ns")
r = open_inc / cat_inc
row("open as a process, 1 min to 10 h, increase in ms (medians %.1f to %.1f)"
    % (med_ms("open-1min.ns"), med_ms("open-10h.ns")), "%.1f" % open_inc,
    "cat %.1f (%.1f to %.1f)" % (cat_inc, med_ms("cat-1min.ns"), med_ms("cat-10h.ns")),
    "%.2fx" % r, "<= 1.5x", r <= 1.5)

decode_all = runs("analysis.json", "BM_DecodeEveryRecord/10h.dat")
passes = runs("analysis.json", "BM_AnalysisPass/10h.dat")
scanned = runs("analysis.json", "BM_AnalysisPassWithScan/10h.dat")
ref = min(ms(b) for b in decode_all)
best = min(ms(b) for b in passes)
r = best / ref
# Processor time of every thread: what the pass does beyond decoding,
# whatever else runs on the machine.
cpu_pass = min(b["cpu_ms"] for b in passes)
cpu_ref = min(b["cpu_ms"] for b in decode_all)
row("analysis pass 10 hours, ms (best; median %.0f; with its own scan %.0f; "
    "processor time %.0f against %.0f)"
    % (statistics.median(ms(b) for b in passes), min(ms(b) for b in scanned), cpu_pass, cpu_ref),
    "%.0f" % best, "decode only, 1 thread %.0f" % ref, "%.2fx" % r, "<= 0.6x", r <= 0.6)

m1, m10 = memory("memory-1min.txt"), memory("memory-10h.txt")
d = int(m10["peak_kb"]) - int(m1["peak_kb"])
index_kb = 12 * int(m10["records"]) / 1024
row("peak RSS, 10 h minus 1 min, kB", "%d (%s vs %s)" % (d, m10["peak_kb"], m1["peak_kb"]),
    "index %.0f" % index_kb, "%.2fx index" % (d / index_kb), "<= 5120 kB", d <= 5120)

def counter(name, key):
    return statistics.median(b[key] for b in runs("gui.json", name))

jump = counter("BM_RandomJump", "median_us")
row("random jump, us (median; p99 %.0f)" % counter("BM_RandomJump", "p99_us"),
    "%.0f" % jump, "interval 40000", "%.2f%%" % (jump / 400), "< 1000 us", jump < 1000)
step_pct = counter("BM_PlaybackStep", "mean_pct_of_interval")
interval = counter("BM_PlaybackStep", "interval_ms")
row("playback step, %% of interval (mean; slowest %.1f%%)"
    % counter("BM_PlaybackStep", "max_pct_of_interval"),
    "%.2f%%" % step_pct, "interval %.0f ms" % interval,
    "%.0f us a step" % (step_pct * interval * 10), "< 5%", step_pct < 5)
show = statistics.median(ms(b) for b in runs("gui.json", "BM_ReportFormShow"))
row("report FormShow work, ms (median)", "%.2f" % show, "-", "-", "< 50 ms", show < 50)
paint = statistics.median(ms(b) for b in runs("gui.json", "BM_ReportPagePaint"))
row("report page painted at 1:1, ms (median)", "%.2f" % paint, "-", "-", "-", True)
pdf = statistics.median(ms(b) for b in runs("gui.json", "BM_ReportPdfExport"))
row("report PDF export, ms (median)", "%.1f" % pdf, "-", "-", "< 200 ms", pdf < 200)

header = ("what", "measured", "reference", "ratio", "target", "met")
print("| " + " | ".join(header) + " |")
print("|" + "---|" * len(header))
for r in rows:
    print("| " + " | ".join(r) + " |")
EOF
say "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores;" \
  "load average $(cut -d' ' -f1-3 /proc/loadavg); $(date -u '+%Y-%m-%d %H:%M UTC')"
