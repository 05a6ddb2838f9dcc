#!/usr/bin/env bash
# The built manual pages as man shows them: no formatting warnings at 80 columns, and every
# option that a command's --help lists is described in its page. --help runs without a display,
# as it must in a terminal over ssh.
# Usage: man_pages_test.sh <folder of the commands> <command.1.gz>...
set -euo pipefail
commands=$1
shift

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

described=0
for page in "$@"; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"

    command=$(basename "$page" .1.gz)
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$commands/$command" --help) ||
        fail "$command --help failed"
    options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
    [ -n "$options" ] || fail "$command --help lists no options"
    shown=$(MANWIDTH=80 man -l "$page" 2>/dev/null)
    for option in $options; do
        grep -qE -- "^ +(-[a-z], )?$option\b" <<<"$shown" || fail "$option of $command is not described in $page"
        described=$((described + 1))
    done
done
echo "manual pages: $# render cleanly and describe the $described options of --help"
