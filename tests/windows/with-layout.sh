#!/bin/sh
# Runs a command with the X keyboard layout <layout> (setxkbmap), and puts the US layout
# back afterwards, whatever the command's end.
#   with-layout.sh <layout> <command> [arguments...]
layout=$1
shift
setxkbmap "$layout" || exit 1
"$@"
status=$?
setxkbmap us
exit $status
