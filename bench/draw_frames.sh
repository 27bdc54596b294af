#!/usr/bin/env bash
# The pacing of the draw's frames on a 1920 × 1080 screen (Xvfb): runs a normal draw and a simple
# draw of the sample roster with MIRDA_FRAME_LOG, and prints the paint time and the pacing error
# (painted − due) at the 50th and 99th percentiles. With a number of phones, they follow their
# cards from the draw screen meanwhile. Usage: bench/draw_frames.sh [draws] [phones]
set -euo pipefail
cd "$(dirname "$0")/.."
runner=build/cmake/bench/draw_run
[ -x "$runner" ] || { echo "build first: ./scripts/build" >&2; exit 1; }
draws=${1:-2}
phones=${2:-0}
out=$(mktemp -d)
for kind in normal simple; do
    flag=""
    [ "$kind" = simple ] && flag=--simple
    MIRDA_FRAME_LOG="$out/$kind.tsv" xvfb-run -a -s "-screen 0 1920x1080x24" \
        "$runner" --draws "$draws" --size 1920x1080 --phones "$phones" $flag >/dev/null 2>&1
done
python3 - "$out" <<'PY'
import sys, statistics
def pct(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100 * (len(values) - 1))))]
for kind in ("normal", "simple"):
    rows = [l.split("\t") for l in open(f"{sys.argv[1]}/{kind}.tsv").read().splitlines()[1:]]
    paint = [int(r[2]) / 1000 for r in rows]
    error = [(int(r[1]) - int(r[0])) / 1000 for r in rows]
    print(f"{kind:6} draw: {len(rows):4} frames  paint p50 {pct(paint, 50):5.2f} ms  p99 {pct(paint, 99):5.2f} ms"
          f"  pacing error p50 {pct(error, 50):5.2f} ms  p99 {pct(error, 99):5.2f} ms")
PY
rm -rf "$out"
