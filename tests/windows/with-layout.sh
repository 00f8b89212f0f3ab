#!/bin/sh
# Runs a command with the X keyboard layout <layout> (setxkbmap), and puts the US layout
# back afterwards, whatever the command's end. Without an X display: skipped (77).
#   with-layout.sh <layout> <command> [arguments...]
[ -n "$DISPLAY" ] || { echo "no X display: skipped"; exit 77; }
layout=$1
shift
setxkbmap "$layout" || exit 1
"$@"
status=$?
setxkbmap us
exit $status
