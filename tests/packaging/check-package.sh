#!/usr/bin/env bash
# Builds the package twice with the same SOURCE_DATE_EPOCH and checks that the
# two are byte-identical, then what it holds.
# The Debian package: its files, its Depends on Qt (which lintian does not
# check where Depends names libc), the desktop and AppStream validators, and
# lintian (no error, no warning), which renders the manual page too.
# The Windows archive and installer package: the program is linked anew for
# each build (the linker stamps its time into the file); the archive holds the
# one program file, which needs no DLL beside it and carries its icon and
# version record, and the copyright notice.
#
#   check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
app=example.tessarin.Tessarin
setting() { sed -n "s/^set($1 \"\\(.*\\)\")\$/\\1/p" "$build/CPackConfig.cmake"; }
generator=$(setting CPACK_GENERATOR)
version=$(setting CPACK_PACKAGE_VERSION)

# The time of the last commit, as a distribution's build would take it.
export SOURCE_DATE_EPOCH=$(git -C "$(dirname "$0")" log -1 --format=%ct 2>/dev/null || echo 1765000000)
for n in 1 2; do
  if [ "$generator" = ZIP ]; then
    rm -f "$build/Tessarin.exe"
    cmake --build "$build" --target tessarin tessarin_msi >/dev/null ||
      fail "linking Tessarin.exe and making the installer package"
  fi
  (cd "$work" && cpack -G "$generator" --config "$build/CPackConfig.cmake" -B "$work/$n" >/dev/null 2>&1) \
    || fail "cpack -G $generator"
  if [ "$generator" = ZIP ]; then
    cp "$build/tessarin-$version-win64.msi" "$work/$n/"
  fi
done

if [ "$generator" = ZIP ]; then
  archive=$work/1/tessarin-$version-win64.zip
  cmp "$archive" "$work/2/${archive##*/}" || fail "two builds of the archive differ"
  cmp "$work"/{1,2}/tessarin-$version-win64.msi || fail "two builds of the installer package differ"
  found=$(unzip -Z1 "$archive" | sort)
  folder=tessarin-$version-win64
  [ "$found" = "$folder/LICENSE.txt"$'\n'"$folder/THIRD-PARTY-NOTICES.txt"$'\n'"$folder/Tessarin.exe" ] ||
    fail "the archive's files differ from the list:"$'\n'"$found"
  unzip -q "$archive" -d "$work/root"
  program=$work/root/$folder/Tessarin.exe
  cmp "$work/root/$folder/LICENSE.txt" "$source/LICENSE" || fail "LICENSE.txt is not Tessarin's licence"
  # The notices name every Qt library and runtime archive the linker took
  # (Tessarin.map): each bundled library by the name its users know, with the
  # version the program itself names.
  notices=$work/root/$folder/THIRD-PARTY-NOTICES.txt
  headings=$(grep -B1 '^~~~' "$notices" | grep -v '^~~~\|^--$')
  strings -a "$program" >"$work/strings"
  named() { grep -oP "$1" "$work/strings" | head -1; }
  while read -r library; do
    case $library in
      libQt6BundledLibpng.a) name=libpng version=$(named '^libpng version \K[0-9.]+') ;;
      libQt6BundledZLIB.a) name=zlib version=$(named '^[0-9.]+(?= \(Qt\)$)') ;;
      libQt6BundledLibjpeg.a) name=libjpeg version=$(named '^libjpeg-turbo version \K[0-9.]+') ;;
      libQt6BundledPcre2.a) name=PCRE2 version=$(named '^10\.[0-9]+(?= \d{4}-\d\d-\d\d$)') ;;
      libQt6BundledHarfbuzz.a) name=HarfBuzz version= ;;
      libQt6Bundled*) fail "Tessarin.exe links $library, which this check does not know" ;;
      libQt6*.a) name= ; grep '^Qt modules in Tessarin.exe: ' "$notices" | grep -qwF "${library:6:-2}" ||
        fail "the notices do not name the Qt module of $library" ;;
      *) name= ; grep -E '^(In|Qt plugins in Tessarin.exe): ' "$notices" | grep -qwF -e "$library" -e "${library:3:-2}" ||
        fail "the notices do not name $library" ;;
    esac
    [ -z "$name" ] || grep -qi "$name.*$version" <<<"$headings" ||
      fail "the notices have no heading for $name $version"
  done < <(grep -oP '^/\S+/\K[^/]+\.a(?=\()' "$build/Tessarin.map" | sort -u | grep -v '^libtessarin')
  for text in "GNU LESSER GENERAL PUBLIC LICENSE" "GNU GENERAL PUBLIC LICENSE" \
    "Debian's qt6-base source package, version $(dpkg-query -W -f='${Version}' qt6-base-dev)"; do
    grep -qF "$text" "$notices" || fail "the notices lack: $text"
  done
  # The source of that Qt beside the packages: the files its description names.
  (cd "$build/qt6-base-source" && sed -n '/^Checksums-Sha256:/,/^[^ ]/s/^ \([0-9a-f]\{64\}\) [0-9]* /\1  /p' \
    qt6-base_*.dsc | sha256sum --quiet -c) || fail "the Qt source beside the packages is not whole"
  # Only Windows' own libraries: no Qt, compiler runtime or thread library beside it.
  libraries=$(x86_64-w64-mingw32-objdump -p "$work/root/$folder/Tessarin.exe" |
    sed -n 's/^\tDLL Name: //p')
  grep -iE '^(qt|lib)' <<<"$libraries" && fail "Tessarin.exe needs a DLL beside it"
  # What a file manager shows of it: the icon group, the version record's fixed
  # file and product version 2.0.0.0 (after its signature), and its texts.
  resources=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n '/^The .rsrc Resource Directory/,$p')
  grep -q '^0..   Entry: ID: 0x00000e,' <<<"$resources" || fail "no icon group"
  LC_ALL=C grep -qaP '\xbd\x04\xef\xfe\x00\x00\x01\x00(\x00\x00\x02\x00\x00{4}){2}' "$program" ||
    fail "the version record's fixed versions are not 2.0.0.0"
  record=$(strings -el "$program" | sed -n '/^VS_VERSION_INFO$/,/^Translation$/p' | paste -sd'|')
  for field in "StringFileInfo|040904B0" "CompanyName|Korvane" "FileVersion|2.00" \
    "FileDescription|Finds IP of a given Host and vice-versa" "ProductVersion|2.00"; do
    [[ "|$record|" == *"|$field|"* ]] || fail "the version record lacks $field: $record"
  done
  echo "archive ${archive##*/} and installer package: reproducible; its three files, Tessarin's licence, the notices of all it links and the Qt source beside them, no DLL beside the program, its icon and version record"
  exit 0
fi

package=$(ls "$work"/1/tessarin_${version}_*.deb)
cmp "$package" "$work/2/${package##*/}" || fail "two builds of the package differ"

dpkg-deb -x "$package" "$work/root"
icons=$(printf "usr/share/icons/hicolor/%sx%s/apps/$app.png\n" 16 16 24 24 32 32 48 48)
expected=$(printf '%s\n' usr/bin/tessarin "usr/share/applications/$app.desktop" \
  usr/share/doc/tessarin/changelog.gz usr/share/doc/tessarin/copyright "$icons" \
  usr/share/man/man1/tessarin.1.gz "usr/share/metainfo/$app.metainfo.xml")
found=$(cd "$work/root" && find . -type f | sed 's|^\./||' | sort)
[ "$found" = "$expected" ] || fail "the package's files differ from the list:"$'\n'"$found"
desktop-file-validate "$work/root/usr/share/applications/$app.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app.metainfo.xml" || fail "appstreamcli"
depends=$(dpkg-deb -f "$package" Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
lintian --fail-on error,warning "$package" || fail "lintian"
echo "package ${package##*/}: reproducible, files, validators, manual page and lintian pass"

