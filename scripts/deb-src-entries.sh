#!/usr/bin/env bash
# Prints, in deb822 form, a deb-src entry for each of the machine's apt entries
# of the given release (its main suite, not -security or -updates alone): the
# same archive address, suites, components and keyring, so a mirror or a proxy
# the machine uses is used for the source too.
#   scripts/deb-src-entries.sh CODENAME
set -euo pipefail
codename=$1
shopt -s nullglob

# deb822 files: stanzas are separated by blank lines.
for file in /etc/apt/sources.list.d/*.sources; do
  awk -v release="$codename" '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && enabled != "no" && (" " suites " ") ~ (" " release " "))
        printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n%s\n\n", uris, suites, components, signed
      types = uris = suites = components = signed = enabled = ""
    }
    /^[ \t]*#/ { next }
    /^[ \t]*$/ { flush(); next }
    /^[ \t]/ { if (last == "Signed-By") signed = signed "\n" $0; next }   # a key written inline
    { last = $1; sub(/:$/, "", last) }
    /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
    /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0 }
    /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
    /^Components:/ { sub(/^Components:[ \t]*/, ""); components = $0 }
    /^Signed-By:/ { signed = $0 }
    /^Enabled:/ { sub(/^Enabled:[ \t]*/, ""); enabled = tolower($0) }
    END { flush() }' "$file"
done

# One-line files: "deb [options] URI SUITE COMPONENT...".
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$file" ] || continue
  awk -v release="$codename" '
    $1 != "deb" { next }
    {
      signed = ""; field = 2
      if ($2 ~ /^\[/) {
        while (field <= NF) {
          if ($field ~ /^\[?signed-by=/) { signed = $field; sub(/^\[?signed-by=/, "", signed); sub(/\]$/, "", signed) }
          if ($field ~ /\]$/) { field++; break }
          field++
        }
      }
      if ($(field + 1) != release) next
      printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $field, $(field + 1)
      for (i = field + 2; i <= NF; i++) printf " %s", $i
      printf "\n"
      if (signed != "") printf "Signed-By: %s\n", signed
      printf "\n"
    }' "$file"
done
