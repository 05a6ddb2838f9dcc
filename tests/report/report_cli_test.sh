#!/usr/bin/env bash
# tarsik-report as scripts meet it, on this machine and over fixture machines: its arguments and
# exit statuses, its JSON against the schema, its metrics through promtool, its diagnostics on
# standard error only and once each, its time stamps in UTC whatever the time zone.
# Usage: report_cli_test.sh <tarsik-report> <schema> <fixture machines folder>
set -euo pipefail
report=$1
schema=$2
fixtures=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for arguments in --bogus extra '--json --prometheus'; do
    status=0
    # shellcheck disable=SC2086 # split on purpose
    "$report" $arguments >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "'$arguments' exited with $status, not 2"
    [ ! -s "$work/out" ] || fail "'$arguments' printed on standard output"
    grep -q -- "--help" "$work/err" || fail "'$arguments' did not point to --help"
done
"$report" --help >"$work/out" || fail "--help failed"
grep -q '^Usage: tarsik-report' "$work/out" || fail "--help printed no usage"

"$report" --json --verbose >"$work/report.json" 2>"$work/err" || fail "--json failed"
if grep -v '^tarsik: ' "$work/err"; then
    fail "a diagnostics line without its prefix"
fi
/usr/bin/python3 - "$schema" "$work/report.json" <<'PYTHON' || fail "--json does not match its schema"
import json, sys, jsonschema
schema, document = (json.load(open(path, encoding="utf-8")) for path in sys.argv[1:3])
jsonschema.validate(document, schema, format_checker=jsonschema.FormatChecker())
PYTHON

"$report" --prometheus >"$work/report.prom" || fail "--prometheus failed"
promtool check metrics <"$work/report.prom" || fail "--prometheus does not pass promtool"

# The metrics service renames the file into place only on success, so output that could not be
# written must fail. Text and JSON always have something to write; metrics need a GPU.
for form in --json ''; do
    # shellcheck disable=SC2086 # no form is the text form
    if "$report" $form >/dev/full 2>/dev/null; then
        fail "'$form' >/dev/full exited 0"
    fi
done

# The report over a fixture machine's /sys, in a mount namespace of its own.
over_fixture() {
    local machine=$1
    shift
    # shellcheck disable=SC2016 # expanded by the inner shell
    unshare --map-root-user --mount -- sh -c 'mount --bind "$0/sys" /sys && exec "$@"' \
        "$fixtures/$machine" "$@"
}
if over_fixture gpu-server true 2>/dev/null; then
    if over_fixture gaming-desktop "$report" --prometheus >/dev/full 2>/dev/null; then
        fail "--prometheus >/dev/full exited 0"
    fi
    # Six NVIDIA GPUs without NVML: each cause is said once, not once per GPU.
    over_fixture gpu-server "$report" --json --verbose 2>"$work/err" >/dev/null || fail "--verbose failed"
    grep -q 'NVML missing' "$work/err" || fail "no diagnostic for the missing NVML"
    if sort "$work/err" | uniq -d | grep .; then
        fail "a diagnostic said more than once"
    fi
else
    echo "SKIP: no user and mount namespaces here, so no fixture machines"
fi

# Stamps in UTC under zones far from it (Kiritimati's +14, Adak's -10, as POSIX zones so that no
# tzdata is needed), within a minute of a UTC run's.
seconds_of() { date -u -d "$1" +%s; }
utc=$(TZ=UTC "$report" --json 2>/dev/null | sed -n 's/^  "generated": "\(.*\)",$/\1/p')
[ -n "$utc" ] || fail "--json has no generated stamp"
for zone in '<+14>-14' '<-10>10'; do
    stamp=$(TZ=$zone "$report" --json 2>/dev/null | sed -n 's/^  "generated": "\(.*\)",$/\1/p')
    [[ "$stamp" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z$ ]] ||
        fail "--json under TZ=$zone stamped '$stamp'"
    text=$(TZ=$zone "$report" 2>/dev/null | sed -n 's/^Generated: //p')
    [[ "$text" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{2}:[0-9]{2}:[0-9]{2}\ \+0000$ ]] ||
        fail "the text under TZ=$zone stamped '$text'"
    for each in "$stamp" "$text"; do
        drift=$(($(seconds_of "$each") - $(seconds_of "$utc")))
        [ "${drift#-}" -le 60 ] || fail "under TZ=$zone, '$each' is ${drift} s from the UTC run's $utc"
    done
done
echo "tarsik-report: arguments, JSON, metrics, diagnostics and stamps as expected"
