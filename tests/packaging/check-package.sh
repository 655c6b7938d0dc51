#!/usr/bin/env bash
# Builds the package here and again from another folder, neither told a time
# (no SOURCE_DATE_EPOCH), and checks that the two are byte-identical and that
# what ships names no folder of the building machine, then what the package holds.
# The Debian package: its files, its Depends on Qt (which lintian does not
# check where Depends names libc), the desktop and AppStream validators, and
# lintian (no error, no warning), which renders the manual page too.
# The Windows archive and installer package: the program is linked anew (the
# linker stamps its time into the file), and the other folder is Tessarin's
# tree from the source archive, whose Qt source dpkg-source checks; the
# archive holds the one program file, which needs no DLL beside it and
# carries its icon and version record, its licence and the notices.
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

unset SOURCE_DATE_EPOCH
# packages BUILD OUT: the packages of BUILD, made into OUT.
packages() {
  if [ "$generator" = ZIP ]; then
    rm -f "$1/Tessarin.exe"
    cmake --build "$1" --target tessarin tessarin_msi >/dev/null ||
      fail "linking Tessarin.exe and making the installer package"
    mkdir -p "$2"
    cp "$1/tessarin-$version-win64.msi" "$2/"
  fi
  (cd "$work" && cpack -G "$generator" --config "$1/CPackConfig.cmake" -B "$2" >/dev/null 2>&1) ||
    fail "cpack -G $generator in $1"
}
packages "$build" "$work/1"
if [ "$generator" = ZIP ]; then
  sources=$build/tessarin-$version-source.tar.xz
  [ -f "$sources" ] || fail "no ${sources##*/} beside the packages"
  mkdir "$work/sources"
  tar -xJf "$sources" -C "$work/sources"
  (cd "$work/sources/tessarin-$version-source/qt6-base" &&
    dpkg-source -x qt6-base_*.dsc "$work/qt" >"$work/dpkg-source.log" 2>&1) ||
    { cat "$work/dpkg-source.log" >&2; fail "dpkg-source -x did not take the Qt source in ${sources##*/}"; }
  rm -rf "$work/qt"
fi
# The other tree lies in the work folder where this one lies on the machine,
# and is built where this build lies (moc writes the way from one to the
# other): the build folder may be inside the tree or anywhere outside it.
tree=$work/tree$source
other=$work/tree$build
mkdir -p "$(dirname "$tree")"
if [ "$generator" = ZIP ]; then
  mv "$work/sources/tessarin-$version-source/tessarin" "$tree"
  qt=$(sed -n 's|^Qt6_DIR:[A-Z]*=\(.*\)/lib/cmake/Qt6$|\1|p' "$build/CMakeCache.txt")
  options=(-DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-w64-x86_64.cmake" -DTESSARIN_QT_WINDOWS="$qt")
else
  # The checkout as it stands, with its history, whose last commit gives the time.
  "$source/scripts/clean-root.sh" checkout --history "$source" "$tree"
  options=()
fi
# Configured as this build.
cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
cmake -S "$tree" -B "$other" -G Ninja "${options[@]}" -DCMAKE_BUILD_TYPE="$(cached CMAKE_BUILD_TYPE)" \
  -DTESSARIN_WERROR="$(cached TESSARIN_WERROR)" >/dev/null || fail "configuring the tree in another folder"
cmake --build "$other" >/dev/null || fail "building the tree in another folder"
packages "$other" "$work/2"
# What ships names neither this tree's folder nor the build machine's home,
# where its caches are (Qt for Windows among them).
shipped() {
  local place pattern found
  for place in "$source" "$HOME" "${XDG_CACHE_HOME:-$HOME/.cache}"; do
    # The folder where a path starts, not inside one: a tree in /src is not
    # named by Qt's ./src/widgets/... .
    pattern="(^|[^[:alnum:]._/~-])$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$place")/"
    found=$({ strings -a "$1"; strings -a -el "$1"; } | grep -E "$pattern" || true)
    [ -z "$found" ] || fail "${1##*/} names the folder $place: $(head -1 <<<"$found")"
  done
}

if [ "$generator" = ZIP ]; then
  archive=$work/1/tessarin-$version-win64.zip
  found=$(unzip -Z1 "$archive" | sort)
  folder=tessarin-$version-win64
  [ "$found" = "$folder/LICENSE.txt"$'\n'"$folder/THIRD-PARTY-NOTICES.txt"$'\n'"$folder/Tessarin.exe" ] ||
    fail "the archive's files differ from the list:"$'\n'"$found"
  unzip -q "$archive" -d "$work/root"
  program=$work/root/$folder/Tessarin.exe
  shipped "$program"
  cmp "$archive" "$work/2/${archive##*/}" || fail "the archives built in two folders differ"
  cmp "$work"/{1,2}/tessarin-$version-win64.msi || fail "the installer packages built in two folders differ"
  cmp "$work/root/$folder/LICENSE.txt" "$source/LICENSE" || fail "LICENSE.txt is not Tessarin's licence"
  # The notices name every Qt library and runtime archive the linker took
  # (Tessarin.map): each bundled library by the name its users know, with the
  # version the program itself names. HarfBuzz names its own only as a bare
  # number, and Qt 6.8's libjpeg-turbo 3.1.0 names itself 3.0.3 (Qt's own
  # configuration header): those two by name alone.
  notices=$work/root/$folder/THIRD-PARTY-NOTICES.txt
  headings=$(grep -B1 '^~~~' "$notices" | grep -v '^~~~\|^--$')
  strings -a "$program" >"$work/strings"
  named() { grep -oP "$1" "$work/strings" | head -1; }
  while read -r library; do
    case $library in
      libQt6BundledLibpng.a) name=libpng at=$(named '^libpng version \K[0-9.]+') ;;
      libQt6BundledZLIB.a) name=zlib at=$(named '^[0-9.]+(?= \(Qt\)$)') ;;
      libQt6BundledLibjpeg.a) name=libjpeg at= ;;
      libQt6BundledPcre2.a) name=PCRE2 at=$(named '^10\.[0-9]+(?= \d{4}-\d\d-\d\d$)') ;;
      libQt6BundledHarfbuzz.a) name=HarfBuzz at= ;;
      libQt6Bundled*) fail "Tessarin.exe links $library, which this check does not know" ;;
      libQt6*.a) name= ; grep '^Qt modules in Tessarin.exe: ' "$notices" | grep -qwF "${library:6:-2}" ||
        fail "the notices do not name the Qt module of $library" ;;
      *) name= ; grep -E '^(In|Qt plugins in Tessarin.exe): ' "$notices" | grep -qwF -e "$library" -e "${library:3:-2}" ||
        fail "the notices do not name $library" ;;
    esac
    [ -z "$name" ] || grep -qi "$name.*$at" <<<"$headings" ||
      fail "the notices have no heading for $name $at"
  done < <(grep -oP '^/\S+/\K[^/]+\.a(?=\()' "$build/Tessarin.map" | sort -u | grep -v '^libtessarin')
  # Its own sentences, read across line ends: the source's place and version,
  # and the credits two licences ask for; then the licence texts.
  said=$(sed '/^    /d' "$notices" | tr -s ' \n' ' ')
  for text in "is in tessarin-$version-source.tar.xz, published beside this package" \
    "Debian's qt6-base source package, version $(dpkg-query -W -f='${Version}' qt6-base-dev):" \
    "This software is based in part on the work of the Independent JPEG Group." \
    "Portions of this software are copyright © 20"; do
    grep -qF "$text" <<<"$said" || fail "the notices do not say: $text"
  done
  for text in "GNU LESSER GENERAL PUBLIC LICENSE" "GNU GENERAL PUBLIC LICENSE"; do
    grep -qF "$text" "$notices" || fail "the notices lack: $text"
  done
  msiextract -C "$work/msi" "$work/1/tessarin-$version-win64.msi" >/dev/null
  cmp "$program" "$work/msi/Tessarin/Tessarin.exe" ||
    fail "the installer package's Tessarin.exe is not the archive's"
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
  echo "archive ${archive##*/} and installer package: the same from two folders, the second Tessarin's tree in ${sources##*/} with its Qt source; no folder of this machine in the program; its three files, Tessarin's licence, the notices of all it links, no DLL beside the program, its icon and version record"
  exit 0
fi

package=$(ls "$work"/1/tessarin_${version}-*.deb)
dpkg-deb -x "$package" "$work/root"
shipped "$work/root/usr/bin/tessarin"
cmp "$package" "$work/2/${package##*/}" || fail "the packages built in two folders differ"
icons=$(printf "usr/share/icons/hicolor/%sx%s/apps/$app.png\n" 16 16 24 24 32 32 48 48)
expected=$(printf '%s\n' usr/bin/tessarin "usr/share/applications/$app.desktop" \
  usr/share/doc/tessarin/changelog.Debian.gz usr/share/doc/tessarin/copyright "$icons" \
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
echo "package ${package##*/}: the same from two folders, no folder of this machine in the program; files, validators, manual page and lintian pass"

