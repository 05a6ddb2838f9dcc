#!/usr/bin/env bash
# Idle cost of the window: starts tarsik under Xvfb, lets the start-up refresh finish, then counts
# the CPU ticks and context switches (wake-ups) it uses over 30 seconds nobody touches it.
set -euo pipefail
cd "$(dirname "$0")/.."
app=${1:-build/default/bin/tarsik}
seconds=${2:-30}
QT_QPA_PLATFORM=xcb xvfb-run -a --server-args="-screen 0 1280x1024x24" bash -c '
    "$0" & pid=$!
    sleep 5
    ticks() { awk "{print \$14 + \$15}" /proc/$pid/stat; }
    switches() { awk "/ctxt_switches/ {sum += \$2} END {print sum}" /proc/$pid/status; }
    t0=$(ticks); s0=$(switches)
    sleep "$1"
    t1=$(ticks); s1=$(switches)
    echo "idle over $1 s: $((t1 - t0)) CPU ticks, $((s1 - s0)) context switches"
    echo "peak resident memory: $(awk "/VmHWM/ {print \$2, \$3}" /proc/$pid/status)"
    kill $pid' "$app" "$seconds"
