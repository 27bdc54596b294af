#!/usr/bin/env bash
# Hostile and large files through ﾌｧｲﾙ → インポート (Xvfb, 1920 × 1080), each import in a process of
# its own so that its peak memory is its own: time until the dialog shows the table or the file is
# refused, peak resident memory above idle, the longest gap between two paints of the window
# behind the dialog. The files are made once in FOLDER.
# Usage: bench/transfer_hostile.sh [runs] [folder] [kind...]
set -euo pipefail
cd "$(dirname "$0")/.."
runner=build/cmake/bench/transfer_run
[ -x "$runner" ] || { echo "build first: ./scripts/build" >&2; exit 1; }
runs=${1:-3}
folder=${2:-/tmp/mirda-transfer-files}
shift $(( $# > 2 ? 2 : $# ))
kinds=("$@")
if [ ${#kinds[@]} -eq 0 ]; then
    read -r -a kinds <<< "$("$runner" 2>&1 | sed -n 's/^kinds: //p')"
fi
mkdir -p "$folder"
for kind in "${kinds[@]}"; do
    [ -f "$folder/$kind" ] || "$runner" make "$kind" "$folder/$kind"
    for _ in $(seq "$runs"); do
        xvfb-run -a -s "-screen 0 1920x1080x24" "$runner" import "$folder/$kind"
    done
done
