#!/bin/bash
# --scene-profile on a copy of the demo GameData: the title, the battle on
# the 100 x 100 stage entered and left twice, and every menu scene; each is
# built (built=1), every memory point is reported, and the run ends with 0.
set -u
QUOLIS=$1
GAMEDATA=$2
WORK=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$GAMEDATA/Stage/Stage.Dat" ] || fail "no demo GameData at $GAMEDATA"
rm -rf "$WORK" && mkdir -p "$WORK" || fail "scratch folder"
cp -r "$GAMEDATA" "$WORK/GameData" || fail "copy of the GameData"
"$QUOLIS" --headless --fixed-step --data "$WORK" --user-dir "$WORK/user" \
    --scene-profile 2 > "$WORK/out" 2>&1 || { cat "$WORK/out"; fail "the profile exited with an error"; }
out="$WORK/out"
for point in title battle-1-built battle-1-left battle-2-built battle-2-left end; do
    grep -Eq "^memory-report point=$point rss_kb=[0-9]+ peak_kb=[0-9]+$" "$out" \
        || { cat "$out"; fail "no memory figures at $point"; }
done
[ "$(grep -c '^scene-report scene=battle built=1 ' "$out")" = 2 ] || { cat "$out"; fail "the battle was not built twice"; }
[ "$(grep -c '^scene-report scene=hub-after-battle built=1 ' "$out")" = 2 ] || { cat "$out"; fail "the hub did not follow each battle"; }
for scene in hub status levelup fusion regen discard stageevent; do
    grep -Eq "^scene-report scene=$scene built=1 leave_ms=[0-9.]+ build_ms=[0-9.]+ " "$out" \
        || { cat "$out"; fail "the $scene scene was not built"; }
done
! grep -q 'built=0' "$out" || { cat "$out"; fail "a scene failed to build"; }
# The battle was played up to the free cursor before it was left: the
# memory after it is at least what the title held.
title=$(sed -n 's/^memory-report point=title rss_kb=\([0-9]*\).*/\1/p' "$out")
built=$(sed -n 's/^memory-report point=battle-1-built rss_kb=\([0-9]*\).*/\1/p' "$out")
[ "$built" -gt "$title" ] || { cat "$out"; fail "the battle holds no memory beyond the title"; }
grep '^scene-report scene=battle' "$out" | head -1
