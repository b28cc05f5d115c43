#!/usr/bin/env bash
# The Debian package as a user gets it: made from the build tree, unpacked
# into a scratch root, its desktop files checked, and the installed program
# started there with a new home folder. The program must make the data
# folder, fill it with the ready store (every official food) and the help,
# and show its main window.
#   tools/test-package.sh BUILD_DIR APP_ID
set -euo pipefail
build=$(realpath "$1")
app_id=$2
scratch=$(mktemp -d)
cleanup() { rm -rf "$scratch"; }
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# 1. The package.
(cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack could not make the package"; }
deb=$(ls "$scratch"/out/zento_*.deb)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root

for file in usr/bin/zento usr/bin/zento-makedb \
  usr/share/zento/zento.dll usr/share/zento/zento.hlp \
  "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml" \
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
  "usr/share/icons/hicolor/48x48/apps/$app_id.png" \
  "usr/share/icons/hicolor/256x256/apps/$app_id.png" \
  usr/share/man/man1/zento.1.gz usr/share/man/man1/zento-makedb.1.gz \
  usr/bin/zento-export usr/share/man/man1/zento-export.1.gz \
  usr/share/doc/zento/copyright usr/share/doc/zento/changelog.Debian.gz; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done
[ -x "$root/usr/bin/zento" ] || fail "/usr/bin/zento is not executable"
module=$(ls "$root"/usr/lib/*/zento/libzento_workbook.so 2>/dev/null | head -1)
[ -n "$module" ] || fail "the package lacks the workbook module"
[ -f "$(dirname "$module")/libzento_print.so" ] || fail "the package lacks the print preview module"
dpkg-deb -f "$deb" Depends | grep -q 'qt6-qpa-plugins' || fail "Depends lacks the Qt platform plugins"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" ||
  fail "desktop-file-validate refuses the menu entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >"$scratch/as.log" 2>&1 ||
  { cat "$scratch/as.log"; fail "appstreamcli refuses the metainfo"; }
for manual in zento zento-makedb zento-export; do
  # man's own checks: the page must format without a warning.
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$manual.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $manual: $warnings"
done

# 2. The first start, from a folder without a store, with a new home folder,
# on a display of its own: the main window "ゼント" must be mapped.
home=$scratch/home
mkdir -p "$home" "$scratch/elsewhere"
data=$home/.local/share/zento
cd "$scratch/elsewhere"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  env -i HOME="$1" PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" \
    "$2" >"$3" 2>&1 &
  pid=$!
  for _ in $(seq 1 300); do
    if xwininfo -name "ゼント" 2>/dev/null | grep -q "Map State: IsViewable"; then
      kill $pid; wait $pid 2>/dev/null; exit 0
    fi
    kill -0 $pid 2>/dev/null || exit 1
    sleep 0.1
  done
  kill $pid; exit 1
' _ "$home" "$root/usr/bin/zento" "$scratch/zento.log" ||
  { cat "$scratch/zento.log"; fail "the main window did not show"; }

[ -d "$data" ] || fail "the data folder $data was not made"
[ -f "$data/zento.dll" ] || fail "no store in the data folder"
cmp -s "$data/zento.hlp" "$root/usr/share/zento/zento.hlp" || fail "the help was not copied"
[ ! -e "$scratch/elsewhere/zento.dll" ] || fail "a store was made in the folder it was started in"
foods=$(sqlite3 "file:$data/zento.dll?mode=ro" 'SELECT count(*) FROM eys')
[ "$foods" = 2538 ] || fail "the user's store holds $foods foods, not 2538"

# 3. A wrong argument is refused before anything is made.
status=0
env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  timeout 20 "$root/usr/bin/zento" --data-dir "$scratch/second" --bogus >"$scratch/bad.log" 2>&1 ||
  status=$?
[ "$status" = 2 ] || fail "a stray argument ended the program with status $status, not 2"
grep -q 'bogus' "$scratch/bad.log" || fail "a stray argument got no message"
[ ! -e "$scratch/second" ] || fail "a refused start made a folder"

# 4. The database tool refreshes the user's store from the installed one
# and keeps the user's dishes.
sqlite3 "$data/zento.dll" "INSERT INTO mnu(アイテム名) VALUES ('自分の料理')"
out=$("$root/usr/bin/zento-makedb" --refresh "$data/zento.dll")
echo "$out" | grep -q '2538 件を更新' || fail "zento-makedb --refresh: $out"
dishes=$(sqlite3 "file:$data/zento.dll?mode=ro" "SELECT count(*) FROM mnu WHERE アイテム名='自分の料理'")
[ "$dishes" = 1 ] || fail "the refresh lost the user's dish"

# 5. The installed export tool writes a workbook through the installed
# workbook module (not the build tree's).
env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen LD_DEBUG=files \
  "$root/usr/bin/zento-export" --store "$data/zento.dll" --format xlsx --dish 自分の料理 \
  --output "$scratch/dish.xlsx" >"$scratch/export.log" 2>&1 ||
  { grep -v '^ *[0-9]*:' "$scratch/export.log"; fail "the installed zento-export could not write a workbook"; }
grep -q "file=$module" "$scratch/export.log" ||
  fail "zento-export did not load the installed workbook module"
[ -s "$scratch/dish.xlsx" ] || fail "no workbook was written"
echo "package test passed"
