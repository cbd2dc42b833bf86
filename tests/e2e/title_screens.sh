#!/bin/bash
# The first screens, driven headless by replays with the fixed clock step:
#  1. a first start shows the logo, then the title, and writes FirstPlay 0;
#  2. the second start goes straight to the title;
#  3. the key configuration window from the title: a keyboard sequence Space,
#     B, Z, C, D, P rebinds and writes InputSetting.ini once, with the tokens
#     the file is read back with;
#  4. the same letter twice brings the duplicate warning;
#  5. cancelling the load list returns to the title.
# With PREVIEW=folder the runs also write screenshots there.
set -u
QUOLIS=$1
DATPACK=$2
WORK=$3
PREVIEW=${PREVIEW:-}
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$WORK" && mkdir -p "$WORK/src/Data" "$WORK/game/GameData/Data" || fail "scratch folder"
cat > "$WORK/src/Data/Setting.Dat" <<'DAT'
FLAG_MSG 1
FLAG_BATTLE 1
FLAG_ALWAYSCORE 0
SPEED_FADE 16
SPEED_FADEVOLUME 100
DAT
# GAME may name a copy of the demo GameData (pictures, music); its tables are
# replaced by the ones above, so the fades take the same passes.
GAME=${GAME:-$WORK/game}
mkdir -p "$GAME/GameData/Data" || fail "game folder"
"$DATPACK" pack --text "$GAME/GameData/Data/Data.Dat" "$WORK/src" || fail "datpack"

# Replay lines: key PASS CODE (down at PASS, up two passes later).
key() { printf '%d E 0 1 %d 1 0 0 0\n%d E 0 1 %d 0 0 0 0\n' "$1" "$2" $(($1 + 4)) "$2"; }
click() { printf '%d M %d\n' "$1" "$2"; }
run() { # name, replay text, extra options
    local name=$1 text=$2
    shift 2
    printf 'quolis-input 1\n%s\n' "$text" | grep -v '^$' > "$WORK/$name.rec"
    "$QUOLIS" --headless --fixed-step --data "$GAME" --replay "$WORK/$name.rec" "$@" \
        > "$WORK/$name.out" 2> "$WORK/$name.err"
    local status=$?
    [ $status -eq 0 ] || { cat "$WORK/$name.err" >&2; fail "$name: exit status $status"; }
}
shot() { [ -n "$PREVIEW" ] && echo "--screenshot $1:$PREVIEW/$2.png"; }
ended() { # name, expected summary
    grep -q "ended in scene $2 " "$WORK/$1.out" || { cat "$WORK/$1.out" >&2; fail "$1: not $2"; }
}
SPACE=57 B=48 Z=44 C=46 D=32 P=25 Q=16 RIGHT=205

# 1. First start: no User.ini yet. The logo fades in, waits a second and
# fades out; the title is waiting for a button after 280 passes.
rm -rf "$GAME/GameData/Ini"
run first "end 280" --trace $(shot 90 logo) $(shot 279 title)
ended first "1 at step -4010"
# The trace: the logo from the start, the switch to the title, the title's
# menu step and the campaign at exit on one line.
for line in 'trace 0 scene -1 -> 0' 'trace 0 step 0 0' 'trace [0-9]* scene 0 -> 1' \
    'trace [0-9]* step 1 -4010' 'campaign {"date": .*"BPPool": 0, "tablesUsed": true}'; do
    grep -qx "$line" "$WORK/first.out" || { cat "$WORK/first.out" >&2; fail "trace: no $line"; }
done
[ -s "$GAME/GameData/Ini/UserE.ini" ] || fail "User.ini not written"
"$DATPACK" decode-file "$GAME/GameData/Ini/UserE.ini" | tr '\n' ' ' | grep -q '^FirstPlay 0 ' || \
    fail "FirstPlay is not 0: $("$DATPACK" decode-file "$GAME/GameData/Ini/UserE.ini" | tr '\n' ' ')"
# In the middle of the logo's wait (again a first start) the game is still in
# scene 0.
mv "$GAME/GameData/Ini/UserE.ini" "$WORK/UserE.ini"
run logo "end 100"
ended logo "0 at step 200"
mv "$WORK/UserE.ini" "$GAME/GameData/Ini/UserE.ini"

# 2. Second start: straight to the title.
run second "end 70"
ended second "1 at step -4010"

# 3. Title: right twice to "キーコンフィグ", decide; in the window the keyboard
# "設定開始" (1012), the six keys, then "キーコンフィグ終了" (1003).
text="$(key 100 $RIGHT; key 110 $RIGHT; key 120 $SPACE; click 140 1012)"
pass=150
for k in $SPACE $B $Z $C $D $P; do
    text="$text"$'\n'"$(key $pass $k)"
    pass=$((pass + 10))
done
text="$text"$'\n'"$(click $((pass + 10)) 1003)"$'\n'"end $((pass + 80))"
rm -f "$GAME/GameData/Ini/InputSettingE.ini"
run rebind "$text" $(shot 200 key-config)
grep -q 'key configuration opened' "$WORK/rebind.out" || fail "rebind: the window did not open"
grep -q 'key configuration closed after 1 writes of InputSetting.ini' "$WORK/rebind.out" || \
    { cat "$WORK/rebind.out" >&2; fail "rebind: not written exactly once"; }
grep -q 'message box' "$WORK/rebind.out" && fail "rebind: unexpected message box"
ended rebind "1 at step -4010"
tokens=$("$DATPACK" decode-file "$GAME/GameData/Ini/InputSettingE.ini" | tr '\n' ' ')
expected='//SettingStart 0 // 49 8 50 7 53 12 54 10 55 11 56 9 // 1 // 25 9 32 12 44 10 46 11 48 8 57 7 // 2 // // //SettingEnd '
[ "$tokens" = "$expected" ] || fail "InputSetting.ini reads as: $tokens"
# The next start reads the file; right moves to "はじめから" (the arrows
# work without bindings) and Space decides: the new campaign's prologue.
run reread "$(key 100 $RIGHT; key 110 $SPACE)
end 200"
grep -q 'message box' "$WORK/reread.out" && fail "reread: unexpected message box"
ended reread "2 at step -100" # the prologue fading in

# 4. The same letter twice: the duplicate warning, the row keeps waiting.
rm -f "$GAME/GameData/Ini/InputSettingE.ini"
run duplicate "$(key 100 $RIGHT; key 110 $RIGHT; key 120 $SPACE; click 140 1012)
$(key 150 $Q; key 160 $Q)
$(click 180 1003)
end 220"
grep -q 'message box "重複エラー": そのボタンは、既に割り当てられています。' "$WORK/duplicate.out" || \
    { cat "$WORK/duplicate.out" >&2; fail "duplicate: no warning"; }
grep -q 'closed after 0 writes' "$WORK/duplicate.out" || fail "duplicate: the file was written"
[ -e "$GAME/GameData/Ini/InputSettingE.ini" ] && fail "duplicate: InputSetting.ini written"

# 5. "つづきから" opens the load list (no saves: only "←" can be chosen);
# decide on "←" cancels back to step 0: the buttons again (the screen is
# still bright, so the fade-in ends at once).
run cancel "$(key 100 $SPACE)
end 140" $(shot 139 load-list)
ended cancel "1 at step -3010"
run cancel2 "$(key 100 $SPACE; key 140 $SPACE)
end 160" $(shot 159 title-again)
ended cancel2 "1 at step -4010"
echo "ok"
