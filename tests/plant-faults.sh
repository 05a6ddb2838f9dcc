#!/usr/bin/env bash
# Judges the suite by planted faults: applies each fault of tests/plant-faults.list alone to a
# clean clone of the committed tree, rebuilds the default preset and runs the whole suite until
# its first failure. A fault the suite passes is missed. Not run by CI: it is a build and a suite
# run per fault. The clone stays in build/plant-faults for the next run.
# Usage: tests/plant-faults.sh [first-fault [last-fault]]   (1-based, as listed)
set -euo pipefail
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
list=$repo/tests/plant-faults.list
clone=$repo/build/plant-faults
first=${1:-1}
last=${2:-1000000}

if [ -d "$clone/.git" ]; then
    git -C "$clone" fetch -q "$repo" HEAD && git -C "$clone" reset -q --hard FETCH_HEAD
else
    git clone -q "$repo" "$clone"
fi
cd "$clone"
cmake --preset default >/dev/null

caught=0
missed=0
number=0
while IFS=$'\t' read -r file expression effect; do
    case $file in '' | '#'*) continue ;; esac
    number=$((number + 1))
    if [ "$number" -lt "$first" ] || [ "$number" -gt "$last" ]; then
        continue
    fi
    git checkout -q -- .
    sed -i -e "$expression" "$file"
    if git diff --quiet; then
        echo "fault $number: did not apply to $file" >&2
        exit 1
    fi
    if ! cmake --build --preset default >build.log 2>&1; then
        echo "fault $number: does not build ($effect)" >&2
        exit 1
    fi
    if ctest --preset default --stop-on-failure >test.log 2>&1; then
        missed=$((missed + 1))
        echo "MISSED $number: $effect ($file)"
    else
        caught=$((caught + 1))
        echo "caught $number: $effect, by $(sed -n -E 's/.*Test +#[0-9]+: ([^ ]+) .*\*\*\*.*/\1/p' test.log | head -n 1)"
    fi
done <"$list"
git checkout -q -- .
echo "caught $caught of $((caught + missed))"
