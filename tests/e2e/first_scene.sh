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
# A first start (no User.ini) begins with the logo scene (0), fading in, and
# with the fixed clock every pass after the first (which comes 0 ms after
# start-up) ran one logic step.
grep -q 'ended in scene 0 at step -100 after 20 passes and 19 logic steps' "$WORK/stdout.txt" || \
    { cat "$WORK/stdout.txt" >&2; fail "did not end in the first scene"; }
# PNG signature and an 800 x 600 header.
sig=$(od -An -tx1 -N8 "$WORK/shot.png" | tr -d ' \n')
[ "$sig" = "89504e470d0a1a0a" ] || fail "screenshot is not a PNG ($sig)"
size=$(od -An -tx1 -j16 -N8 "$WORK/shot.png" | tr -d ' \n')
[ "$size" = "0000032000000258" ] || fail "screenshot is not 800 x 600 ($size)"
# First start: User.ini was written (scrambled, E-name).
[ -s "$WORK/game/GameData/Ini/UserE.ini" ] || fail "User.ini not written"

# A run with real key input recorded, then replayed. The keys are typed into
# the window system's queue by --feed (as a keyboard would deliver them) while
# --record writes what the game received. Space (decide) is pressed once the
# logo has faded in and cuts its one-second wait short; A does nothing here.
# Every run is a first start, so each shows the logo.
cat > "$WORK/keys.txt" <<'REC'
quolis-input 1
70 E 0 1 57 1 0 0 0
72 E 0 1 57 0 0 0 0
74 E 0 1 30 1 0 0 0
75 E 0 1 30 0 0 0 0
end 90
REC
first_start() { rm -rf "$WORK/game/GameData/Ini"; }
first_start
"$QUOLIS" --headless --fixed-step --data "$WORK/game" --feed "$WORK/keys.txt" --record "$WORK/run.rec" \
    > "$WORK/record.txt" 2> "$WORK/stderr.txt" || { cat "$WORK/stderr.txt" >&2; fail "recording run failed"; }
for line in '70 E 0 1 57 1 0 0 0' '72 E 0 1 57 0 0 0 0' '74 E 0 1 30 1 0 0 0' '75 E 0 1 30 0 0 0 0' 'end 90'; do
    grep -qx "$line" "$WORK/run.rec" || { cat "$WORK/run.rec" >&2; fail "the recording lacks '$line'"; }
done
# Decide during the logo's wait starts its fade-out (step -200) at once.
grep -q 'ended in scene 0 at step -200 after 90 passes' "$WORK/record.txt" || \
    { cat "$WORK/record.txt" >&2; fail "the typed decide key did not end the logo's wait"; }
first_start
"$QUOLIS" --headless --fixed-step --data "$WORK/game" --replay "$WORK/run.rec" \
    > "$WORK/replay.txt" 2> "$WORK/stderr.txt" || fail "replay of the recording failed"
cmp -s "$WORK/record.txt" "$WORK/replay.txt" || \
    { cat "$WORK/record.txt" "$WORK/replay.txt" >&2; fail "replay ended elsewhere than the recording"; }
# Without the keys the same passes end still waiting on the logo (step 200).
first_start
"$QUOLIS" --headless --fixed-step --data "$WORK/game" --frames 90 > "$WORK/idle.txt" 2> "$WORK/stderr.txt" || \
    fail "the run without keys failed"
grep -q 'ended in scene 0 at step 200 after 90 passes' "$WORK/idle.txt" || \
    { cat "$WORK/idle.txt" >&2; fail "without keys the logo did not wait"; }
"$QUOLIS" --headless --data "$WORK/game" --feed "$WORK/keys.txt" --replay "$WORK/run.rec" 2> /dev/null && \
    fail "--feed and --replay together must be refused"
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
