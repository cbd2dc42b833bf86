#!/bin/bash
# Screenshots of the scenes between battles on a copy of the demo GameData
# whose battles are won at once: the menu hub of each block (from saves made
# here), the status screen, an opening event's message box, the stage-clear
# choice after the first stage and two blocks of the staff roll after the
# last. Each run is a replay with the fixed
# clock step; its summary line says where it ended, which is checked, so a
# shot that would show the wrong screen fails instead.
# Usage: between_screens.sh QUOLIS DATPACK WORK SOURCE_DIR, with GAME the
# folder holding the demo GameData and PREVIEW the folder for the PNGs.
set -u
QUOLIS=$1
DATPACK=$2
WORK=$3
SOURCE=$4
GAME=${GAME:?GAME names the copy of the demo GameData}
PREVIEW=${PREVIEW:?PREVIEW names the screenshot folder}
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$WORK" && mkdir -p "$WORK/data/Data" "$PREVIEW" || fail "scratch folder"
cp "$SOURCE"/content/Data/*.Dat "$WORK/data/Data/" || fail "tables"
sed -i 's/^FLAG_BATTLE 1/FLAG_BATTLE 0/' "$WORK/data/Data/Setting.Dat"
"$DATPACK" pack --text "$GAME/GameData/Data/Data.Dat" "$WORK/data" || fail "datpack"
printf 'FirstPlay 0\nGameSpeed 1\nEnableFPS 0\nEnableMusic 1\nEnableSE 1\n' > "$WORK/User.ini"
"$DATPACK" encode-file "$WORK/User.ini" "$GAME/GameData/Ini/UserE.ini" || fail "User.ini"
# Slots 1 to 5: the first stage of each block, and the last stage.
slot=1
for stage in BlockA1 BlockB1 BlockC1 BlockD1 BlockD2; do
    sed "s/^BlockA1.Dat 0/$stage.Dat 0/" "$SOURCE/content/Save/Init.Dat" > "$WORK/Save$slot.Dat"
    "$DATPACK" encode-file "$WORK/Save$slot.Dat" "$GAME/GameData/Save/Save${slot}E.Dat" || fail "save"
    slot=$((slot + 1))
done

SPACE=57 DOWN=208
# Replay lines: key PASS CODE (down at PASS, up four passes later).
key() { printf '%d E 0 1 %d 1 0 0 0\n%d E 0 1 %d 0 0 0 0\n' "$1" "$2" $(($1 + 4)) "$2"; }
# つづきから at pass 100, then slot N of the load list (the cursor starts on
# "←"): the hub of that save is up by pass 340.
load() {
    local n=$1 pass=110 i
    key 100 $SPACE
    for ((i = 0; i < n; i++)); do
        key $pass $DOWN
        pass=$((pass + 10))
    done
    key $pass $SPACE
}
# Space every 12 passes from FIRST to LAST: reads scripts and takes the first
# item of every menu.
spaces() {
    local p
    for ((p = $1; p <= $2; p += 12)); do key $p $SPACE; done
}
run() { # name, key lines, last pass, expected "scene S at step C", screenshots
    local name=$1 text=$2 end=$3 expect=$4
    shift 4
    { echo 'quolis-input 1'; echo "$text" | grep -v '^$' | sort -n -s -k1,1; echo "end $end"; } \
        > "$WORK/$name.rec"
    "$QUOLIS" --headless --fixed-step --seed 1 --data "$GAME" --replay "$WORK/$name.rec" "$@" \
        > "$WORK/$name.out" 2> "$WORK/$name.err" || { cat "$WORK/$name.err" >&2; fail "$name"; }
    grep -q "ended in scene $expect " "$WORK/$name.out" || \
        { cat "$WORK/$name.out" >&2; fail "$name: not in scene $expect"; }
}

# The hub of each block.
for b in A B C D; do
    n=$(( $(printf '%d' "'$b") - 64 ))
    run "hub$b" "$(load $n)" 360 "3 at step -10000" --screenshot "359:$PREVIEW/hub_block$b.png"
done
# The status screen from the hub of block C: ステータス is the second button.
run status "$(load 3; key 360 $DOWN; key 370 $SPACE)" 560 "6 at step 100" \
    --screenshot "559:$PREVIEW/status.png"
# 次の戦闘へ on the first stage: the opening event's message box.
run event "$(load 1; key 360 $SPACE)" 560 "5 at step -1010" \
    --screenshot "559:$PREVIEW/stage_event.png"
# The stage-clear choice after the first stage: 次の戦闘へ, the opening event,
# the battle won at once, the closing event read to its end; the choice is up
# from pass 1830 (the next space would take its first item).
run choice "$(load 1; key 360 $SPACE; spaces 372 1824)" 1860 "5 at step -3010" \
    --screenshot "1859:$PREVIEW/stage_clear_choice.png"
# The staff roll after the last stage: its blocks follow 255 passes apart,
# each fully shown for 126 passes; the first (the title) and the seventh
# (the music's providers, four lines).
run staffroll "$(load 5; key 360 $SPACE; spaces 372 3400)" 5170 "11 at step 5010" \
    --screenshot "3630:$PREVIEW/staff_roll_1.png" --screenshot "5160:$PREVIEW/staff_roll_7.png"
echo ok
