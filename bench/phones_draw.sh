#!/usr/bin/env bash
# A normal draw of the sample roster at 1920 × 1080 (Xvfb) without phones, and while 300 phones
# follow their cards from the draw screen and 20 more addresses ask for a card's card.json as
# fast as the answers come: the time from Space to the panel (median and each draw) and the pacing
# error of the frames (painted − due) at the 50th and 99th percentiles. Both runs draw the same
# participants in the same order (a fixed seed), so their times compare draw by draw.
# Usage: bench/phones_draw.sh [draws] [phones] [flood]
set -euo pipefail
cd "$(dirname "$0")/.."
runner=build/cmake/bench/draw_run
[ -x "$runner" ] || { echo "build first: ./scripts/build" >&2; exit 1; }
draws=${1:-5}
phones=${2:-300}
flood=${3:-20}
out=$(mktemp -d)
for run in quiet phones; do
    args=(--draws "$draws" --size 1920x1080)
    [ "$run" = phones ] && args+=(--phones "$phones" --flood "$flood")
    MIRDA_FRAME_LOG="$out/$run.tsv" xvfb-run -a -s "-screen 0 1920x1080x24" \
        "$runner" "${args[@]}" >"$out/$run.txt" 2>/dev/null
done
python3 - "$out" "$phones" "$flood" <<'PY'
import sys, statistics
def pct(values, p):
    values = sorted(values)
    return values[min(len(values) - 1, int(round(p / 100 * (len(values) - 1))))]
out, phones, flood = sys.argv[1:]
for run in ("quiet", "phones"):
    lines = open(f"{out}/{run}.txt").read().splitlines()
    spans = [int(l.split()[3]) for l in lines if l.startswith("space to panel:")]
    rows = [l.split("(")[1].rstrip(")") for l in lines if l.startswith("space to panel:")]
    frames = [l.split("\t") for l in open(f"{out}/{run}.tsv").read().splitlines()[1:]]
    error = [(int(f[1]) - int(f[0])) / 1000 for f in frames]
    label = "no phones" if run == "quiet" else f"{phones} phones + card.json flood from {flood} addresses"
    print(f"{label}: space to panel median {statistics.median(spans):.0f} ms ({', '.join(map(str, spans))});"
          f" pacing error p50 {pct(error, 50):.2f} ms p99 {pct(error, 99):.2f} ms ({len(frames)} frames)")
    print("  drawn: " + "; ".join(rows))
    for l in lines:
        if l.startswith(("phones following", "phone frames")):
            print("  " + l)
PY
rm -rf "$out"
