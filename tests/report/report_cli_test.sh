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

# The CSV log: a header and whole lines, ended by its count, Ctrl+C or a reader that goes, with
# status 0 and nothing on standard error.
"$report" --csv >"$work/one.csv" || fail "--csv failed"
head -n 1 "$work/one.csv" | grep -q '^timestamp,slot,gpu,temperature_celsius,.*,runtime_suspended$' ||
    fail "--csv printed no header"
for arguments in '--csv --interval 0' '--csv --interval 1s' '--csv --count 2' '--json --interval 1' \
    '--csv --interval 1 --count 0' '--csv --interval'; do
    status=0
    # shellcheck disable=SC2086 # split on purpose
    "$report" $arguments >"$work/out" 2>"$work/err" || status=$?
    if [ "$status" -ne 2 ] || [ -s "$work/out" ]; then fail "'$arguments' was taken ($status)"; fi
done
status=0
timeout 5 "$report" --csv --interval 0.1 --count 3 >"$work/three.csv" 2>"$work/err" || status=$?
if [ "$status" -ne 0 ] || [ -s "$work/err" ]; then fail "--count 3 ended with $status: $(cat "$work/err")"; fi
[ "$(head -n 1 "$work/three.csv")" = "$(head -n 1 "$work/one.csv")" ] || fail "--count 3 changed the header"

set -m # with job control, a job started in the background still takes SIGINT
timeout -s KILL 8 "$report" --csv --interval 0.1 >"$work/log.csv" 2>"$work/err" &
set +m
sleep 1
pkill -INT -P $! || fail "no tarsik-report to interrupt"
status=0
wait $! || status=$?
if [ "$status" -ne 0 ] || [ -s "$work/err" ]; then fail "Ctrl+C ended it with $status: $(cat "$work/err")"; fi
[ -z "$(tail -c 1 "$work/log.csv")" ] || fail "Ctrl+C cut a line"

# A reader that goes ends a 10-second period at once, not at the next write.
start=$(date +%s%N)
status=0
timeout -s KILL 8 "$report" --csv --interval 10 2>"$work/err" | head -n 1 >/dev/null || status=$?
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
if [ "$status" -ne 0 ] || [ -s "$work/err" ]; then fail "a closed pipe ended it with $status: $(cat "$work/err")"; fi
[ "$elapsed_ms" -lt 5000 ] || fail "a closed pipe took $elapsed_ms ms to end it"

# On the workstation fixture, where its mounts can be made: a temperature that changes
# between samples shows in the later lines.
fixture_script=$(dirname "$0")/../../bench/on-fixture.sh
cp -a "$(dirname "$0")/../fixtures/sysfs/workstation" "$work/machine"
if [ "$(id -u)" -eq 0 ] && "$fixture_script" "$work/machine" true 2>/dev/null; then
    temperature=$work/machine/sys/bus/pci/devices/0000:03:00.0/hwmon/hwmon3/temp1_input
    "$fixture_script" "$work/machine" "$report" --csv --interval 0.5 --count 4 >"$work/fixture.csv" &
    sleep 0.7
    echo 71000 >"$temperature"
    wait $! || fail "--csv on the fixture failed"
    [ "$(tail -n +2 "$work/fixture.csv" | cut -d, -f1 | uniq -c | awk '{printf "%s ", $1}')" = "4 4 4 4 " ] ||
        fail "not 4 samples of the 4 GPUs: $(cat "$work/fixture.csv")"
    grep -q '^[^,]*,0000:03:00\.0,AMD Radeon RX 6800 XT,45,' "$work/fixture.csv" ||
        fail "the first sample's temperature is missing"
    tail -n 4 "$work/fixture.csv" | grep -q ',0000:03:00\.0,AMD Radeon RX 6800 XT,71,' ||
        fail "the changed temperature is not in the last sample"
fi
echo "tarsik-report: the CSV log as expected"
