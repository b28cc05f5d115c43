#!/usr/bin/env bash
# Writes app/startup-order.txt: the program's own functions that the start-up
# runs, as the linker names them, from one run of the start-up probe under
# callgrind (valgrind) on the table-sized benchmark store. The linker places
# them together, so that the first window maps only that part of the code.
# Run it after changes to what the start-up does; a stale list costs memory,
# never correctness.
set -euo pipefail
build=${1:-build}
out=${2:-app/startup-order.txt}
"$build/bench/zento-benchstores" >/dev/null
probe=$(realpath "$build/bench/zento-startprobe")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$build/bench-stores/table.dll" "$dir/zento.dll"
# The first start writes the settings file; a user's starts read it.
(cd "$dir" && QT_QPA_PLATFORM=offscreen "$probe" >/dev/null 2>&1 &&
  QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --demangle=no \
    --callgrind-out-file="$dir/profile" "$probe" >/dev/null 2>&1)
callgrind_annotate --threshold=100 "$dir/profile" |
  grep -F " [$probe]" |
  sed -E 's/^ *[0-9,]+ \([^)]*\) +//; s/ \[.*$//; s/^[^:]*://' |
  grep -E '^(_Z|_GLOBAL__sub_I_|main$)' | sort -u > "$out"
echo "$(wc -l < "$out") functions in $out"
