#!/usr/bin/env bash
# A newcomer's first steps on bare Debian roots of each release, as
# distributions build: the run command adds no test tool, ends saying why with
# no display, and with one shows the window; then the README's Installing
# lines, as written, build the program and its .deb. On a release other than
# this machine's, the suite is built there with warnings as errors and its
# Linux suites run. Each .deb installs into a second bare root of its release
# from its Depends alone and shows its window with its title; the other
# release's .deb is refused there.
#   check-clean-roots.sh SOURCE_DIR [RELEASE...]   (as root, or rootless as
#                                                  scripts/clean-root.sh says; Xvfb and
#                                                  xdotool on this machine; bookworm and
#                                                  trixie unless named)
set -euo pipefail
source=$(cd "$1" && pwd)
shift
releases=("$@")
[ ${#releases[@]} -gt 0 ] || releases=(bookworm trixie)
"$source/scripts/clean-root.sh" ready || { echo "SKIP: no clean roots here"; exit 77; }
# On disk beside the roots' cache, not in /tmp, which may be a small tmpfs:
# four roots take gigabytes.
mkdir -p "${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/clean-root"
work=$(mktemp -d "${XDG_CACHE_HOME:-$HOME/.cache}/tessarin/clean-root/work.XXXXXX")
# What runs in the roots, each command in a process group of its own.
groups=()
# ended PID: the command whose process group PID leads has ended, with all it
# started; in a root, every process of its namespace has.
ended() {
  kill -TERM -- -"$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
finish() {
  local group
  # Run at the lowest priority beside the other stages; the clean-up not.
  renice -n 0 -p $$ >/dev/null 2>&1 || true
  for group in ${groups[@]+"${groups[@]}"}; do ended "$group"; done
  { kill -KILL $(jobs -p) || true; wait || true; } 2>/dev/null
  "$source/scripts/clean-root.sh" remove "$work"
}
trap finish EXIT
# Stopped at any point, from outside or by a failed check, the clean-up above
# runs: every wait below is one that a signal ends at once.
trap 'exit 143' TERM INT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Each command started in the background in a process group of its own, in
# this session: a session is a scheduling group of its own, and the roots share
# the machine with the other stages as one.
set -m
# root ARGUMENTS: scripts/clean-root.sh ARGUMENTS, in a group of its own.
root() {
  local status=0
  "$source/scripts/clean-root.sh" "$@" &
  groups+=($!)
  wait $! || status=$?
  unset 'groups[-1]'
  return $status
}
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

title="Tessarin - You are: $(hostname -s)"
# shows_window WHAT SECONDS ROOT COMMAND: COMMAND, run in ROOT on an X display
# of its own, where no other window can answer for it, shows Tessarin's window
# with its title within SECONDS, while it runs; then it ends, with all it started.
shows_window() {
  local what=$1 seconds=$2 display xvfb command id
  shift 2
  Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "$what: Xvfb did not start"
  display=:$(cat "$work/display")
  : >"$work/display"
  DISPLAY=$display "$source/scripts/clean-root.sh" enter "$@" >"$work/window.log" 2>&1 &
  command=$!
  groups+=("$command")
  DISPLAY=$display "$source/tests/x11/await-window.sh" '^Tessarin - You are: ' "$seconds" "$command" \
    >"$work/window" &
  wait $! || { tail -20 "$work/window.log" >&2; fail "$what: no window of Tessarin's (within $seconds s, while it ran)"; }
  id=$(cat "$work/window")
  [ "$(DISPLAY=$display xdotool getwindowname "$id")" = "$title" ] ||
    fail "$what: the window's title is '$(DISPLAY=$display xdotool getwindowname "$id")', not '$title'"
  ended "$command"
  unset 'groups[-1]'
  local process root_folder
  root_folder=$(realpath "$1")
  for process in /proc/[0-9]*; do
    [ "$(readlink "$process/root" 2>/dev/null)" != "$root_folder" ] ||
      fail "$what: $(tr '\0' ' ' <"$process/cmdline") outlived its check"
  done
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
}

for release in "${releases[@]}"; do
  stage "a bare $release root: the run command"
  build=$work/build-$release
  root new "$release" "$build"
  root checkout "$source" "$build/src"
  if DISPLAY= root enter "$build" 'cd /src && scripts/run.sh' 2>"$work/nodisplay"; then
    fail "$release: scripts/run.sh with no display ended with status 0"
  fi
  grep -q "no display" "$work/nodisplay" ||
    fail "$release: scripts/run.sh with no display said: $(cat "$work/nodisplay")"
  # It installs and builds first.
  shows_window "$release: scripts/run.sh" 900 "$build" 'cd /src && scripts/run.sh'
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
  shows_window "$release: the installed tessarin" 120 "$run" tessarin
done
echo "clean roots (${releases[*]}): run.sh adds no test tool and needs a display; the README's lines build and install Tessarin, which shows '$title'; each release refuses the other's .deb (${SECONDS}s)"
