#!/usr/bin/env bash
# A newcomer's first steps on bare Debian roots, as distributions build: the
# README's Installing lines, as written, build the program and its .deb; the
# run command then adds no test tool, ends saying why with no display, and with
# one shows the window; the .deb installs into a second bare root from its
# Depends alone and shows its window with its title.
#   check-clean-roots.sh SOURCE_DIR     (as root; Xvfb and xdotool on this machine)
set -euo pipefail
source=$(cd "$1" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "SKIP: clean roots need root"; exit 77; }
work=$(mktemp -d)
trap '{ kill -KILL $(jobs -p); wait; } 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
root() { "$source/scripts/clean-root.sh" "$@"; }
# In ROOT, COMMAND's output kept in LOG, shown in part if it fails.
logged() {
  root enter "$1" "$2" >"$work/$3" 2>&1 || { tail -30 "$work/$3" >&2; fail "$4"; }
  grep -hE '^(Need to get|After this operation)' "$work/$3" || true
}
stage() { echo "== $1 (at ${SECONDS}s)"; }
# Root's apt-get answers yes where a person would.
prepare='echo "APT::Get::Assume-Yes \"true\";" >/etc/apt/apt.conf.d/90yes
  export DEBIAN_FRONTEND=noninteractive; apt-get update -q >/dev/null; cd /src; set -x'

# The README's Installing lines, as root: without sudo.
lines=$(sed -n '/^## Installing/,/^## /p' "$source/README.md" | sed -n '/^```sh$/,/^```$/p' |
  sed '1d;$d;s/^sudo //')
build_lines=$(grep -v 'apt-get install \./' <<<"$lines")
install_line=$(grep 'apt-get install \./' <<<"$lines")
[ -n "$build_lines" ] && [ -n "$install_line" ] || fail "no Installing lines in README.md"

Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$work/display" 2>/dev/null &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
title="Tessarin - You are: $(hostname -s)"
shows_window() {
  id=$(timeout 120 xdotool search --sync --name '^Tessarin - You are: ' | head -1) ||
    fail "$1: no window of Tessarin's within 120 s"
  [ "$(xdotool getwindowname "$id")" = "$title" ] ||
    fail "$1: the window's title is '$(xdotool getwindowname "$id")', not '$title'"
  kill -KILL %%   # unshare passes no gentler signal on
  wait %% 2>/dev/null || true
}

stage "a bare root: the README's apt-get and build lines"
root new "$work/build"
(cd "$source" && git ls-files -co --exclude-standard | tar -cf - -T -) |
  tar -xf - -C "$work/build" --one-top-level=src
logged "$work/build" "$prepare; $build_lines" build.log "the README's build lines"
package=$(ls "$work"/build/src/build/tessarin_*_amd64.deb) || fail "no .deb from the README's lines"

stage "the run command in that root"
if DISPLAY= root enter "$work/build" 'cd /src && scripts/run.sh' 2>"$work/nodisplay"; then
  fail "scripts/run.sh with no display ended with status 0"
fi
grep -q "no display" "$work/nodisplay" || fail "scripts/run.sh with no display said: $(cat "$work/nodisplay")"
"$source/scripts/clean-root.sh" enter "$work/build" 'cd /src && scripts/run.sh' >"$work/run.log" 2>&1 &
shows_window "scripts/run.sh"
tools=$(root enter "$work/build" "dpkg-query -W -f='\${db:Status-Status} \${Package}\n' \
  libgtest-dev libbenchmark-dev xvfb wine64 clang lintian weston 2>/dev/null | sed -n 's/^installed //p'" || true)
[ -z "$tools" ] || fail "scripts/run.sh installed test tools: $tools"

stage "a second bare root: the .deb from its Depends alone"
root new "$work/run"
mkdir -p "$work/run/src/build"
cp "$package" "$work/run/src/build/"
logged "$work/run" "$prepare; $install_line" install.log "the README's install line"
"$source/scripts/clean-root.sh" enter "$work/run" 'tessarin' >"$work/tessarin.log" 2>&1 &
shows_window "the installed tessarin"
echo "clean roots: the README's lines build and install Tessarin, which shows '$title'; run.sh adds no test tool and needs a display (${SECONDS}s)"
