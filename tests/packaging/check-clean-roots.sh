#!/usr/bin/env bash
# A newcomer's first steps on bare Debian roots of each release, as
# distributions build: the run command adds no test tool, ends saying why with
# no display, and with one shows the window; then the README's Installing
# lines, as written, build the program and its .deb. On a release other than
# this machine's, the suite is built there with warnings as errors and its
# Linux suites run. Each .deb installs into a second bare root of its release
# from its Depends alone and shows its window with its title; the other
# release's .deb is refused there.
#   check-clean-roots.sh SOURCE_DIR [RELEASE...]   (as root; Xvfb and xdotool on this
#                                                  machine; bookworm and trixie unless named)
set -euo pipefail
source=$(cd "$1" && pwd)
shift
releases=("$@")
[ ${#releases[@]} -gt 0 ] || releases=(bookworm trixie)
[ "$(id -u)" -eq 0 ] || { echo "SKIP: clean roots need root"; exit 77; }
work=$(mktemp -d)
trap '{ kill -KILL $(jobs -p); wait; } 2>/dev/null; rm -rf "$work"' EXIT
# Ended from outside (the test command stops the roots so), the clean-up above runs.
trap 'exit 143' TERM
fail() { echo "FAIL: $*" >&2; exit 1; }
root() { "$source/scripts/clean-root.sh" "$@"; }
# logged LOG FAILURE [--offline] ROOT COMMAND: the command's output kept in
# LOG, shown in part if it fails.
logged() {
  local log=$work/$1 failure=$2
  shift 2
  root enter "$@" >"$log" 2>&1 || { tail -30 "$log" >&2; fail "$failure"; }
  grep -hE '^(Need to get|After this operation)' "$log" || true
}
stage() { echo "== $1 (at ${SECONDS}s)"; }
here_release=$(. /etc/os-release && echo "$VERSION_CODENAME")
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
# shows_window WHAT SECONDS LOG: the window of the command started last, in
# the background with its output in LOG, within SECONDS, while it runs.
shows_window() {
  local id= command=$!
  for _ in $(seq $(($2 * 5))); do
    id=$(xdotool search --name '^Tessarin - You are: ' | head -1) || true
    [ -z "$id" ] && kill -0 "$command" 2>/dev/null || break
    sleep 0.2
  done
  [ -n "$id" ] || { tail -20 "$3" >&2; fail "$1: no window of Tessarin's (within $2 s, while it ran)"; }
  [ "$(xdotool getwindowname "$id")" = "$title" ] ||
    fail "$1: the window's title is '$(xdotool getwindowname "$id")', not '$title'"
  kill -KILL %%   # unshare passes no gentler signal on
  wait %% 2>/dev/null || true
}

for release in "${releases[@]}"; do
  stage "a bare $release root: the run command"
  build=$work/build-$release
  root new "$release" "$build"
  (cd "$source" && git ls-files -co --exclude-standard | tar -cf - -T -) |
    tar -xf - -C "$build" --one-top-level=src
  if DISPLAY= root enter "$build" 'cd /src && scripts/run.sh' 2>"$work/nodisplay"; then
    fail "$release: scripts/run.sh with no display ended with status 0"
  fi
  grep -q "no display" "$work/nodisplay" ||
    fail "$release: scripts/run.sh with no display said: $(cat "$work/nodisplay")"
  root enter "$build" 'cd /src && scripts/run.sh' >"$work/run.log" 2>&1 &
  # It installs and builds first.
  shows_window "$release: scripts/run.sh" 900 "$work/run.log"
  tools=$(root enter "$build" "dpkg-query -W -f='\${db:Status-Status} \${Package}\n' \
    libgtest-dev libbenchmark-dev xvfb wine64 clang lintian weston 2>/dev/null | sed -n 's/^installed //p'" || true)
  [ -z "$tools" ] || fail "$release: scripts/run.sh installed test tools: $tools"

  stage "the README's apt-get and build lines in that root"
  logged build.log "$release: the README's build lines" "$build" "$prepare; $build_lines"
  ls "$build"/src/build/tessarin_*_amd64.deb >/dev/null || fail "$release: no .deb from the README's lines"

  if [ "$release" != "$here_release" ]; then
    # This machine runs its own release's suites; another's run here, offline.
    stage "the suite, with warnings as errors, and the Linux suites in that root"
    logged setup.log "$release: scripts/setup.sh suite" "$build" "$prepare; scripts/setup.sh suite"
    logged suite.log "$release: the suite" --offline "$build" "cd /src &&
      cmake -S . -B build-suite -G Ninja -DTESSARIN_WERROR=ON -DTESSARIN_BUILD_TESTS=ON \
        -DTESSARIN_BUILD_BENCH=ON >/dev/null && cmake --build build-suite &&
      ctest --test-dir build-suite --output-on-failure -j 2 -E '^clean_roots$'"
    grep -E 'tests passed|Test +#' "$work/suite.log"
  fi
done

for release in "${releases[@]}"; do
  stage "a second bare $release root: its .deb from its Depends alone"
  run=$work/run-$release
  root new "$release" "$run"
  mkdir -p "$run/src/build" "$run/other"
  cp "$work/build-$release"/src/build/tessarin_*_amd64.deb "$run/src/build/"
  for other in "${releases[@]}"; do
    [ "$other" = "$release" ] || cp "$work/build-$other"/src/build/tessarin_*_amd64.deb "$run/other/"
  done
  for package in "$run"/other/*.deb; do
    [ -e "$package" ] || continue
    if root enter "$run" "$prepare; apt-get install /other/${package##*/}" >"$work/other.log" 2>&1; then
      fail "$release: ${package##*/}, built for another release, installed"
    fi
    grep -E 'but it is not installable|but .* is to be installed' "$work/other.log" ||
      { tail -20 "$work/other.log" >&2; fail "$release: ${package##*/} was not refused for its Depends"; }
  done
  logged install.log "$release: the README's install line" "$run" "$prepare; $install_line"
  root enter "$run" 'tessarin' >"$work/tessarin.log" 2>&1 &
  shows_window "$release: the installed tessarin" 120 "$work/tessarin.log"
done
echo "clean roots (${releases[*]}): run.sh adds no test tool and needs a display; the README's lines build and install Tessarin, which shows '$title'; each release refuses the other's .deb (${SECONDS}s)"
