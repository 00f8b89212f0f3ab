#!/bin/sh
# Runs a command with the X keyboard layout <layout> (setxkbmap), and puts the US layout
# back afterwards, whatever the command's end. Without an X display: skipped (77), or failed
# under scripts/test.
#   with-layout.sh <layout> <command> [arguments...]
. "$(dirname "$0")/../testsupport/missing-fixture.sh"
[ -n "$DISPLAY" ] || skip_without_fixture "no X display"
layout=$1
shift
setxkbmap "$layout" || exit 1
"$@"
status=$?
setxkbmap us
exit $status
