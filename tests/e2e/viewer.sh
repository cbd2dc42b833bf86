#!/bin/bash
# The content viewer: `--view-mesh` shows an X mesh from XFile.Dat turning in
# the middle of the view, lit; a missing name shows an empty (black) view and
# still ends normally; a viewer option without a name is refused.
set -u
QUOLIS=$1
DATPACK=$2
WORK=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
HERE=$(cd "$(dirname "$0")" && pwd)

rm -rf "$WORK" && mkdir -p "$WORK/src" "$WORK/game/GameData/XFile" || fail "scratch folder"
# A white unit cube, one material, normals computed by the reader. Mesh
# members are named as the game asks for them, without a folder.
cat > "$WORK/src/Cube.x" <<'X'
xof 0303txt 0032
Mesh {
 8;
 -1.0;-1.0;-1.0;, 1.0;-1.0;-1.0;, 1.0;1.0;-1.0;, -1.0;1.0;-1.0;,
 -1.0;-1.0;1.0;, 1.0;-1.0;1.0;, 1.0;1.0;1.0;, -1.0;1.0;1.0;;
 12;
 3;0,2,1;, 3;0,3,2;, 3;4,5,6;, 3;4,6,7;,
 3;0,1,5;, 3;0,5,4;, 3;3,7,6;, 3;3,6,2;,
 3;0,4,7;, 3;0,7,3;, 3;1,2,6;, 3;1,6,5;;
 MeshMaterialList {
  1; 12; 0,0,0,0,0,0,0,0,0,0,0,0;
  Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.3;0.3;0.3;; }
 }
}
X
"$DATPACK" pack --binary "$WORK/game/GameData/XFile/XFile.Dat" "$WORK/src" || fail "datpack"

"$QUOLIS" --view-mesh 2> "$WORK/stderr.txt" && fail "--view-mesh without a name must be refused"

"$QUOLIS" --headless --fixed-step --data "$WORK/game" --view-mesh Cube.x --frames 4 \
    --screenshot "3:$WORK/cube.png" 2> "$WORK/stderr.txt" || { cat "$WORK/stderr.txt" >&2; fail "viewer run failed"; }
[ -s "$WORK/cube.png" ] || fail "no screenshot of the cube"

"$QUOLIS" --headless --fixed-step --data "$WORK/game" --view-mesh Missing.x --frames 2 \
    --screenshot "1:$WORK/empty.png" 2> "$WORK/stderr.txt" || fail "viewer on a missing mesh failed"
grep -q 'cannot load' "$WORK/stderr.txt" || fail "a missing mesh is not reported"

# The cube covers the centre of the view with a lit (not black) colour; the
# empty view is black there.
python3 - "$HERE" "$WORK/cube.png" "$WORK/empty.png" <<'PY' || fail "pixel check"
import sys
sys.path.insert(0, sys.argv[1])
from png_pixels import read_png
def centre(path):
    w, h, rows = read_png(path)
    return rows[h // 2][w // 2]
lit = centre(sys.argv[2])
dark = centre(sys.argv[3])
assert sum(lit) > 60, f'cube centre is dark: {lit}'
assert dark == (0, 0, 0), f'empty view is not black: {dark}'
PY
echo "viewer ok"
