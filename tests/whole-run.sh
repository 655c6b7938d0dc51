#!/usr/bin/env bash
# Runs a GoogleTest program, through whatever runs it (Wine, Xvfb, a namespace,
# valgrind), and fails it when it ended before its last test had finished,
# whatever its exit status: a command that ends the process with status 0 would
# otherwise skip every later test unseen. GoogleTest removes the file named by
# TEST_PREMATURE_EXIT_FILE only at its normal end; the file is made here first,
# so a program that never got the name fails too. Status 77, a skip before the
# program started, passes through.
#   whole-run.sh COMMAND [ARGUMENTS]
set -uo pipefail
mark=$(mktemp -p "$PWD" .premature-exit.XXXXXX)
TEST_PREMATURE_EXIT_FILE=$mark "$@"
status=$?
[ -e "$mark" ] && [ "$status" -ne 77 ] &&
  { echo "FAIL: the suite ended (status $status) before its last test had finished" >&2; status=1; }
rm -f "$mark"
exit "$status"
