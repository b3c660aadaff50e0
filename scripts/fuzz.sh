#!/usr/bin/env bash
# Builds and runs the libFuzzer targets of fuzz/ (clang 14, AddressSanitizer, UBSan).
#
#   scripts/fuzz.sh build                   build the targets in ./build-fuzz
#   scripts/fuzz.sh replay                  run every file of fuzz/corpus, fuzz/regressions
#                                           and tests/data (hostile/ included) through the
#                                           targets once
#   scripts/fuzz.sh ci                      build, replay, then fuzz each target for
#                                           $ORVEX_FUZZ_CI_SECONDS (default 60) seconds
#   scripts/fuzz.sh long SECONDS [TARGET]   fuzz each target (or one) for SECONDS, one after
#                                           the other; new inputs go to build-fuzz/work/TARGET
#   scripts/fuzz.sh merge                   minimise fuzz/corpus/TARGET together with what the
#                                           long runs found
#
# The build folder is ./build-fuzz (or $ORVEX_FUZZ_BUILD_DIR). Any crash, leak, sanitizer
# report, timeout or out-of-memory stops the run with a non-zero status and leaves the input
# in build-fuzz/artifacts/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORVEX_FUZZ_BUILD_DIR:-$root/build-fuzz}"
targets=(fuzz_reader fuzz_psd)
# One input may take a few seconds at most. The library caps what a file can make it allocate
# (1 GiB for the strip or tile cache, 256 MiB for a row, 256 MiB for one allocation inside
# libtiff), so a single allocation above 1100 MB is a finding; the RSS limit leaves room for
# ASan's shadow memory and quarantine on top of those.
common_options=(-timeout=10 -rss_limit_mb=2560 -malloc_limit_mb=1100 -print_final_stats=1)

dictionary_of() {
  case "$1" in
    fuzz_reader) echo "$root/fuzz/tiff.dict" ;;
    fuzz_psd) echo "$root/fuzz/psd.dict" ;;
  esac
}

max_len_of() {
  case "$1" in
    fuzz_reader) echo 65536 ;;
    fuzz_psd) echo 8192 ;;
  esac
}

corpus_of() {
  echo "$root/fuzz/corpus/${1#fuzz_}"
}

build_targets() {
  ORVEX_EXTRA_PACKAGES="clang-14 libclang-rt-14-dev" "$root/scripts/install-deps.sh"
  local flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -g"
  CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVEX_BUILD_FUZZ=ON -DORVEX_BUILD_TESTS=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  cmake --build "$build" --parallel "${ORVEX_JOBS:-2}" --target "${targets[@]}"
}

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

prepare_run_folders() {
  mkdir -p "$build/artifacts" "$build/tmp"
  # The library logs its errors to Orvex.log in the temporary folder: keep that out of /tmp.
  export TMPDIR="$build/tmp"
}

regressions_of() {
  echo "$root/fuzz/regressions/${1#fuzz_}"
}

replay_inputs_of() {
  local folder
  for folder in "$(corpus_of "$1")" "$(regressions_of "$1")"; do
    if [ -d "$folder" ]; then
      find "$folder" -type f
    fi
  done
  if [ "$1" = fuzz_reader ]; then
    find "$root/tests/data" -type f \( -name '*.tif' -o -name '*.tiff' \)
  fi
}

replay() {
  prepare_run_folders
  local target inputs
  for target in "${targets[@]}"; do
    mapfile -t inputs < <(replay_inputs_of "$target" | sort)
    # Without inputs libFuzzer would start fuzzing instead.
    [ ${#inputs[@]} -gt 0 ] || continue
    echo "== replay: $target, ${#inputs[@]} inputs"
    "$build/bin/$target" "${common_options[@]}" -artifact_prefix="$build/artifacts/$target-" \
      "${inputs[@]}" >"$build/replay-$target.log" 2>&1 || {
      tail -n 60 "$build/replay-$target.log" >&2
      exit 1
    }
  done
}

# Fuzzes one target, starting from the kept corpus; new inputs are written to a work folder
# so the repository's corpus changes only through `merge`.
fuzz_target() {
  local target="$1" seconds="$2"
  prepare_run_folders
  local work="$build/work/$target"
  mkdir -p "$work"
  echo "== fuzzing $target for $seconds s"
  "$build/bin/$target" "${common_options[@]}" -max_total_time="$seconds" \
    -max_len="$(max_len_of "$target")" -dict="$(dictionary_of "$target")" \
    -artifact_prefix="$build/artifacts/$target-" \
    "$work" "$(corpus_of "$target")"
}

merge() {
  local target kept fresh
  for target in "${targets[@]}"; do
    kept="$(corpus_of "$target")"
    fresh="$build/merged/$target"
    rm -rf "$fresh"
    mkdir -p "$fresh" "$build/work/$target"
    "$build/bin/$target" "${common_options[@]}" -merge=1 -max_len="$(max_len_of "$target")" \
      "$fresh" "$kept" "$build/work/$target"
    rm -rf "$kept"
    mv "$fresh" "$kept"
  done
}

case "${1:-}" in
  build)
    build_targets
    ;;
  replay)
    replay
    ;;
  ci)
    build_targets
    replay
    for target in "${targets[@]}"; do
      fuzz_target "$target" "${ORVEX_FUZZ_CI_SECONDS:-60}"
    done
    ;;
  long)
    seconds="${2:?usage: scripts/fuzz.sh long SECONDS [TARGET]}"
    for target in "${targets[@]}"; do
      if [ -z "${3:-}" ] || [ "$3" = "$target" ]; then
        fuzz_target "$target" "$seconds"
      fi
    done
    ;;
  merge)
    merge
    ;;
  *)
    sed -n "2,17p" "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
    ;;
esac
