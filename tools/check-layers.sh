#!/usr/bin/env bash
# Checks the layers the build keeps apart, and the formatting:
#  1. the core library (zento_core) is compiled without Qt Widgets or Qt Gui:
#     none of its sources sees their include folders;
#  2. no file under core/ includes a Qt Widgets or Qt Gui header, or a header
#     of a window folder;
#  3. every C++ file of the repository matches .clang-format;
#  4. no SQL text and no sqlite3_ call outside core/store/, in the core or
#     the window folders (the tools, tests and benchmarks build their stores
#     themselves);
#  5. a window folder includes another window folder's header only where the
#     README's list of typed calls between window folders allows it;
#  6. paper/ (the printed pages, linked by the command-line export without
#     Qt Widgets) includes no window folder's header and no Qt Widgets header.
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

# 4. SQL outside the store layer: a call of the SQLite library, or a string
# literal holding an SQL keyword, on a line that is not a comment.
mapfile -t rooms < <(git ls-files -- core app $(tr '|' ' ' <<<"$window_rooms") |
    grep -E '\.(cpp|h)$' | grep -v '^core/store/')
if [ "${#rooms[@]}" -gt 0 ]; then
    sql=$(grep -nE '\bsqlite3_[a-z]|"([^"\\]|\\.)*\b(SELECT|INSERT|UPDATE|DELETE|REPLACE|CREATE|DROP|ALTER|PRAGMA|BEGIN|COMMIT|ROLLBACK|SAVEPOINT|RELEASE|VACUUM|ATTACH|DETACH|EXPLAIN|FROM|WHERE|VALUES)\b' \
        "${rooms[@]}" | grep -vE '^[^:]+:[0-9]+:[[:space:]]*//' || true)
    if [ -n "$sql" ]; then
        fail "SQL outside core/store/ (put the text in core/store/queries.*, run it with Statement):"
        echo "$sql" >&2
    fi
fi

# 5. Includes between window folders, against the README's list.
declare -A allowed=()
while IFS= read -r entry; do
    mapfile -t quoted < <(grep -oE '`[^`]+`' <<<"$entry" | tr -d '`')
    from=""
    for q in "${quoted[@]}"; do
        [[ "$q" == */ ]] && from+=" ${q%/}"
    done
    for q in "${quoted[@]}"; do
        [[ "$q" == *.h ]] || continue
        allowed[$q]="${from:- *}"
        [ -e "$q" ] || fail "README lists $q between window folders, but it does not exist"
    done
done < <(sed -n '/<!-- window-includes -->/,/<!-- \/window-includes -->/p' README.md |
    awk '/^- /{if (e) print e; e=$0; next} /^  /{e=e" "$0} END{if (e) print e}')
[ "${#allowed[@]}" -gt 0 ] || fail "README.md has no list of the typed calls between window folders"
while IFS=: read -r file line text; do
    header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$text")
    room=${file%%/*}
    target=${header%%/*}
    [ "$room" = "$target" ] && continue
    case " ${allowed[$header]:-} " in
    *" * "* | *" $room "*) ;;
    *) fail "$file:$line includes $header, which the README does not list for $room/" ;;
    esac
done < <(git ls-files -- $(tr '|' ' ' <<<"$window_rooms") | grep -E '\.(cpp|h)$' |
    xargs grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"('"$window_rooms"')/' || true)

# 6. What paper/ includes.
while IFS=: read -r file line text; do
    header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$text")
    if [[ "$header" =~ ^($window_rooms)/ ]]; then
        fail "$file:$line includes the window header $header"
    elif [[ "$header" == QtWidgets/* ]] ||
        { [[ "$header" =~ ^Q[A-Za-z0-9]*$ ]] && [ -e "$qt_headers/QtWidgets/$header" ]; }; then
        fail "$file:$line includes $header, a Qt Widgets header"
    fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' paper --include='*.h' --include='*.cpp')

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "check-layers: layers, SQL, window includes and formatting are clean"
