#!/usr/bin/env bash
# Reads the machine's own apt entries, as apt itself parses them (deb822
# .sources files and one-line .list files alike), so that a mirror, a proxy, a
# snapshot or a local archive the machine uses serves Tessarin's scripts too:
#   scripts/apt-entries.sh source RELEASE   a deb-src entry, in deb822 form, for each
#                                           entry of RELEASE (a codename such as
#                                           bookworm, or a suite such as stable; its
#                                           main suite, not -security or -updates
#                                           alone), every option kept
#   scripts/apt-entries.sh archive          the address of Debian's own archive, which
#                                           carries every release (debootstrap's mirror)
# What an entry serves (codename, suite, origin) comes from its Release file,
# which apt keeps since its last update.
set -euo pipefail
say() { echo "apt-entries: $*" >&2; }

# One line an entry and suite: TYPE FILE:PLACE RELEASE CODENAME SUITE ORIGIN LABEL URI.
# A field apt has no Release file for stays as apt's own "$(NAME)": no match.
targets() {
  apt-get indextargets 'Created-By: Packages' --format \
    '$(TARGET_OF) $(SOURCESENTRY) $(RELEASE) $(CODENAME) $(SUITE) $(ORIGIN) $(LABEL) $(REPO_URI)' |
    sort -u
}

# The entry at FILE:PLACE (the stanza's number in a deb822 file, the line in a
# one-line file) as a deb-src stanza, its options as deb822 fields.
as_source() {
  local file=${1%:*} place=${1##*:}
  case $file in
    *.sources)
      awk -v want="$place" '
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { if (fields) n++; fields = 0; next }
        { fields = 1 }
        n + 1 == want {
          if (tolower($0) ~ /^types:/) print "Types: deb-src"
          else if (tolower($0) !~ /^enabled:/) print
        }
        END { print "" }' "$file"
      ;;
    *)
      # deb [option=value ...] URI SUITE COMPONENT...; an option is a field
      # of the same name, but for the three that deb822 spells otherwise.
      sed -n "${place}p" "$file" | awk '
        {
          sub(/#.*/, "")
          options = ""
          if ($2 ~ /^\[/) {
            line = $0; sub(/^[^[]*\[/, "", line); sub(/\].*/, "", line)
            options = line
            sub(/^[^]]*\][ \t]*/, "", $0); $0 = "deb " $0
          }
          printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $2, $3
          for (i = 4; i <= NF; i++) printf " %s", $i
          printf "\n"
          n = split(options, list, /[ \t]+/)
          for (i = 1; i <= n; i++) {
            if (list[i] == "") continue
            name = list[i]; sub(/=.*/, "", name); value = list[i]; sub(/^[^=]*=/, "", value)
            gsub(/,/, " ", value)
            if (name == "arch") name = "Architectures"
            else if (name == "lang") name = "Languages"
            else if (name == "target") name = "Targets"
            printf "%s: %s\n", name, value
          }
          printf "\n"
        }'
      ;;
  esac
}

case "${1:-}" in
  source)
    release=${2:?usage: scripts/apt-entries.sh source RELEASE}
    targets | awk -v want="$release" '$1 == "deb" && ($3 == want || $4 == want || $5 == want) { print $2 }' |
      sort -u | while read -r entry; do as_source "$entry"; done
    ;;
  archive)
    archive=$(targets | awk '$1 == "deb" && $6 == "Debian" && $7 == "Debian" { print $8; exit }')
    [ -n "$archive" ] || { say "no entry of Debian's own archive here (after apt-get update)"; exit 1; }
    echo "$archive"
    ;;
  *)
    echo "usage: scripts/apt-entries.sh source RELEASE | archive" >&2
    exit 2
    ;;
esac
