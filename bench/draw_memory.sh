#!/usr/bin/env bash
# Memory of the draw screen over many draws (Xvfb, 1920 × 1080): 300 participants with
# 12-megapixel photos, an 18 × 12 grid, simple draws. Prints the resident and peak memory after
# each draw. Usage: bench/draw_memory.sh [draws] [photo folder]
set -euo pipefail
cd "$(dirname "$0")/.."
runner=build/cmake/bench/draw_run
[ -x "$runner" ] || { echo "build first: ./scripts/build" >&2; exit 1; }
draws=${1:-20}
photos=${2:-/tmp/mirda-large-photos}
xvfb-run -a -s "-screen 0 1920x1080x24" "$runner" --simple --draws "$draws" --grid 18x12 --large "$photos"
