#!/usr/bin/env bash
# Phones following their cards over loopback: the delay from a panel opening to each phone and the
# server's CPU time per panel, for 300 phones (5 × 5 and 9 × 9 cards) and 1,000 phones (5 × 5).
# Usage: bench/phones_load.sh [panels]
set -euo pipefail
cd "$(dirname "$0")/.."
runner=build/cmake/bench/phones_load
[ -x "$runner" ] || { echo "build first: ./scripts/build" >&2; exit 1; }
panels=${1:-100}
for side in 5 9; do
    "$runner" --phones 300 --panels "$panels" --side "$side"
done
"$runner" --phones 1000 --panels "$panels" --side 5
