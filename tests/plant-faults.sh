#!/usr/bin/env bash
# Judges the suite by planted faults: applies each fault of tests/plant-faults.list alone to a
# copy of this tree, rebuilds the default preset and runs the whole suite until its first
# failure. A fault the suite passes is missed. Not run by CI: it is a rebuild and a suite run per
# fault. Build the default preset first: the copy takes its build folder along, and runs where
# the tree is, behind a private mount (unshare, so as root), so only what a fault touches
# rebuilds.
# Usage: tests/plant-faults.sh [first-fault [last-fault]]   (1-based, as listed)
set -euo pipefail
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
first=${1:-1}
last=${2:-1000000}
[ -f "$repo/build/default/build.ninja" ] || { echo "build the default preset first" >&2; exit 2; }

copy=$(mktemp -d "${TMPDIR:-/tmp}/plant-faults.XXXXXX")
trap 'rm -rf "$copy"' EXIT
# Modification times kept: the copy's build is as up to date as the tree's.
tar -C "$repo" --exclude=./build -cf - . | tar -C "$copy" -xf -
mkdir "$copy/build"
cp -a "$repo/build/default" "$copy/build/"

# shellcheck disable=SC2016 # expanded by the inner shell
unshare --mount -- bash -c '
set -euo pipefail
repo=$1 copy=$2 first=$3 last=$4
mount --bind "$copy" "$repo"
cd "$repo"
original=$(mktemp -d)
if ! ctest --preset default --stop-on-failure >"$original/test.log" 2>&1; then
    echo "the suite fails with no fault planted: see $original/test.log" >&2
    exit 1
fi
caught=0 missed=0 number=0
while IFS=$'"'\t'"' read -r file expression effect; do
    case $file in "" | "#"*) continue ;; esac
    number=$((number + 1))
    if [ "$number" -lt "$first" ] || [ "$number" -gt "$last" ]; then
        continue
    fi
    cp "$file" "$original/file"
    sed -i -e "$expression" "$file"
    if cmp -s "$file" "$original/file"; then
        echo "fault $number: did not apply to $file" >&2
        exit 1
    fi
    if ! cmake --build --preset default >"$original/build.log" 2>&1; then
        echo "fault $number: does not build ($effect)" >&2
        exit 1
    fi
    if ctest --preset default --stop-on-failure >"$original/test.log" 2>&1; then
        missed=$((missed + 1))
        echo "MISSED $number: $effect ($file)"
    else
        caught=$((caught + 1))
        by=$(sed -n -E "s/.*Test +#[0-9]+: ([^ ]+) .*\*\*\*.*/\1/p" "$original/test.log" | head -n 1)
        echo "caught $number: $effect, by $by"
    fi
    # A fresh modification time, so that the next build puts the original back.
    cat "$original/file" >"$file"
done <tests/plant-faults.list
echo "caught $caught of $((caught + missed))"
rm -rf "$original"
' plant-faults "$repo" "$copy" "$first" "$last"
