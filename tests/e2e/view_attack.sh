#!/bin/bash
# The attack viewer on the demo GameData: `--view-attack ２０ｍｍキャノン --strip`
# plays the cannon once and writes its moments side by side: the opening, the
# frame of the hit (an explosion and the red damage number over the target)
# and the end. A creature type that does not exist leaves empty models, and
# the attack still ends. Options of the viewer are refused without it.
set -u
QUOLIS=$1
GAME=$2
WORK=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
HERE=$(cd "$(dirname "$0")" && pwd)

rm -rf "$WORK" && mkdir -p "$WORK/strip" "$WORK/empty" || fail "scratch folder"

"$QUOLIS" --hp 5 2> "$WORK/stderr.txt" && fail "--hp without --view-attack must be refused"

"$QUOLIS" --headless --fixed-step --data "$GAME" --view-attack ２０ｍｍキャノン \
    --strip "$WORK/strip" 2> "$WORK/stderr.txt" || { cat "$WORK/stderr.txt" >&2; fail "viewer run failed"; }
[ -s "$WORK/strip/attack_08.png" ] || fail "no strip of the cannon"

"$QUOLIS" --headless --fixed-step --data "$GAME" --view-attack ２０ｍｍキャノン --attacker Nobody \
    --strip "$WORK/empty" 2> "$WORK/stderr.txt" || fail "viewer with a missing type failed"
grep -q 'no creature type' "$WORK/stderr.txt" || fail "a missing type is not reported"
[ -s "$WORK/empty/attack_08.png" ] || fail "the attack with empty models did not end"

python3 - "$HERE" "$WORK/strip/attack_08.png" <<'PY' || fail "pixel check"
import sys
sys.path.insert(0, sys.argv[1])
from png_pixels import read_png
w, h, rows = read_png(sys.argv[2])
assert h == 300 and w % 400 == 0 and w >= 1200, f'strip of {w} x {h}'
def count(t, test):
    return sum(1 for y in range(h) for x in range(t * 400, t * 400 + 400) if test(rows[y][x]))
bright = lambda p: p[0] > 230 and p[1] > 200
red = lambda p: p[0] > 200 and p[1] < 60 and p[2] < 60
floor = lambda p: p[1] > p[0] + 10 # the grass cells
assert count(0, floor) > 1000, 'no floor in the opening frame'
assert count(0, bright) == 0, 'an explosion before the hit'
assert count(1, bright) > 50, 'no explosion in the frame of the hit'
assert count(1, red) > 20, 'no damage number in the frame of the hit'
PY
echo "view attack ok"
