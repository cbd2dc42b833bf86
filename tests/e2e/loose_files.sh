#!/bin/bash
# --loose on original data copied from Windows: the demo GameData unpacked
# into plain files (text members as CP932 token files, as the game's loose
# reader expects), then every file and folder name lower-cased so that no
# name matches the references ("GameData\Texture\Title\TitleBack.bmp" is on
# disk as "gamedata/texture/title/titleback.bmp"). The title screen of that
# tree equals, pixel for pixel, the title screen of the archives, and the
# trace shows the title waiting for a button.
set -u
QUOLIS=$1
DATPACK=$2
GAMEDATA=$3
WORK=$4
fail() { echo "FAIL: $*" >&2; exit 1; }
HERE=$(cd "$(dirname "$0")" && pwd)
[ -f "$GAMEDATA/Data/Data.Dat" ] || fail "no demo GameData at $GAMEDATA"

rm -rf "$WORK" && mkdir -p "$WORK/packed" "$WORK/loose/GameData" || fail "scratch folder"
cp -r "$GAMEDATA" "$WORK/packed/GameData" || fail "copy of the GameData"
L=$WORK/loose/GameData
# Text archives: members as tokens (UTF-8 from datpack, CP932 for the game).
"$DATPACK" unpack --text "$GAMEDATA/Data/Data.Dat" "$L" || fail "unpack Data.Dat"
"$DATPACK" unpack --text "$GAMEDATA/Stage/Stage.Dat" "$L/Stage" || fail "unpack Stage.Dat"
"$DATPACK" unpack --text "$GAMEDATA/Text/Text.Dat" "$L/Text" || fail "unpack Text.Dat"
"$DATPACK" unpack --text "$GAMEDATA/mdl/mdl.Dat" "$L/mdl" || fail "unpack mdl.Dat"
python3 - "$L" <<'PY' || fail "re-encoding the text members"
import os, sys
for folder in ("Data", "Stage", "Text", "mdl"):
    for base, _, files in os.walk(os.path.join(sys.argv[1], folder)):
        for name in files:
            path = os.path.join(base, name)
            text = open(path, encoding="utf-8").read()
            open(path, "wb").write(text.encode("cp932"))
PY
for a in Texture MIDI SE XFile; do
    "$DATPACK" unpack --binary "$GAMEDATA/$a/$a.Dat" "$L/$a" || fail "unpack $a.Dat"
done
# The scrambled files are plain files already.
printf 'FirstPlay 0\nGameSpeed 1\nEnableFPS 0\nEnableMusic 1\nEnableSE 1\n' > "$WORK/user.txt"
for root in "$WORK/packed/GameData" "$L"; do
    mkdir -p "$root/Ini" "$root/Save"
    "$DATPACK" encode-file "$WORK/user.txt" "$root/Ini/UserE.ini" || fail "User.ini"
done
cp "$GAMEDATA/Save/InitE.Dat" "$L/Save/" || fail "Init.Dat"
# Every name lower-cased, deepest first.
find "$WORK/loose" -mindepth 1 -depth | while read -r p; do
    lower=$(basename "$p" | tr 'A-Z' 'a-z')
    [ "$lower" = "$(basename "$p")" ] || mv "$p" "$(dirname "$p")/$lower"
done
[ -f "$WORK/loose/gamedata/texture/title/titleback.bmp" ] || fail "lower-casing: $(ls "$WORK/loose")"

run() { # name, folder, options
    local name=$1 dir=$2
    shift 2
    "$QUOLIS" --headless --fixed-step --data "$dir" --frames 240 --trace \
        --screenshot "239:$WORK/$name.png" "$@" > "$WORK/$name.out" 2> "$WORK/$name.err" ||
        { cat "$WORK/$name.err" >&2; fail "$name: run failed"; }
    grep -qx 'trace [0-9]* step 1 -4010' "$WORK/$name.out" ||
        { cat "$WORK/$name.out" "$WORK/$name.err" >&2; fail "$name: the title was not reached"; }
}
run packed "$WORK/packed"
run loose "$WORK/loose" --loose
python3 - "$HERE" "$WORK/packed.png" "$WORK/loose.png" <<'PY' || fail "pixel check"
import sys
sys.path.insert(0, sys.argv[1])
from png_pixels import read_png
a = read_png(sys.argv[2])
b = read_png(sys.argv[3])
lit = sum(1 for row in a[2] for p in row if p != (0, 0, 0))
assert lit > a[0] * a[1] // 4, f"the title screen is mostly black ({lit} lit pixels)"
assert a == b, "the loose title screen differs from the archive one"
print(f"title screens equal, {lit} lit pixels")
PY
