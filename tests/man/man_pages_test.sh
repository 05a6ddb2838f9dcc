#!/usr/bin/env bash
# The built manual pages as man shows them: no formatting warnings at 80 columns, and every
# option that tarsik-report --help lists is in its page.
# Usage: man_pages_test.sh <tarsik-report> <page.1.gz>...
set -euo pipefail
report=$1
shift

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for page in "$@"; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done

report_page=$(printf '%s\n' "$@" | grep '/tarsik-report\.1\.gz$') || fail "no tarsik-report page given"
shown=$(MANWIDTH=80 man -l "$report_page" 2>/dev/null)
options=$("$report" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
[ -n "$options" ] || fail "tarsik-report --help lists no options"
for option in $options; do
    grep -qE -- "^ +(-[a-z], )?$option\b" <<<"$shown" || fail "$option is not described in $report_page"
done
echo "manual pages: $# render cleanly, $(wc -w <<<"$options") options of tarsik-report described"
