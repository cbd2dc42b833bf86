#!/bin/bash
# The stage viewer: `--view-stage FILE` reads the floor tables and one stage
# file of the stage archive and draws its floor and walls, seen whole; a
# missing stage file is reported and the run still ends normally.
set -u
QUOLIS=$1
DATPACK=$2
WORK=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
HERE=$(cd "$(dirname "$0")" && pwd)

rm -rf "$WORK" && mkdir -p "$WORK/src/data/Data" "$WORK/src/stage" "$WORK/src/tex/Floor" \
    "$WORK/src/tex/Wall" "$WORK/game/GameData/Data" "$WORK/game/GameData/Stage" \
    "$WORK/game/GameData/Texture" || fail "scratch folder"

printf '1 Floor\\Grass.bmp\n0 Floor\\Black.bmp\n' > "$WORK/src/data/Data/FloorTex.Dat"
printf '0 Nothing\n' > "$WORK/src/data/Data/FloorObj.Dat"
# A 3 x 3 floor of grass, its middle cell raised, one corner a hole.
cat > "$WORK/src/stage/Tiny.Dat" <<'STAGE'
／／ステージ情報
ステージ名 テスト
ステージ番号 1
初期カメラアングル 45
／／ステージ情報終わり
フロアサイズ 3 3
／／フロアテクスチャ情報
111
111
011
／／フロアテクスチャ情報終わり
／／フロアオブジェクト情報
000
000
000
／／フロアオブジェクト情報終わり
／／フロア高低情報
111
121
011
／／フロア高低情報終わり
STAGE
python3 - "$WORK/src/tex" <<'PY' || fail "pictures"
import struct, sys
def bmp(path, rgb, n=8):
    row = bytes([rgb[2], rgb[1], rgb[0]]) * n
    data = row * n
    head = b'BM' + struct.pack('<IHHI', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, n, n, 1, 24, 0, len(data), 0, 0, 0, 0)
    open(path, 'wb').write(head + info + data)
bmp(sys.argv[1] + '/Floor/Grass.bmp', (40, 200, 40))
bmp(sys.argv[1] + '/Floor/Black.bmp', (0, 0, 0))
bmp(sys.argv[1] + '/Wall/Wall.bmp', (120, 100, 200))
PY
"$DATPACK" pack --text "$WORK/game/GameData/Data/Data.Dat" "$WORK/src/data" || fail "datpack data"
"$DATPACK" pack --text "$WORK/game/GameData/Stage/Stage.Dat" "$WORK/src/stage" || fail "datpack stage"
"$DATPACK" pack --binary "$WORK/game/GameData/Texture/Texture.Dat" "$WORK/src/tex" ||
    fail "datpack textures"

"$QUOLIS" --view-stage 2> "$WORK/stderr.txt" && fail "--view-stage without a name must be refused"
"$QUOLIS" --view-stage Tiny.Dat --view-mesh Cube.x 2> "$WORK/stderr.txt" &&
    fail "two viewer options must be refused"

"$QUOLIS" --headless --fixed-step --data "$WORK/game" --view-stage Tiny.Dat --frames 3 \
    --screenshot "2:$WORK/stage.png" 2> "$WORK/stderr.txt" || { cat "$WORK/stderr.txt" >&2; fail "viewer run failed"; }
[ -s "$WORK/stage.png" ] || fail "no screenshot of the stage"
grep -q 'cannot load' "$WORK/stderr.txt" && { cat "$WORK/stderr.txt" >&2; fail "the stage did not load"; }

"$QUOLIS" --headless --fixed-step --data "$WORK/game" --view-stage Missing.Dat --frames 2 \
    --screenshot "1:$WORK/empty.png" 2> "$WORK/stderr.txt" || fail "viewer on a missing stage failed"
grep -q 'cannot load' "$WORK/stderr.txt" || fail "a missing stage is not reported"

# The floor shows lit grass (green above red and blue) and the walls their
# blue-violet; the empty view is all black.
python3 - "$HERE" "$WORK/stage.png" "$WORK/empty.png" <<'PY' || fail "pixel check"
import sys
sys.path.insert(0, sys.argv[1])
from png_pixels import read_png
def pixels(path):
    return [p for row in read_png(path)[2] for p in row]
floor = pixels(sys.argv[2])
grass = sum(1 for r, g, b in floor if g > 60 and g > r + 40 and g > b + 40)
wall = sum(1 for r, g, b in floor if b > 60 and b > g + 40 and r > 30)
assert grass > len(floor) // 50, f'too little grass drawn: {grass} of {len(floor)} pixels'
assert wall > len(floor) // 500, f'too little wall drawn: {wall} of {len(floor)} pixels'
assert not any(any(p) for p in pixels(sys.argv[3])), 'the empty view is not black'
PY
echo "view stage ok"
