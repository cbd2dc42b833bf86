#!/bin/bash
# Battles played headless by replays with the fixed clock step, on a copy of
# the demo GameData with a tiny test stage (`--battle FILE` starts a new
# campaign straight in the battle):
#  1. FLAG_BATTLE 0 wins at once; the BP enter the pool, "セーブして次のステージへ"
#     writes slot 1, and `qinspect save` reads the pool and the squad back;
#  2. the player moves a unit and attacks after the move, ends the turn, and
#     the enemy's turn runs (seen in the step trace);
#  3. pausing during an attack and choosing "ゲームに戻る" resumes the attack;
#  4. a defeat offers "リトライ" first and the retry starts the battle again.
# With PREVIEW=folder the runs also write screenshots there.
set -u
QUOLIS=$1
DATPACK=$2
QINSPECT=$3
GAMEDATA=$4
WORK=$5
PREVIEW=${PREVIEW:-}
HERE=$(cd "$(dirname "$0")" && pwd)
SRC=$(cd "$HERE/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -d "$GAMEDATA" ] || fail "no demo GameData at $GAMEDATA"
rm -rf "$WORK" && mkdir -p "$WORK/data/Data" "$WORK/stage" "$WORK/game" || fail "scratch folder"
cp -r "$GAMEDATA" "$WORK/game/GameData" || fail "copy GameData"
rm -rf "$WORK/game/GameData/Ini" "$WORK/game/GameData/Save"/Save*

setting() { # FLAG_BATTLE
    cp "$SRC"/content/Data/*.Dat "$WORK/data/Data/" || fail "tables"
    cat > "$WORK/data/Data/Setting.Dat" <<DAT
FLAG_MSG 0
FLAG_BATTLE $1
FLAG_ALWAYSCORE 0
SPEED_CHARAMOVE 0.3
SPEED_CAMERAMOVE 0.3
SPEED_CAMERAMOVE2 0.3
SPEED_VARY 0.3
SPEED_SLIDE 0.3
SPEED_MESHANIME 1
SPEED_FADE 32
SPEED_FADEVOLUME 200
SPEED_WIPE 0.3
SPEED_EFFECT 1
DAT
    "$DATPACK" pack --text "$WORK/game/GameData/Data/Data.Dat" "$WORK/data" >/dev/null ||
        fail "datpack data"
}

# A 4 x 4 field: the squad on the bottom row, one enemy two cells above the
# first unit (so it has to move to attack), another far away.
cp "$SRC"/content/Stage/*.Dat "$WORK/stage/" || fail "stages"
stage() { # file, enemy level, enemy line 2 row
    cat > "$WORK/stage/$1" <<STAGE
／／ステージ情報
ステージ名 テスト
ステージ名２ 試験場
ステージ番号 1
ステージＸファイル名 Nothing
位置 0 0 0
アングル 0 0 0
初期カメラアングル 0
次のステージファイル BlockA2.Dat
ＯＰストーリーファイル Nothing
ＥＤストーリーファイル Nothing
味方ＢＧＭ Battle1.mid
敵ＢＧＭ Enemy1.mid
イベントボーナス 40
アドプレイス情報 ／／ 試験場 ／／
ネクストサイクル情報 次へ
／／ステージ情報終わり
／／敵情報
／／ 名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル $2 アングル down 位置 a ／／
／／ 名前 野良Ｂ タイプ ＱＬ－２Ｅ 合成回数 0 レベル $2 アングル down 位置 b ／／
／／敵情報終わり
フロアサイズ 4 4
／／フロアテクスチャ情報
1111
1111
1111
1111
／／フロアテクスチャ情報終わり
／／フロアオブジェクト情報
0000
0000
0000
0000
／／フロアオブジェクト情報終わり
／／フロア高低情報
1111
1111
1111
1111
／／フロア高低情報終わり
／／キャラ位置情報
$3
a...
....
ABC.
／／キャラ位置情報終わり
／／初期アングル情報
0000
0000
2222
2222
／／初期アングル情報終わり
STAGE
}
stage Tiny.Dat 1 "...b"
stage Strong.Dat 99 "..b."
"$DATPACK" pack --text "$WORK/game/GameData/Stage/Stage.Dat" "$WORK/stage" >/dev/null ||
    fail "datpack stages"

# Replay lines: key PASS CODE (down at PASS, up two passes later).
key() { printf '%d E 0 1 %d 1 0 0 0\n%d E 0 1 %d 0 0 0 0\n' "$1" "$2" $(($1 + 2)) "$2"; }
run() { # name, replay text, extra options
    local name=$1 text=$2
    shift 2
    printf 'quolis-input 1\n%s\n' "$text" | grep -v '^$' > "$WORK/$name.rec"
    "$QUOLIS" --headless --fixed-step --seed 1 --trace --data "$WORK/game" --replay "$WORK/$name.rec" "$@" \
        > "$WORK/$name.out" 2> "$WORK/$name.err"
    local status=$?
    [ $status -eq 0 ] || { cat "$WORK/$name.err" >&2; fail "$name: exit status $status"; }
}
shot() { [ -n "$PREVIEW" ] && echo "--screenshot $1:$PREVIEW/$2.png"; }
# The first pass at which the battle reached step CODE (after pass FROM).
pass_of() { # name code [from]
    awk -v c="$2" -v f="${3:-0}" '$1 == "trace" && $3 == "step" && $4 == 4 && $5 == c && $2 >= f { print $2; exit }' "$WORK/$1.out"
}
SPACE=57 B=48 P=25 UP=200 DOWN=208 LEFT=203 RIGHT=205

# 1. FLAG_BATTLE 0: the victory at once, the figures, the next-stage menu;
#    "セーブして次のステージへ" into slot 1.
setting 0
run probe "end 400" --battle Tiny.Dat
MSG=$(pass_of probe -1010)
[ -n "$MSG" ] || { cat "$WORK/probe.out" >&2; fail "no victory message"; }
WON="$(key $((MSG + 5)) $SPACE; key $((MSG + 15)) $SPACE; key $((MSG + 25)) $SPACE)"
run probe "$WON
end 900" --battle Tiny.Dat
MENU=$(pass_of probe -3010)
[ -n "$MENU" ] || { cat "$WORK/probe.out" >&2; fail "no next-stage menu"; }
run victory "$WON
$(key $((MENU + 5)) $DOWN; key $((MENU + 10)) $SPACE; key $((MENU + 40)) $DOWN; key $((MENU + 45)) $SPACE)
end $((MENU + 200))" --battle Tiny.Dat $(shot $((MENU + 2)) battle_menu)
grep -q "ended in scene 3 " "$WORK/victory.out" || { cat "$WORK/victory.out" >&2; fail "victory: not in the menu hub"; }
SAVE="$WORK/game/GameData/Save/Save1E.Dat"
[ -s "$SAVE" ] || fail "slot 1 not written"
# Read with the game's tables, so that every creature's type resolves: the
# squad of three comes back whole, each with its model and its HP.
POOL=$("$QINSPECT" save "$SAVE" "$WORK/game/GameData" | python3 -c '
import json, sys
s = json.load(sys.stdin)
squad = s["squad"]
assert len(squad) == 3 and all(c["modelFolder"] and c["maxHP"] > 0 for c in squad), squad
print(s["BPPool"])') || fail "qinspect save"
[ "$POOL" = 340 ] || fail "BP pool $POOL, expected 300 + 40"

# 2. Move and attack, then the turn's end and the enemy's turn.
setting 1
run probe2 "end 900" --battle Tiny.Dat
FREE=$(pass_of probe2 200)
[ -n "$FREE" ] || { cat "$WORK/probe2.out" >&2; fail "no free cursor"; }
# Select the first unit, "移動", one cell up, decide; then "攻撃", the first
# command, the enemy above, decide.
T=$((FREE + 5))
MOVE="$(key $T $SPACE; key $((T + 6)) $SPACE; key $((T + 12)) $UP; key $((T + 18)) $SPACE)"
run probe3 "$MOVE
end $((T + 600))" --battle Tiny.Dat --screenshot $((FREE + 2)):"$WORK/panel.png"
MENU2=$(pass_of probe3 2100 "$T")
[ -n "$MENU2" ] || { cat "$WORK/probe3.out" >&2; fail "no attack menu after the move"; }
A=$((MENU2 + 5))
ATTACK="$(key $A $SPACE; key $((A + 6)) $SPACE; key $((A + 12)) $UP; key $((A + 18)) $SPACE)"
run probe4 "$MOVE
$ATTACK
end $((A + 1500))" --battle Tiny.Dat $(shot $((T + 16)) battle_move_area) $(shot $((A + 16)) battle_attack_area) \
    --screenshot $((T + 16)):"$WORK/move.png" --screenshot $((A + 16)):"$WORK/attack.png"
# What the pictures prove: the move area is blue, the attack area red, and
# the left panel shows the unit's text (white on its dark blue window).
python3 - "$WORK" "$HERE" <<'PY' || fail "battle screenshots"
import sys
sys.path.insert(0, sys.argv[2])
from png_pixels import read_png
work = sys.argv[1]
def count(name, test, box=None):
    w, h, rows = read_png(f"{work}/{name}.png")
    x0, y0, x1, y1 = box or (0, 0, w, h)
    return sum(1 for y in range(y0, y1) for x in range(x0, x1) if test(*rows[y][x]))
blue = count("move", lambda r, g, b: b > r + 60 and b > g + 60)
red = count("attack", lambda r, g, b: r > g + 60 and r > b + 60)
red_in_move = count("move", lambda r, g, b: r > g + 60 and r > b + 60)
white = count("panel", lambda r, g, b: min(r, g, b) > 200, (40, 380, 350, 530))
panel = count("panel", lambda r, g, b: b > r + 40 and b > g + 40, (40, 380, 350, 530))
print(f"blue {blue} red {red} red-in-move {red_in_move} panel text {white} panel blue {panel}")
assert blue > 5000, "no blue move area"
assert red > 5000, "no red attack area"
assert red_in_move * 10 < blue, "the move area is not blue"
assert white > 300, "no text in the left panel"
assert panel > 20000, "no left panel"
PY
BACK=$(pass_of probe4 200 "$A")
[ -n "$BACK" ] || { cat "$WORK/probe4.out" >&2; fail "the attack never ended"; }
pass_of probe4 2600 "$A" | grep -q . || fail "no attack played"
E=$((BACK + 5))
run turn "$MOVE
$ATTACK
$(key $E $B; key $((E + 6)) $SPACE)
end $((E + 3000))" --battle Tiny.Dat
pass_of turn 5300 "$E" | grep -q . || { cat "$WORK/turn.out" >&2; fail "the enemy turn did not run"; }
pass_of turn 200 "$((E + 10))" | grep -q . || fail "the player's turn did not come back"

# 3. Pause while the attack plays, "ゲームに戻る": the attack goes on to its end.
PLAY=$(pass_of probe4 2600 "$A")
run probe5 "$MOVE
$ATTACK
$(key $((PLAY + 3)) $P)
end $((PLAY + 300))" --battle Tiny.Dat
PMENU=$(pass_of probe5 -10015 "$PLAY")
[ -n "$PMENU" ] || { cat "$WORK/probe5.out" >&2; fail "no pause menu"; }
run pause "$MOVE
$ATTACK
$(key $((PLAY + 3)) $P; key $((PMENU + 5)) $SPACE)
end $((PMENU + 1500))" --battle Tiny.Dat $(shot $((PMENU + 2)) battle_pause) $(shot $((PMENU + 60)) battle_attack)
# Back to the attack's own step, then on to the free cursor.
pass_of pause 2600 "$((PMENU + 5))" | grep -q . || { cat "$WORK/pause.out" >&2; fail "the attack did not resume"; }
pass_of pause 200 "$((PMENU + 5))" | grep -q . || fail "the resumed attack never ended"

# 4. Defeat: the squad ends every turn against two level-99 strays. The
#    defeat's menu offers "リトライ" first; deciding it starts the battle again
#    from its first step and the player's free cursor comes back.
turns() { # the turn-ending keys pressed before pass $1
    local k p
    for k in $(seq 1 12); do
        p=$((FREE + k * 150))
        if [ "$p" -lt "$1" ]; then key $p $B; fi
        if [ $((p + 20)) -lt "$1" ]; then key $((p + 20)) $SPACE; fi
    done
}
run defeatprobe "$(turns 100000)
end $((FREE + 13 * 150))" --battle Strong.Dat
LOST=$(pass_of defeatprobe 11000)
[ -n "$LOST" ] || { cat "$WORK/defeatprobe.out" >&2; fail "no defeat"; }
DMENU=$(pass_of defeatprobe -3010 "$LOST")
[ -n "$DMENU" ] || { cat "$WORK/defeatprobe.out" >&2; fail "no defeat menu"; }
# The same turns up to the menu, then decide on its first entry.
run defeat "$(turns "$DMENU")
$(key $((DMENU + 5)) $SPACE)
end $((DMENU + 600))" --battle Strong.Dat $(shot $((DMENU + 2)) battle_defeat)
# The battle starts again at its first step (the scene enters itself anew).
AGAIN=$(pass_of defeat 0 "$LOST")
[ -n "$AGAIN" ] || { cat "$WORK/defeat.out" >&2; fail "the defeat did not retry"; }
pass_of defeat 200 "$AGAIN" | grep -q . || fail "the retried battle did not reach the player's turn"

echo "battle replays passed"
