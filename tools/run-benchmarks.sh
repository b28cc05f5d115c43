#!/usr/bin/env bash
# Makes the benchmark stores once (cached in the build folder), runs every
# benchmark on them, then times the start-up from outside the process against
# an empty window, offscreen and under Xvfb, on the table-sized, the heavy and
# the ten times heavier store, every launch on processor 0 (and the X server,
# where there is a second processor, on that one, so that the two never
# wait for each other's turn).
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$build/bench/zento-benchstores"
for bench in "$build"/bench/bench_*; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue  # not the automoc folders
  echo "== $(basename "$bench")"
  "$bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_min_time=0.2 --benchmark_counters_tabular=true
done
stores="$build/bench-stores"
server_cpu=()
if [ "$(nproc)" -ge 2 ]; then
  server_cpu=(taskset -c 1)
fi
for store in table heavy heavy10; do
  [ -f "$stores/$store.dll" ] || continue
  echo "== start-up, $store store, offscreen"
  QT_QPA_PLATFORM=offscreen python3 tools/measure-startup.py --cpu 0 "$build/bench/zento-startprobe" "$stores/$store.dll"
  echo "== start-up, $store store, Xvfb"
  QT_QPA_PLATFORM=xcb "${server_cpu[@]}" xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    python3 tools/measure-startup.py --cpu 0 "$build/bench/zento-startprobe" "$stores/$store.dll"
done
