#!/usr/bin/env bash
# The manual page as man shows it at a few terminal widths: no word is hyphenated across
# lines (paths and key names are copied from it), and groff reports no warning.
#   test-manpage.sh <manual page>
set -euo pipefail
page=$1
for width in 60 80 120; do
    shown=$(MANWIDTH=$width MAN_KEEP_FORMATTING= man --warnings -l "$page" 2>"${TMPDIR:-/tmp}/manpage-warnings.$$" | col -b)
    warnings=$(cat "${TMPDIR:-/tmp}/manpage-warnings.$$"); rm -f "${TMPDIR:-/tmp}/manpage-warnings.$$"
    [ -z "$warnings" ] || { echo "FAIL: groff warns at width $width: $warnings" >&2; exit 1; }
    # groff marks a hyphenation break with U+2010 at the end of the line.
    if broken=$(grep -n $'\u2010$' <<<"$shown"); then
        echo "FAIL: hyphenated at width $width:" >&2
        echo "$broken" >&2
        exit 1
    fi
done
echo "manual page: no hyphenation, no warning"
