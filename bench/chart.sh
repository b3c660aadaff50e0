#!/usr/bin/env bash
# Draws the benchmark table as a chart: per case, the ratio of the library's median CPU time
# to raw libtiff's, coloured by whether it meets the case's target, which is marked.
#
#   bench/chart.sh BENCH.json OUT.svg
#
# BENCH.json is the output of orvex_bench --benchmark_out (scripts/bench.sh keeps it in
# build-bench/bench.json). Needs jq and gnuplot (Debian's jq and gnuplot-nox).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
json="${1:?usage: bench/chart.sh BENCH.json OUT.svg}"
out="${2:?usage: bench/chart.sh BENCH.json OUT.svg}"
ORVEX_EXTRA_PACKAGES="jq gnuplot-nox" "$root/scripts/install-deps.sh"

data="$(mktemp)"
trap 'rm -f "$data"' EXIT
# One line per case that both sides ran, in the benchmark's order: name, ratio, target. The
# medians of repeated runs are used; a run without repetitions has its single result instead.
jq -r '
  [.benchmarks[] | select(.error_occurred | not)
   | select(.aggregate_name == "median" or (.run_type == "iteration" and .repetitions <= 1))
   | {side: (.run_name | split("/")[0]), case: (.run_name | split("/")[1]),
      order: .family_index, time: .cpu_time, target: .target}]
  | group_by(.case)
  | map(select(map(.side) | sort == ["library", "libtiff"]))
  | sort_by(map(.order) | min)[]
  | (map(select(.side == "library"))[0]) as $library
  | (map(select(.side == "libtiff"))[0]) as $libtiff
  | [$library.case, ($library.time / $libtiff.time), $library.target] | @tsv
' "$json" >"$data"
if [ ! -s "$data" ]; then
  echo "No case with both sides in $json" >&2
  exit 1
fi

# Horizontal bars, one per case from top to bottom, so the case names need no rotation.
gnuplot <<GNUPLOT
set terminal svg size 960,560 dynamic noenhanced font "sans,12" background rgb "white"
set output "$out"
set datafile separator "\t"
set title "Library time / raw libtiff time, median CPU time per case (shorter is better)"
set xlabel "ratio"
set xrange [0:*]
set yrange [-0.7:*] reverse
set grid xtics
set key outside bottom center horizontal
set style fill solid 0.85 border rgb "black"
set ytics nomirror
set lmargin 22
# Parity with libtiff.
set arrow from first 1, graph 0 to first 1, graph 1 nohead dt 2 lc rgb "gray40"
plot "$data" using (\$2 / 2):0:(\$2 / 2):(0.3):((\$2 <= \$3) ? 0x2E8B57 : 0xD62728):ytic(1) \
       with boxxyerror lc rgb variable title "library / libtiff (green: target met, red: missed)", \
     "$data" using 3:(\$0 - 0.4):(0):(0.8) with vectors nohead lw 3 lc rgb "black" title "target", \
     "$data" using 2:0:(sprintf(" %.2f", \$2)) with labels left offset 0.5,0 notitle
GNUPLOT
echo "wrote $out"
