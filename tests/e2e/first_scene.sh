#!/bin/bash
# Starts the game headless with a recording that presses nothing: it must
# reach the first scene, write the requested screenshot, write User.ini on a
# first start, and end with status 0. Then a start without Setting.Dat must
# fail with one line on stderr and a non-zero status.
set -u
QUOLIS=$1
DATPACK=$2
WORK=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$WORK" && mkdir -p "$WORK/src/Data" "$WORK/game/GameData/Data" || fail "scratch folder"
cat > "$WORK/src/Data/Setting.Dat" <<'DAT'
FLAG_MSG 1
FLAG_BATTLE 1
FLAG_ALWAYSCORE 0
SPEED_FADE 16
SPEED_FADEVOLUME 100
DAT
"$DATPACK" pack --text "$WORK/game/GameData/Data/Data.Dat" "$WORK/src" || fail "datpack"
printf 'quolis-input 1\nend 20\n' > "$WORK/nothing.rec"

"$QUOLIS" --headless --fixed-step --data "$WORK/game" --replay "$WORK/nothing.rec" \
    --screenshot "15:$WORK/shot.png" --record "$WORK/again.rec" 2> "$WORK/stderr.txt" && \
    fail "--record and --replay together must be refused"

"$QUOLIS" --headless --fixed-step --data "$WORK/game" --replay "$WORK/nothing.rec" \
    --screenshot "15:$WORK/shot.png" > "$WORK/stdout.txt" 2> "$WORK/stderr.txt"
status=$?
[ $status -eq 0 ] || { cat "$WORK/stderr.txt" >&2; fail "exit status $status"; }
[ -s "$WORK/shot.png" ] || fail "no screenshot"
# A first start (no User.ini) begins with the logo scene (0) at its step 0,
# and with the fixed clock every pass after the first (which comes 0 ms after
# start-up) ran one logic step.
grep -q 'ended in scene 0 at step 0 after 20 passes and 19 logic steps' "$WORK/stdout.txt" || \
    { cat "$WORK/stdout.txt" >&2; fail "did not end in the first scene"; }
# PNG signature and an 800 x 600 header.
sig=$(od -An -tx1 -N8 "$WORK/shot.png" | tr -d ' \n')
[ "$sig" = "89504e470d0a1a0a" ] || fail "screenshot is not a PNG ($sig)"
size=$(od -An -tx1 -j16 -N8 "$WORK/shot.png" | tr -d ' \n')
[ "$size" = "0000032000000258" ] || fail "screenshot is not 800 x 600 ($size)"
# First start: User.ini was written (scrambled, E-name).
[ -s "$WORK/game/GameData/Ini/UserE.ini" ] || fail "User.ini not written"

# A run with key presses recorded, then replayed: with the fixed step the
# replay ends exactly where the recording did. A recording of pressing the
# space bar is made by replaying a hand-written input file.
cat > "$WORK/keys.rec" <<'REC'
quolis-input 1
3 E 0 1 57 1 0 0 0
5 E 0 1 57 0 0 0 0
9 E 0 1 30 1 0 0 0
10 E 0 1 30 0 0 0 0
end 14
REC
"$QUOLIS" --headless --fixed-step --data "$WORK/game" --frames 14 --record "$WORK/run.rec" \
    > "$WORK/record.txt" 2> "$WORK/stderr.txt" || fail "recording run failed"
grep -q '^end 14$' "$WORK/run.rec" || fail "recording has no end at pass 14"
"$QUOLIS" --headless --fixed-step --data "$WORK/game" --replay "$WORK/run.rec" \
    > "$WORK/replay.txt" 2> "$WORK/stderr.txt" || fail "replay of the recording failed"
cmp -s "$WORK/record.txt" "$WORK/replay.txt" || fail "replay ended elsewhere than the recording"
"$QUOLIS" --headless --fixed-step --data "$WORK/game" --replay "$WORK/keys.rec" \
    > "$WORK/keys.txt" 2> "$WORK/stderr.txt" || fail "replay of key presses failed"
grep -q 'after 14 passes' "$WORK/keys.txt" || fail "key replay did not run 14 passes"
# A broken recording is refused with a reason.
printf 'quolis-input 1\n3 E 0 1 999 1 0 0 0\n' > "$WORK/bad.rec"
"$QUOLIS" --headless --data "$WORK/game" --replay "$WORK/bad.rec" 2> "$WORK/stderr.txt" && \
    fail "a broken recording was accepted"
grep -q 'replay line 2' "$WORK/stderr.txt" || fail "no reason for the broken recording"

# Start-up failure: no Setting.Dat.
mkdir -p "$WORK/empty"
"$QUOLIS" --headless --data "$WORK/empty" --frames 3 2> "$WORK/stderr.txt"
status=$?
[ $status -ne 0 ] || fail "a start without Setting.Dat ended with status 0"
grep -q 'Setting.Dat' "$WORK/stderr.txt" || fail "the failure does not name Setting.Dat"
echo "ok"
