#!/bin/bash
# Headless runs keep an audio driver chosen with SDL_AUDIODRIVER, so SDL's
# disk driver can record what the whole game plays: the title music is heard
# (samples that are not zero), and with music and effects switched off in
# User.ini the same run records only silence.
set -u
QUOLIS=$1
DATPACK=$2
GAMEDATA=$3
WORK=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
found=
for sf in "${QUOLIS_SOUNDFONT:-}" /usr/share/sounds/sf2/TimGM6mb.sf2 /usr/share/sounds/sf2/FluidR3_GM.sf2 \
    /usr/share/sounds/sf2/default-GM.sf2 /usr/share/soundfonts/default.sf2; do
    [ -n "$sf" ] && [ -f "$sf" ] && found=1
done
# Without a soundfont the test is skipped (77), except on the CI runner
# (CI=true), where the missing package is a failure.
if [ -z "$found" ]; then
    echo "no General MIDI soundfont: the game plays no music here"
    [ "${CI:-}" = "true" ] && exit 1
    exit 77
fi
[ -d "$GAMEDATA/MIDI" ] || fail "no demo GameData at $GAMEDATA"

rm -rf "$WORK" && mkdir -p "$WORK/game" || fail "scratch folder"
cp -r "$GAMEDATA" "$WORK/game/GameData" || fail "copy of the GameData"
run() { # name, music and effects switch
    printf 'FirstPlay 0\nGameSpeed 1\nEnableFPS 0\nEnableMusic %d\nEnableSE %d\n' "$2" "$2" \
        > "$WORK/user.txt"
    mkdir -p "$WORK/game/GameData/Ini"
    "$DATPACK" encode-file "$WORK/user.txt" "$WORK/game/GameData/Ini/UserE.ini" || fail "User.ini"
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/$1.raw" \
        "$QUOLIS" --headless --fixed-step --data "$WORK/game" --frames 240 --trace \
        > "$WORK/$1.out" 2> "$WORK/$1.err" || { cat "$WORK/$1.err" >&2; fail "$1: run failed"; }
    [ -s "$WORK/$1.raw" ] || { cat "$WORK/$1.err" >&2; fail "$1: the disk driver recorded nothing"; }
    grep -qx 'trace [0-9]* step 1 -4010' "$WORK/$1.out" || fail "$1: the title was not reached"
}
run on 1
run off 0
python3 - "$WORK/on.raw" "$WORK/off.raw" <<'PY' || exit 1
import sys
on = open(sys.argv[1], "rb").read()
off = open(sys.argv[2], "rb").read()
loud = sum(1 for b in on if b != 0)
print(f"on: {len(on)} bytes, {loud} not zero; off: {len(off)} bytes, {sum(1 for b in off if b)} not zero")
if loud < len(on) // 100:
    sys.exit("FAIL: the title music is silent")
if any(off):
    sys.exit("FAIL: music and effects are off, yet something sounded")
PY
