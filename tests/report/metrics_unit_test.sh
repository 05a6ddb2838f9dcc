#!/usr/bin/env bash
# The metrics unit as systemd and node_exporter meet it: its exposure stays "OK" or better, and
# its command leaves either the whole new file or the old one, never a part.
# Usage: metrics_unit_test.sh <tarsik-report> <tarsik-report.service>
set -euo pipefail
report=$1
unit=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The unit's command as the shell gets it, with this build's report in place of the installed one.
command=$(sed -n 's/^ExecStart=\/bin\/sh -c //p' "$unit" | sed "s/^'//; s/'\$//; s/\\\$\\\$/\$/g")
[ -n "$command" ] || fail "no ExecStart=/bin/sh -c in $unit"
run_unit_command() {
    (umask 0077 && TEXTFILE_DIRECTORY=$work /bin/sh -c "${command//\/usr\/bin\/tarsik-report/$1}")
}

run_unit_command "$report" || fail "the unit's command failed"
[ "$(stat -c %a "$work/tarsik.prom")" = 644 ] || fail "tarsik.prom is not readable by node_exporter"
[ ! -e "$work/tarsik.prom.tmp" ] || fail "the temporary file was left behind"

# A report that dies halfway: the old file stays as it was.
echo 'tarsik_gpu_info{slot="old"} 1' >"$work/tarsik.prom"
printf '#!/bin/sh\necho "tarsik_gpu_temperature_celsius{slot=\\"half\\"} 4"\nexit 1\n' >"$work/dying-report"
chmod +x "$work/dying-report"
if run_unit_command "$work/dying-report"; then
    fail "the unit's command succeeded although the report failed"
fi
grep -q 'slot="old"' "$work/tarsik.prom" || fail "a failed report replaced tarsik.prom"
[ ! -e "$work/tarsik.prom.tmp" ] || fail "a failed report left its temporary file"

if ! command -v systemd-analyze >/dev/null; then
    echo "SKIP: no systemd-analyze to rate the unit's exposure"
    exit 77
fi
# 2.0 on systemd's scale of 0 to 10, "OK" or better.
if ! systemd-analyze security --offline=true --threshold=20 --no-pager "$unit" >"$work/rating" 2>&1; then
    cat "$work/rating" >&2
    fail "the unit is exposed beyond 2.0"
fi
tail -n 1 "$work/rating"
