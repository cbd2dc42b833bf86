#!/bin/bash
# --autoplay from the first frame: the built-in player answers the title's
# button row with はじめから through the keyboard queue, and the game goes
# from the title (scene 1) into the prologue (scene 2). Two runs with the
# same seed on the fixed step give the same trace line for line.
set -u
QUOLIS=$1
GAMEDATA=$2
WORK=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$GAMEDATA/Data/Data.Dat" ] || fail "no demo GameData at $GAMEDATA"
rm -rf "$WORK" && mkdir -p "$WORK" || fail "scratch folder"
for run in a b; do
    mkdir -p "$WORK/$run" && cp -r "$GAMEDATA" "$WORK/$run/GameData" || fail "copy of the GameData"
    "$QUOLIS" --headless --fixed-step --data "$WORK/$run" --user-dir "$WORK/$run/user" \
        --autoplay --seed 1046873220 --trace --frames 1500 > "$WORK/$run.out" 2>&1 \
        || { cat "$WORK/$run.out"; fail "run $run exited with an error"; }
    grep '^trace ' "$WORK/$run.out" > "$WORK/$run.trace"
done
grep -Eq '^trace [0-9]+ scene 1 -> 2$' "$WORK/a.trace" || { cat "$WORK/a.out"; fail "the title never led to the prologue"; }
cmp -s "$WORK/a.trace" "$WORK/b.trace" || { diff "$WORK/a.trace" "$WORK/b.trace" | head; fail "two runs with one seed differ"; }
echo "autoplay: title -> prologue in $(grep -E 'scene 1 -> 2' "$WORK/a.trace" | cut -d' ' -f2) passes"
