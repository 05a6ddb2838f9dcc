#!/usr/bin/env bash
# Runs a command on a fixture machine (a name in tests/fixtures/sysfs, or a copy's folder): in a private mount namespace, the fixture's PCI devices,
# kernel modules and NVIDIA proc files stand over the real ones (pci.ids and amdgpu.ids stay the
# system's, as on a real machine). Needs root. For whole-process timings of tarsik-report:
#   sudo bench/on-fixture.sh amd-apu-laptop hyperfine -N --warmup 20 build/default/bin/tarsik-report 'lspci -nn'
set -euo pipefail
case $1 in
*/*) machine=$(realpath "$1") ;;
*) machine=$(realpath "$(dirname "$0")/../tests/fixtures/sysfs/$1") ;;
esac
shift
exec unshare --mount -- bash -c '
    set -euo pipefail
    machine=$1
    shift
    mount --bind "$machine/sys/bus/pci/devices" /sys/bus/pci/devices
    if [ -d "$machine/sys/module" ]; then mount --bind "$machine/sys/module" /sys/module; fi
    if [ -d "$machine/proc/driver/nvidia" ]; then
        mount -t tmpfs none /proc/driver 2>/dev/null || true
        mkdir -p /proc/driver/nvidia && mount --bind "$machine/proc/driver/nvidia" /proc/driver/nvidia
    fi
    exec "$@"
' on-fixture "$machine" "$@"
