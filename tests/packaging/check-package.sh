#!/usr/bin/env bash
# Installs into a staging folder and checks the files and both validators; then
# builds the Debian package, checks it, and where this runs as root (and
# Tessarin is not installed already) installs it with apt-get, starts tessarin
# from the PATH, and removes it again.
#
#   check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
app_id=example.tessarin.Tessarin

fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
stage=$work/stage/usr
expected=(
  bin/tessarin
  share/applications/$app_id.desktop
  share/metainfo/$app_id.metainfo.xml
)
for size in 16 24 32 48; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for file in "${expected[@]}"; do
  [ -f "$stage/$file" ] || fail "not installed: /usr/$file"
done
found=$(cd "$stage" && find . -type f | sort | sed 's|^\./||')
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$found" = "$wanted" ] || fail "installed files differ from the list:"$'\n'"$found"
for size in 16 24 32 48; do
  [[ $(file "$stage/share/icons/hicolor/${size}x${size}/apps/$app_id.png") == *"PNG image data, $size x $size,"* ]] \
    || fail "the ${size}x${size} icon is not a $size-pixel PNG"
done
desktop-file-validate "$stage/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$stage/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
grep -q '<release version="2.0.0"' "$stage/share/metainfo/$app_id.metainfo.xml" || fail "release 2.0.0 missing"
echo "staged install: files and validators pass"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null 2>&1) \
  || fail "cpack -G DEB"
package=$(ls "$work"/package/tessarin_2.0.0_*.deb)
depends=$(dpkg-deb -f "$package" Depends)
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
dpkg-deb -c "$package" >"$work/contents"
grep -q '\./usr/bin/tessarin$' "$work/contents" || fail "the package holds no /usr/bin/tessarin"
echo "package $(basename "$package"): Depends: $depends"

if [ "$(id -u)" -ne 0 ]; then
  echo "not root: the package is not installed here"
  exit 0
fi
if dpkg-query -W -f='${db:Status-Status}' tessarin 2>/dev/null | grep -q installed; then
  echo "tessarin is installed on this machine already: leaving it as it is"
  exit 0
fi
trap 'dpkg -r tessarin >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$package" >/dev/null || fail "apt-get install"
[ "$(command -v tessarin)" = /usr/bin/tessarin ] || fail "tessarin is not on the PATH"
# It starts and keeps running until stopped: timeout's 124 is success here.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 tessarin || status=$?
[ "$status" -eq 124 ] || fail "tessarin from the PATH ended with status $status"
dpkg -r tessarin >/dev/null || fail "dpkg -r"
echo "installed with apt-get, started from the PATH, removed"
