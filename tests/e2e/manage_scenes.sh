#!/bin/bash
# The squad management scenes on a copy of the demo GameData, driven by
# replays through the real input path with the fixed clock step. Each run
# loads a prepared save (tests/e2e/saves, scrambled with datpack encode-file
# into slot 1) from the title, walks through the menu hub into a scene, and
# the written save is read back with `qinspect save`:
#  1. level up: 250 BP into ウルフ1 in three presses, overwrite-save;
#  2. fusion of two level-15 creatures, then regeneration of the core;
#  3. discard of a core;
#  refusals: a squad of three cannot fuse nor lose a creature; with nine
#  cores the tenth cannot be made when the discard is declined; a creature
#  above its cap is refused; regeneration without a core ends at once. A run that ends without saving leaves slot 1
#  byte for byte as it was.
# With PREVIEW=folder the runs also write screenshots of the scenes there.
set -u
QUOLIS=$1
DATPACK=$2
QINSPECT=$3
GAMEDATA=$4 # the demo GameData folder of the build
WORK=$5
SAVES=$(dirname "$0")/saves
PREVIEW=${PREVIEW:-}
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$WORK" && mkdir -p "$WORK/game" || fail "scratch folder"
cp -r "$GAMEDATA" "$WORK/game/GameData" || fail "copy of the demo GameData"
rm -rf "$WORK/game/GameData/Save/"Save*E.Dat
mkdir -p "$WORK/game/GameData/Ini"
# datpack reads regular files only (it reads by offset), so the settings go
# through a file of the scratch folder rather than a pipe.
echo "FirstPlay 0 GameSpeed 1 EnableFPS 0 EnableMusic 1 EnableSE 1" > "$WORK/User.ini"
"$DATPACK" encode-file "$WORK/User.ini" "$WORK/game/GameData/Ini/UserE.ini" || fail "User.ini"

SPACE=57 CANCEL=48 UP=200 DOWN=208 LEFT=203 RIGHT=205
# A plan is a list of "GAP KEY" pairs: KEY goes down GAP passes after the
# previous key went down and up four passes later. "GAP end" ends the run.
replay() {
    local pass=0 gap key
    echo "quolis-input 1"
    while read -r gap key; do
        [ -z "$gap" ] && continue
        pass=$((pass + gap))
        if [ "$key" = end ]; then
            echo "end $pass"
            return
        fi
        printf '%d E 0 1 %d 1 0 0 0\n%d E 0 1 %d 0 0 0 0\n' $pass "$key" $((pass + 4)) "$key"
    done
}
# Title → つづきから → slot 1 → the menu hub, then from its first button
# down to button N (3 レベルアップ, 4 合成, 5 再生, 6 廃棄) and decide; the
# scene has faded in 250 passes later.
hub_button() {
    local n=$1 i
    printf '%s\n' "130 $SPACE" "40 $DOWN" "20 $SPACE" "250 $DOWN"
    for ((i = 3; i <= n; i++)); do echo "15 $DOWN"; done
    echo "15 $SPACE"
}
run() { # name, save file, plan, extra options
    local name=$1 save=$2 plan=$3
    shift 3
    "$DATPACK" encode-file "$SAVES/$save" "$WORK/game/GameData/Save/Save1E.Dat" || fail "$name: save"
    cp "$WORK/game/GameData/Save/Save1E.Dat" "$WORK/$name.before"
    printf '%s\n' "$plan" | replay > "$WORK/$name.rec"
    "$QUOLIS" --headless --fixed-step --seed 1 --trace --data "$WORK/game" --replay "$WORK/$name.rec" "$@" \
        > "$WORK/$name.out" 2> "$WORK/$name.err"
    local status=$?
    [ $status -eq 0 ] || { cat "$WORK/$name.err" >&2; fail "$name: exit status $status"; }
    "$QINSPECT" save "$WORK/game/GameData/Save/Save1.Dat" "$WORK/game/GameData" \
        > "$WORK/$name.json" || fail "$name: qinspect"
}
shot() { [ -n "$PREVIEW" ] && echo "--screenshot $1:$PREVIEW/$2.png"; }
ended() { # name, expected summary
    grep -q "ended in scene $2 " "$WORK/$1.out" || { tail -5 "$WORK/$1.out" >&2; fail "$1: not $2"; }
}
# The trace of a run shows (or never shows) scene S at step C.
# reached NAME S C [N]: at least N times (1 unless told).
reached() {
    [ "$(grep -c "^trace [0-9]* step $2 $3\$" "$WORK/$1.out")" -ge "${4:-1}" ] ||
        fail "$1: scene $2 not ${4:-1} times at step $3"
}
never() { ! grep -q "^trace [0-9]* step $2 $3\$" "$WORK/$1.out" || fail "$1: scene $2 at step $3"; }
unchanged() {
    cmp -s "$WORK/$1.before" "$WORK/game/GameData/Save/Save1E.Dat" || fail "$1: the save changed"
}
# check NAME PYTHON-EXPRESSION over the save as `s` (squad and cores by name).
check() {
    python3 - "$WORK/$1.json" "$2" <<'PY' || fail "$1: $2"
import json, sys
s = json.load(open(sys.argv[1]))
s["squadByName"] = {c["name"]: c for c in s["squad"]}
s["coresByName"] = {c["name"]: c for c in s["cores"]}
if not eval(sys.argv[2]):
    print(json.dumps(s, ensure_ascii=False, indent=1), file=sys.stderr)
    sys.exit(1)
PY
}

# Passes from the end of the last key to a screenshot.
at() { awk -v extra="$2" '{p += $1} END {print p + extra}' <<<"$1"; }

# 1. Level up: ウルフ1 (level 3, 174 invested) with ホーネット1 and ライノ1 at
# level 5 has the cap 8; NeedBP row 7 is 424, so 250 BP reach it: three
# presses give 100, 200, 250. The result: five levels, ダブルブレード learnt
# (three messages), then cancel, "上書きセーブする".
plan="$(hub_button 3)
250 $SPACE
60 $SPACE
20 $UP
10 $UP
10 $UP"
shot_amount=$(at "$plan" 20)
plan="$plan
30 $SPACE
120 $SPACE
60 $SPACE
60 $SPACE
60 $CANCEL
30 $DOWN
15 $SPACE
250 end"
run levelup levelup.txt "$plan" $(shot "$shot_amount" levelup)
ended levelup "3 at step"
check levelup 's["BPPool"] == 750'
check levelup 's["squadByName"]["ウルフ1"]["level"] == 8 and s["squadByName"]["ウルフ1"]["BP"] == 424'
check levelup '"ダブルブレード" in s["squadByName"]["ウルフ1"]["metalArms"]'
check levelup 's["squadByName"]["ライノ1"]["level"] == 5'

# 2. Fusion of ウルフ1 and ウルフ2 (level 15) into the core ウルフ3, leaving
# two creatures (the entry check then ends the scene: three messages), no
# save; then regeneration of ウルフ3 in the hub's block B (room for five),
# the empty case ends the scene, "上書きセーブする".
plan="$(hub_button 4)
250 $SPACE"
shot_fusion=$(at "$plan" 10)
plan="$plan
20 $SPACE
40 $SPACE
20 $SPACE
160 $SPACE
60 $SPACE
60 $SPACE
60 $SPACE
30 $SPACE
250 $DOWN
15 $DOWN
15 $DOWN
15 $DOWN
15 $SPACE"
shot_regen=$(at "$plan" 240)
plan="$plan
250 $SPACE
20 $SPACE
160 $SPACE
160 $SPACE
60 $SPACE
30 $DOWN
15 $SPACE
250 end"
run fusion fusion.txt "$plan" $(shot "$shot_fusion" fusion) $(shot "$shot_regen" regeneration)
ended fusion "3 at step"
check fusion 'len(s["squad"]) == 3 and s["cores"] == []'
check fusion 'set(s["squadByName"]) == {"ウルフ3", "ホーネット1", "ライノ1"}'
check fusion 's["squadByName"]["ウルフ3"]["level"] == 1 and s["squadByName"]["ウルフ3"]["fusionCount"] == 1'
check fusion 's["squadByName"]["ウルフ3"]["level2"] == 20 and s["squadByName"]["ウルフ3"]["BP"] == 1080'
check fusion 's["numbers"]["ＱＬ－１"] == 3'

# 3. Discard: the core ホーネット4, then a creature of the squad of three is
# refused; キャンセル, "上書きセーブする".
plan="$(hub_button 6)
250 $DOWN
15 $SPACE"
shot_discard=$(at "$plan" 20)
plan="$plan
40 $SPACE
60 $SPACE
40 $SPACE
20 $SPACE
60 $SPACE
40 $DOWN
15 $DOWN
15 $SPACE
30 $DOWN
15 $SPACE
250 end"
run discard three.txt "$plan" $(shot "$shot_discard" discard)
ended discard "3 at step"
check discard 's["cores"] == [] and len(s["squad"]) == 3'

# Refusals, each left without saving: slot 1 stays byte for byte.
# A squad of three cannot fuse (three messages).
plan="$(hub_button 4)
250 $SPACE
60 $SPACE
60 $SPACE
30 $SPACE
250 end"
run nofusion three.txt "$plan"
ended nofusion "3 at step"
unchanged nofusion
# Level up: ウルフ1 at level 15 beside ウルフ2 (15) and ライノ1 (5) has the
# cap 13 and is refused (two messages), then cancel, "セーブしない".
plan="$(hub_button 3)
250 $SPACE
60 $SPACE
60 $SPACE
60 $CANCEL
30 $SPACE
250 end"
run nolevelup three.txt "$plan"
ended nolevelup "3 at step"
reached nolevelup 7 100 2 # the choice again after the refusal
never nolevelup 7 290   # no amount asked
unchanged nolevelup
# Regeneration without a core ends at once (two messages), then "セーブしない".
plan="$(hub_button 5)
250 $SPACE
60 $SPACE
60 $SPACE
250 end"
run noregeneration levelup.txt "$plan"
ended noregeneration "3 at step"
reached noregeneration 9 190
never noregeneration 9 200 # no core list
unchanged noregeneration
# Nine cores and the discard declined: no tenth core.
plan="$(hub_button 4)
250 $SPACE
30 $DOWN
15 $SPACE
60 $SPACE
30 $SPACE
250 end"
run ninecores ninecores.txt "$plan"
ended ninecores "3 at step"
unchanged ninecores
echo "ok"
