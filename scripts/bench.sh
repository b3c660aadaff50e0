#!/usr/bin/env bash
# Benchmarks of the library against raw libtiff; bench/README.md explains the cases and
# targets and holds the last results.
#
#   scripts/bench.sh [FLAGS]        build in Release, time every case, print the table
#                                   (FLAGS go to the benchmark, e.g. --benchmark_filter=jpeg)
#   scripts/bench.sh scale [SIZE]   write and read back a SIZE x SIZE RGB 8-bit image through
#                                   the library (default 65536: 12 GiB raw, BigTIFF)
#   scripts/bench.sh chart          draw bench/chart.svg from the last run's JSON
#   scripts/bench.sh blocks [RUNS]  read whole pictures through the C interface's block read
#                                   against raw libtiff decoding every strip into one buffer
#                                   (images kept in $ORVEX_BENCH_IMAGES_DIR, default
#                                   build-bench/images)
#   scripts/bench.sh orient [RUNS]  every orientation at 1, 8 and 16 bits and palettes to RGB,
#                                   uncompressed, against raw libtiff's read alone, the read
#                                   plus the simplest loop doing the same transform, and the
#                                   read plus the library's clears of strip and row
#                                   (images kept in $ORVEX_BENCH_IMAGES_DIR/orient, default
#                                   build-bench/images/orient)
#   scripts/bench.sh pages [N...]   select every directory of files of N pages (default 1000,
#                                   10000, 65535) forward, backward and shuffled against libtiff,
#                                   then time `orvex info` on the largest file
#   scripts/bench.sh proof [RUNS]   time `orvex preview` of CMYK jobs with spot colours (the
#                                   proof, the plate view, --compression best) and its peak
#                                   memory (jobs kept in $ORVEX_BENCH_IMAGES_DIR)
#
# Build folder ./build-bench (or $ORVEX_BENCH_BUILD_DIR), built with $ORVEX_JOBS jobs
# (default 2). Each case is repeated $ORVEX_BENCH_REPETITIONS times (default 5) and the table
# quotes the medians. The JSON of the last run is build-bench/bench.json. The scale run
# writes its file in $ORVEX_BENCH_SCALE_DIR (default the temporary folder) and removes it; the
# pages run keeps its files in $ORVEX_BENCH_PAGES_DIR (default build-bench/pages) for later runs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ORVEX_BENCH_BUILD_DIR:-$root/build-bench}"

build_bench() {
  ORVEX_EXTRA_PACKAGES="libbenchmark-dev" "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_BENCH=ON \
    -DORVEX_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --parallel "${ORVEX_JOBS:-2}" --target orvex_bench orvex_bench_scale \
    orvex_bench_pages orvex_bench_blocks orvex_bench_proof orvex_bench_orient orvex_cli \
    >/dev/null
}

machine_note() {
  local cpu
  cpu="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
  echo "machine: $(nproc) cores, $cpu; load average $(cut -d' ' -f1-3 /proc/loadavg)"
}

# The file is LZW of smooth content, a fraction of the raw size; the raw size is asked for
# anyway, so that a run never fills the disk.
check_free_space() {
  local folder="$1" size="$2" needed available
  needed=$((size * size * 3 / 1024))
  available="$(df -Pk "$folder" | awk 'NR == 2 { print $4 }')"
  if [ "$available" -lt "$needed" ]; then
    echo "Not enough free space in $folder: $((available / 1048576)) GiB free," \
      "$((needed / 1048576)) GiB wanted" >&2
    exit 1
  fi
}

case "${1:-}" in
  scale)
    size="${2:-65536}"
    folder="${ORVEX_BENCH_SCALE_DIR:-${TMPDIR:-/tmp}}"
    check_free_space "$folder" "$size"
    build_bench
    machine_note
    echo "| image | raw | file (of raw) | write | write peak | read | read peak | rows match |"
    echo "| ----- | --: | ------------: | ----: | ---------: | ---: | --------: | ---------- |"
    "$build/bin/orvex_bench_scale" "$folder" "$size"
    ;;
  chart)
    "$root/bench/chart.sh" "$build/bench.json" "$root/bench/chart.svg"
    ;;
  pages)
    shift
    folder="${ORVEX_BENCH_PAGES_DIR:-$build/pages}"
    mkdir -p "$folder"
    build_bench
    machine_note
    status=0
    "$build/bin/orvex_bench_pages" "$folder" "$@" || status=$?
    largest="$(ls -S "$folder"/pages-*.tif | head -n 1)"
    TIMEFORMAT="orvex info $(basename "$largest"): %R s"
    { time "$build/bin/orvex" info "$largest" >/dev/null; } 2>&1
    exit "$status"
    ;;
  blocks)
    folder="${ORVEX_BENCH_IMAGES_DIR:-$build/images}"
    mkdir -p "$folder"
    build_bench
    machine_note
    "$build/bin/orvex_bench_blocks" "$folder" "${2:-9}"
    ;;
  proof)
    folder="${ORVEX_BENCH_IMAGES_DIR:-$build/images}"
    mkdir -p "$folder"
    build_bench
    machine_note
    "$build/bin/orvex_bench_proof" "$build/bin/orvex" "$folder" "${2:-5}"
    ;;
  orient)
    folder="${ORVEX_BENCH_IMAGES_DIR:-$build/images}/orient"
    build_bench
    machine_note
    "$build/bin/orvex_bench_orient" "$folder" "${2:-21}"
    ;;
  *)
    build_bench
    "$build/bin/orvex_bench" --benchmark_repetitions="${ORVEX_BENCH_REPETITIONS:-5}" \
      --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true \
      --benchmark_out="$build/bench.json" --benchmark_out_format=json "$@"
    machine_note
    ;;
esac
