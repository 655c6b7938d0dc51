#!/usr/bin/env bash
# The Windows Installer package under Wine, as an administrator deploys it:
# its tables as written; a silent install, after which the installed program
# passes the real-program check (drive-tessarin.sh), its licence and notices
# lie beside it and the entry in Installed apps is there; the same package
# again repairs; an older package is replaced by it in one step, and refused
# over it; a silent removal takes the program's folder away. (The shortcut and what Windows Installer records of the package
# are Windows Installer's to make and to remove.)
#   check-installer.sh WINE-RUN BUILD_DIR
set -euo pipefail
wine_run=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
export WINEPREFIX=${WINEPREFIX:-$PWD/wineprefix}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Wine's menu builder is off; should it run after all, what it makes lands
# here, not in this machine's menus.
export XDG_DATA_HOME=$work/desktop
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
cp "$build/tessarin-$version-win64.msi" "$work/new.msi"
cmake -DVERSION=1.9.0 -DOUTPUT="$work/old.msi" -P "$build/packaging/windows-installer.cmake"
cd "$work"

table() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4; }
property() { table "$1" Property | awk -F'\t' -v name="$2" '$1 == name { print $2 }'; }
# Each Wine command on the display, ending its Wine with it: the installer's
# service would otherwise keep a Wine without the display for the program.
wine() { "$wine_run" --display "$@"; }
msiexec() { wine msiexec "$@" /qn; }
uninstall=HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall
entries() { wine reg query "$uninstall" | tr -d '\r' | grep -o '{[-0-9A-F]*}' || true; }
folder="$WINEPREFIX/drive_c/Program Files/Tessarin"

# The tables as written, where the installs below cannot show them. The
# upgrade code is every version's, for ever: a changed one installs beside.
[ "$(property new.msi UpgradeCode)" = "{F1E6969A-D705-43F1-9A4F-00815C4E3363}" ] ||
  fail "the upgrade code is not Tessarin's"
table new.msi LaunchCondition | grep -qx $'NOT WIX_DOWNGRADE_DETECTED\tA newer version of Tessarin is already installed.' ||
  fail "no clear refusal over a newer version"
table new.msi Shortcut | cut -f2,3,5,9 | grep -qx $'ProgramMenuFolder\tTessarin\t\\[#Tessarin.exe\\]\ttessarin.ico' ||
  fail "no Start-menu shortcut named Tessarin to the program, with its icon"

# Left over by a run that failed half-way.
msiexec /x new.msi || true
msiexec /x old.msi || true

msiexec /i new.msi || fail "a silent install"
product=$(property new.msi ProductCode)
entry=$(wine reg query "$uninstall\\$product" | tr -d '\r')
for value in "DisplayName REG_SZ Tessarin" "DisplayVersion REG_SZ $version" \
  "Publisher REG_SZ Korvane" "URLInfoAbout REG_SZ http://tessarin.example/"; do
  tr -s ' ' <<<"$entry" | grep -qx " $value" || fail "the entry in Installed apps lacks $value"
done
cmp "$WINEPREFIX/drive_c/windows/Installer/$product/tessarin.ico" "$here/../../resources/tessarin.ico" ||
  fail "the entry in Installed apps has not the program's icon"
cmp "$folder/LICENSE.txt" "$here/../../LICENSE" || fail "no licence beside the program"
cmp "$folder/THIRD-PARTY-NOTICES.txt" "$build/THIRD-PARTY-NOTICES.txt" || fail "no notices beside the program"
"$here/drive-tessarin.sh" "$wine_run" "$folder/Tessarin.exe"

rm "$folder/Tessarin.exe"
msiexec /i new.msi || fail "the same package again"
[ -f "$folder/Tessarin.exe" ] || fail "the same package again does not repair"

msiexec /x new.msi || fail "a silent removal"
msiexec /i old.msi || fail "installing an older version"
msiexec /i new.msi || fail "replacing the older version"
[ "$(entries)" = "$product" ] || fail "after the upgrade the entries are: $(entries)"
if msiexec /i old.msi; then
  fail "an older version installed over a newer one"
fi

msiexec /x new.msi || fail "a silent removal"
[ ! -e "$folder" ] || fail "the program's folder is left"
echo "installer: tables, install, program, shortcut, entry, repair, upgrade, refusal, removal"
