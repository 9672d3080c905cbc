#!/usr/bin/env bash
# The sanitizer and fuzzing stage of CI, after the normal build and tests:
#  1. every test under AddressSanitizer + UndefinedBehaviorSanitizer (preset asan);
#  2. the playback-thread tests, the whole-recording analysis tests and the
#     recording-file tests (the open scan's two threads) under
#     ThreadSanitizer (preset tsan), building only the test programs that
#     hold them;
#  3. the libFuzzer targets (preset fuzz), each run from its seed corpus for
#     FUZZ_SECONDS (30 by default).
# Every sanitizer stops at its first report, and any report, crash, leak,
# timeout or out-of-memory fails the script. Installs clang when missing.
#
#   tools/run-sanitizers.sh            all three stages
#   tools/run-sanitizers.sh fuzz       only the named stages (asan, tsan, fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${SONALYT_JOBS:-2}
fuzz_seconds=${FUZZ_SECONDS:-30}
# The tests that run threads, by CTest name and by target: the playback
# thread (TDrawWaveThread on its own, the main window playing, pausing and
# rewinding, and playing a damaged recording to its end), the analysis's
# worker pool (passes, cancellation, results read while a pass runs) and the
# open scan's helper (reading ahead, walking parameter areas).
tsan_tests=${TSAN_TESTS:-^(test_app|test_damaged_gui|RecordingAnalysis[.].*|RecordingFileTest[.].*)$}
tsan_targets=(${TSAN_TARGETS:-test_app test_damaged_gui test_analysis test_recording})
stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(asan tsan fuzz)

# clang with its sanitizer and libFuzzer runtimes, as tools/install-deps.sh does it.
packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

stage() { echo; echo "=== $* ==="; }

# ThreadSanitizer needs a fixed memory layout; kernels with many bits of
# address randomisation break it, so its tests run without randomisation
# where the system allows that.
no_aslr=()
if setarch "$(uname -m)" -R true 2>/dev/null; then no_aslr=(setarch "$(uname -m)" -R); fi

for s in "${stages[@]}"; do
  case "$s" in
    asan)
      stage "AddressSanitizer + UndefinedBehaviorSanitizer: all tests"
      cmake --preset asan
      cmake --build --preset asan -j "$jobs"
      ctest --preset asan -j "$jobs"
      ;;
    tsan)
      stage "ThreadSanitizer: playback-thread and analysis tests ($tsan_tests)"
      cmake --preset tsan
      cmake --build --preset tsan -j "$jobs" --target "${tsan_targets[@]}"
      "${no_aslr[@]}" ctest --preset tsan -R "$tsan_tests"
      ;;
    fuzz)
      stage "libFuzzer: ${fuzz_seconds} s per target"
      cmake --preset fuzz
      cmake --build --preset fuzz -j "$jobs" --target sonalyt_fuzzers
      fuzz_dir=build/fuzz/fuzz
      export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
      export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
      for target in record_codec recording_file display; do
        echo "--- fuzz_$target"
        # The display target reads a 218-byte block and a 600-byte frame, no more.
        max_len=()
        [ "$target" = display ] && max_len=(-max_len=818)
        # New inputs go to a working corpus; the seeds stay as the maker wrote them.
        mkdir -p "$fuzz_dir/corpus/$target" "$fuzz_dir/artifacts"
        "$fuzz_dir/fuzz_$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
          -print_final_stats=1 -artifact_prefix="$fuzz_dir/artifacts/$target-" "${max_len[@]}" \
          "$fuzz_dir/corpus/$target" "$fuzz_dir/seeds/$target"
      done
      ;;
    *)
      echo "unknown stage: $s (asan, tsan, fuzz)" >&2
      exit 2
      ;;
  esac
done
echo
echo "Sanitizers and fuzzers: no findings."
