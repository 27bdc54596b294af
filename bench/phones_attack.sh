#!/usr/bin/env bash
# The phone server's resident memory under every attack of docs/phones-threat-model.md, each run
# for a few seconds from loopback addresses of its own: idle, and the peak above idle per attack.
# Usage: bench/phones_attack.sh [seconds per attack]
set -euo pipefail
cd "$(dirname "$0")/.."
server=build/cmake/bench/phones_serve
[ -x "$server" ] || { echo "build first: ./scripts/build" >&2; exit 1; }
python3 bench/phones_attack.py "$server" "${1:-8}"
