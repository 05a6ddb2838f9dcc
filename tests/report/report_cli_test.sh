#!/usr/bin/env bash
# tarsik-report as scripts meet it, on this machine: its arguments and exit statuses, its JSON
# against the schema, its metrics through promtool, its diagnostics on standard error only.
# Usage: report_cli_test.sh <tarsik-report> <schema>
set -euo pipefail
report=$1
schema=$2
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
echo "tarsik-report: arguments, JSON and metrics as expected"
