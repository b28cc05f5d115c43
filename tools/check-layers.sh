#!/usr/bin/env bash
# Checks the layers the build keeps apart, and the formatting:
#  1. the core library (zento_core) is compiled without Qt Widgets or Qt Gui:
#     none of its sources sees their include folders;
#  2. no file under core/ includes a Qt Widgets or Qt Gui header, or a header
#     of a window folder;
#  3. every C++ file of the repository matches .clang-format.
# Usage: tools/check-layers.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
failed=0

fail() {
    echo "check-layers: $*" >&2
    failed=1
}

# 1. What zento_core is compiled with. Linking Qt6::Widgets or Qt6::Gui would
# put their include folders on the command line of every core source.
commands="$build/compile_commands.json"
if [ ! -f "$commands" ]; then
    fail "$commands is missing; configure the build first"
else
    leaks=$(python3 - "$commands" <<'PY'
import json, sys
for entry in json.load(open(sys.argv[1])):
    command = entry.get("command") or " ".join(entry.get("arguments", []))
    if "/zento_core.dir/" in command and ("QtWidgets" in command or "QtGui" in command):
        print(entry["file"])
PY
)
    if [ -n "$leaks" ]; then
        fail "the core library is compiled against Qt Widgets or Qt Gui:"
        echo "$leaks" >&2
    fi
fi

# 2. What core/ includes.
qt_headers=$(qtpaths6 --query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)
window_rooms='app|dish|nutrition|search|foods|settings|about|export|menu'
while IFS=: read -r file line text; do
    header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$text")
    case "$header" in
    QtWidgets/* | QtGui/*)
        fail "$file:$line includes $header"
        continue
        ;;
    esac
    if [[ "$header" =~ ^($window_rooms)/ ]]; then
        fail "$file:$line includes the window header $header"
    elif [[ "$header" =~ ^Q[A-Za-z0-9]*$ ]] &&
        { [ -e "$qt_headers/QtWidgets/$header" ] || [ -e "$qt_headers/QtGui/$header" ]; }; then
        fail "$file:$line includes $header, a Qt Widgets or Qt Gui header"
    fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' core --include='*.h' --include='*.cpp')

# 3. Formatting of every C++ file.
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${#files[@]}" -gt 0 ]; then
    if ! clang-format --dry-run --Werror "${files[@]}" 2>/dev/null; then
        unformatted=$(for f in "${files[@]}"; do
            clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "  $f"
        done)
        fail "not formatted with .clang-format (clang-format -i FILE):"
        echo "$unformatted" >&2
    fi
fi

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "check-layers: core layers and formatting are clean"
