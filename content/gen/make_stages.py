#!/usr/bin/env python3
"""Writes the stage files of the demo campaign (content/Stage/*.Dat).

Each floor is described by a few terrain rules (plateaus, ramps, holes,
rivers) evaluated cell by cell, with hand-placed start cells. The output is
deterministic: running the script again gives the same bytes. The 100 x 100
benchmark stage with 40 enemies is generated the same way.

    python3 content/gen/make_stages.py          # rewrites content/Stage/
    python3 content/gen/make_stages.py --check  # fails if a file would change
"""
import os
import sys
from collections import deque

STAGE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "Stage")

# Climbing limit of the weakest starting frames: every enemy start cell must
# be reachable from the ally start cells with it, so no battle is unwinnable.
MIN_RISE = 1


class Floor:
    def __init__(self, w, d, height=1, tex="1"):
        self.w, self.d = w, d
        self.h = [[height] * w for _ in range(d)]  # [y][x]
        self.t = [[tex] * w for _ in range(d)]
        self.o = [["0"] * w for _ in range(d)]
        self.m = [["."] * w for _ in range(d)]
        self.f = [["."] * w for _ in range(d)]

    def cells(self):
        for y in range(self.d):
            for x in range(self.w):
                yield x, y

    def rect(self, x0, y0, x1, y1, h=None, t=None, o=None):
        for y in range(max(0, y0), min(self.d, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                if h is not None:
                    self.h[y][x] = h
                if t is not None:
                    self.t[y][x] = t
                if o is not None:
                    self.o[y][x] = o

    def put(self, x, y, ch, facing):
        assert self.h[y][x] > 0, f"start cell {x},{y} is a hole"
        assert self.o[y][x] == "0", f"start cell {x},{y} holds an object"
        assert self.m[y][x] == ".", f"start cell {x},{y} used twice"
        self.m[y][x] = ch
        self.f[y][x] = facing

    def block(self, grid):
        # The first row in the file is the farthest row (y = depth - 1).
        return [''.join(grid[y]) for y in range(self.d - 1, -1, -1)]

    def reachable(self, rise, starts=None):
        if starts is None:
            starts = [(x, y) for x, y in self.cells() if self.m[y][x].isupper()]
        seen = set(starts)
        todo = deque(starts)
        while todo:
            x, y = todo.popleft()
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < self.w and 0 <= ny < self.d) or (nx, ny) in seen:
                    continue
                if self.h[ny][nx] == 0 or self.o[ny][nx] != "0":
                    continue
                if abs(self.h[ny][nx] - self.h[y][x]) > rise:
                    continue
                seen.add((nx, ny))
                todo.append((nx, ny))
        return seen


def lcg(seed):
    """The C runtime generator, so the floors never depend on Python's."""
    state = seed & 0xFFFFFFFF
    while True:
        state = (state * 214013 + 2531011) & 0xFFFFFFFF
        yield (state >> 16) & 0x7FFF


def stage_text(info, enemies, floor, comment):
    out = []
    out.append("/* " + comment + " */")
    out.append("／／ステージ情報")
    for key, value in info:
        if value == "":
            continue  # an empty event is written by leaving its key out
        if value is None:
            out.append(key)
        elif isinstance(value, (list, tuple)) and key == "アドプレイス情報":
            out.append(key + " ／／ " + " ".join(value) + " ／／")
        elif isinstance(value, (list, tuple)):
            out.append(key + " " + " ".join(str(v) for v in value))
        else:
            out.append(f"{key} {value}")
    out.append("／／ステージ情報終わり")
    out.append("")
    out.append("／／敵情報")
    for name, typ, fusion, level, marker in enemies:
        x, y = [(x, y) for x, y in floor.cells() if floor.m[y][x] == marker][0]
        facing = {"0": "down", "1": "left", "2": "up", "3": "right"}[floor.f[y][x]]
        out.append(f"／／ 名前 {name} タイプ {typ} 合成回数 {fusion} レベル {level} "
                   f"アングル {facing} 位置 {marker} ／／")
    out.append("／／敵情報終わり")
    out.append("")
    out.append(f"フロアサイズ {floor.w} {floor.d}")
    for mark, grid in (("フロアテクスチャ情報", floor.t), ("フロアオブジェクト情報", floor.o),
                       ("フロア高低情報", [[str(v) for v in row] for row in floor.h]),
                       ("キャラ位置情報", floor.m), ("初期アングル情報", floor.f)):
        out.append("／／" + mark)
        out.extend(floor.block(grid))
        out.append("／／" + mark + "終わり")
    return "\n".join(out) + "\n"


def check_floor(name, floor, enemies, shared_ok=False):
    markers = [e[4] for e in enemies]
    assert shared_ok or len(set(markers)) == len(markers), name + ": two enemies share a start cell"
    for m in markers:
        assert any(floor.m[y][x] == m for x, y in floor.cells()), f"{name}: no cell for {m}"
    # From every ally start cell on its own: a small squad fills only the
    # first start cells, and its units must still find every enemy.
    for ax, ay in floor.cells():
        if not floor.m[ay][ax].isupper():
            continue
        reach = floor.reachable(MIN_RISE, [(ax, ay)])
        for x, y in floor.cells():
            if floor.m[y][x].islower():
                assert (x, y) in reach, (f"{name}: enemy start {floor.m[y][x]} at {x},{y} cannot "
                                         f"be reached from ally start {floor.m[ay][ax]}")
    # Facing everywhere: allies look up the map, enemies down it.
    for x, y in floor.cells():
        if floor.f[y][x] == ".":
            floor.f[y][x] = "2" if y < floor.d // 2 else "0"


def info(name, name2, number, xfile, size, camera, op_event, ed_event, nxt, op_story,
         ed_story, ally, enemy, bonus, places, cycle, ending=False):
    w, d = size
    rows = [("ステージ名", name), ("ステージ名２", name2), ("ステージ番号", number),
            ("ステージＸファイル名", xfile),
            ("位置", (f"{d - w:.1f}", "-0.5", f"{d - w:.1f}")), ("アングル", ("0.0", "0.0", "0.0")),
            ("初期カメラアングル", camera), ("ＯＰイベント", op_event), ("ＥＤイベント", ed_event)]
    if ending:
        rows.append(("エンディング", None))
    rows += [("次のステージファイル", nxt), ("ＯＰストーリーファイル", op_story),
             ("ＥＤストーリーファイル", ed_story), ("味方ＢＧＭ", ally), ("敵ＢＧＭ", enemy),
             ("イベントボーナス", bonus), ("アドプレイス情報", places), ("ネクストサイクル情報", cycle)]
    return rows


STAGES = {}


def stage(fn):
    STAGES[fn.__name__] = fn
    return fn


@stage
def BlockA1():
    """8 x 8: a gate yard with a low mound in the middle and a few rocks."""
    f = Floor(8, 8, 1, "8")
    f.rect(3, 3, 4, 4, h=2, t="2")
    f.rect(0, 7, 7, 7, t="3")
    f.o[5][1] = "1"
    f.o[2][6] = "3"
    f.o[6][6] = "1"
    f.put(2, 0, "A", "2")
    f.put(4, 0, "B", "2")
    f.put(6, 1, "C", "2")
    f.put(2, 6, "a", "0")
    f.put(5, 7, "b", "0")
    f.put(4, 5, "c", "0")
    enemies = [("野良ウルフＡ", "ＱＬ－１Ｅ", 0, 1, "a"),
               ("野良ウルフＢ", "ＱＬ－１Ｅ", 0, 1, "b"),
               ("野良ライノＡ", "ＱＬ－２Ｅ", 0, 2, "c")]
    i = info("ブロックＡ", "旧市街ゲート", 1, "Stage\\BlockA.x", (8, 8), 0,
             "Event\\A1_OP.Dat", "Event\\A1_ED.Dat", "BlockA2.Dat", "Nothing",
             "Story\\A1_ED.Dat", "Battle1.mid", "Enemy1.mid", 200,
             ["旧市街", "ゲート前広場"], "ブロックＡ－２へ")
    return i, enemies, f, "Block A, stage 1: the first battle, three weak strays at the old-town gate"


@stage
def BlockA2():
    """12 x 10: an underground canal; a channel of holes crossed by two bridges."""
    f = Floor(12, 10, 1, "3")
    f.rect(0, 4, 11, 5, h=0, t="0")          # the canal
    f.rect(2, 4, 3, 5, h=1, t="4")           # west bridge
    f.rect(8, 4, 9, 5, h=1, t="4")           # east bridge
    f.rect(5, 7, 7, 9, h=2, t="5")           # the pump house platform
    f.rect(6, 6, 6, 6, h=1, t="5")
    f.rect(0, 0, 11, 0, t="5")
    for x, y in ((0, 2), (11, 2), (0, 8), (11, 8), (5, 2)):
        f.o[y][x] = "5"
    f.o[7][1] = "3"
    f.put(3, 0, "A", "2")
    f.put(5, 1, "B", "2")
    f.put(8, 0, "C", "2")
    f.put(6, 8, "a", "0")
    f.put(2, 8, "b", "0")
    f.put(10, 7, "c", "0")
    f.put(9, 9, "d", "0")
    enemies = [("野良ウルフＡ", "ＱＬ－１Ｅ", 0, 3, "b"),
               ("野良ライノＡ", "ＱＬ－２Ｅ", 0, 3, "a"),
               ("野良ライノＢ", "ＱＬ－２Ｅ", 0, 2, "c"),
               ("野良ホーネットＡ", "ＱＬ－３Ｅ", 0, 4, "d")]
    i = info("ブロックＡ", "地下水路", 2, "Stage\\BlockA.x", (12, 10), 0,
             "Event\\A2_OP.Dat", "Event\\A2_ED.Dat", "BlockB1.Dat", "Story\\A2_OP.Dat",
             "Story\\A2_ED.Dat", "Battle1.mid", "Enemy1.mid", 300,
             ["地下水路", "ポンプ室"], "ブロックＢ－１へ")
    return i, enemies, f, "Block A, stage 2: the canal under the old town; the first ＱＬ－３Ｅ"


@stage
def BlockB1():
    """14 x 14: a freight yard of stacked containers and terraces."""
    f = Floor(14, 14, 1, "8")
    f.rect(0, 10, 13, 13, h=2, t="4")
    f.rect(4, 10, 5, 10, h=1, t="4")
    f.rect(3, 6, 5, 7, h=3, t="4")
    f.rect(3, 5, 5, 5, h=2, t="4")
    f.rect(9, 4, 11, 6, h=2, t="9")
    for x in (1, 2, 7, 8, 12):
        f.o[8][x] = "3"
    f.o[12][6] = "7"
    f.o[3][1] = "3"
    f.o[2][12] = "3"
    f.put(2, 0, "A", "2")
    f.put(4, 0, "B", "2")
    f.put(6, 1, "C", "2")
    f.put(8, 0, "D", "2")
    f.put(10, 1, "E", "2")
    f.put(2, 12, "a", "0")
    f.put(7, 13, "b", "0")
    f.put(11, 12, "c", "0")
    f.put(4, 6, "d", "0")
    f.put(10, 5, "e", "0")
    enemies = [("野良ウルフＡ", "ＱＬ－１Ｅ", 0, 5, "a"),
               ("野良ライノＡ", "ＱＬ－２Ｅ", 0, 5, "b"),
               ("野良ホーネットＡ", "ＱＬ－３Ｅ", 0, 5, "d"),
               ("野良ホーネットＢ", "ＱＬ－３Ｅ", 0, 6, "e"),
               ("野良スコーピオＡ", "ＱＬ－４Ｅ", 0, 6, "c")]
    i = info("ブロックＢ", "貨物集積場", 1, "Stage\\BlockB.x", (14, 14), 45,
             "Event\\B1_OP.Dat", "Event\\B1_ED.Dat", "BlockB2.Dat", "Story\\B1_OP.Dat",
             "Nothing", "Battle2.mid", "Enemy1.mid", 400,
             ["貨物集積場", "コンテナ置き場"], "ブロックＢ－２へ")
    return i, enemies, f, "Block B, stage 1: the freight yard; container terraces up to height 3"


@stage
def BlockB2():
    """16 x 18: a broken elevated road; the deck is cut by a gap and ramps down."""
    f = Floor(16, 18, 1, "6")
    f.rect(5, 0, 10, 17, h=3, t="8")         # the road deck
    f.rect(5, 8, 10, 9, h=0, t="0")          # the collapsed span
    f.rect(11, 8, 12, 9, h=2, t="2")         # rubble ramp around the gap
    f.rect(4, 2, 4, 4, h=2, t="2")           # ramps onto the deck
    f.rect(11, 13, 11, 15, h=2, t="2")
    f.rect(4, 12, 4, 12, h=2, t="2")
    f.rect(13, 8, 13, 9, h=1, t="2")
    for y in (1, 5, 12, 16):
        f.o[y][5] = "4"
        f.o[y][10] = "4"
    f.o[12][5] = "0"                         # the west ramp's landing stays clear
    f.o[6][1] = "6"
    f.o[14][14] = "6"
    f.o[10][2] = "1"
    f.put(1, 0, "A", "2")
    f.put(2, 1, "B", "2")
    f.put(3, 0, "C", "2")
    f.put(13, 0, "D", "2")
    f.put(14, 1, "E", "2")
    f.put(7, 16, "a", "0")
    f.put(8, 15, "b", "0")
    f.put(2, 15, "c", "0")
    f.put(14, 16, "d", "0")
    f.put(8, 11, "e", "0")
    f.put(1, 11, "f", "0")
    enemies = [("野良ライノＡ", "ＱＬ－２Ｅ", 0, 8, "a"),
               ("野良ライノＢ", "ＱＬ－２Ｅ", 0, 7, "b"),
               ("野良ホーネットＡ", "ＱＬ－３Ｅ", 0, 7, "c"),
               ("野良スコーピオＡ", "ＱＬ－４Ｅ", 0, 8, "d"),
               ("野良スコーピオＢ", "ＱＬ－４Ｅ", 0, 7, "f"),
               ("野良ワイバーンＡ", "ＱＬ－５Ｅ", 0, 9, "e")]
    i = info("ブロックＢ", "崩れた高架", 2, "Stage\\BlockB.x", (16, 18), 0,
             "Event\\B2_OP.Dat", "Event\\B2_ED.Dat", "BlockC1.Dat", "Story\\B2_OP.Dat",
             "Story\\B2_ED.Dat", "Battle2.mid", "Enemy2.mid", 500,
             ["高架道路", "崩落地点"], "ブロックＣ－１へ")
    return i, enemies, f, "Block B, stage 2: the broken elevated road; the first ＱＬ－５Ｅ"


@stage
def BlockC1():
    """20 x 20: ruined research halls on stepped foundations, overgrown."""
    f = Floor(20, 20, 1, "1")
    rnd = lcg(2003)
    for x, y in f.cells():
        # Foundations rise toward the north-east in steps of one.
        f.h[y][x] = 1 + (x + y) // 10
        f.t[y][x] = "5" if (x // 4 + y // 4) % 2 else "1"
    f.rect(8, 8, 11, 11, h=4, t="9")         # the central hall floor
    f.rect(8, 7, 11, 7, h=3, t="9")
    f.rect(12, 8, 12, 11, h=3, t="9")
    f.rect(0, 14, 3, 17, h=0, t="0")         # the collapsed basement
    for x, y in f.cells():
        if f.h[y][x] > 0 and next(rnd) % 23 == 0 and y > 2:
            f.o[y][x] = "2"
    for x, y in ((8, 8), (11, 8), (8, 11), (11, 11)):
        f.o[y][x] = "4"
    f.put(2, 0, "A", "2")
    f.put(4, 0, "B", "2")
    f.put(6, 0, "C", "2")
    f.put(3, 1, "D", "2")
    f.put(5, 1, "E", "2")
    f.put(7, 1, "F", "2")
    f.put(9, 0, "G", "2")
    f.put(11, 0, "H", "2")
    for ch, x, y in (("a", 9, 10), ("b", 10, 9), ("c", 17, 18), ("d", 14, 16),
                     ("e", 5, 18), ("f", 18, 12), ("g", 15, 5)):
        f.o[y][x] = "0"
        f.put(x, y, ch, "0")
    enemies = [("野良スコーピオＡ", "ＱＬ－４Ｅ", 0, 11, "a"),
               ("野良スコーピオＢ", "ＱＬ－４Ｅ", 0, 10, "d"),
               ("野良ワイバーンＡ", "ＱＬ－５Ｅ", 0, 11, "b"),
               ("野良ワイバーンＢ", "ＱＬ－５Ｅ", 0, 10, "f"),
               ("野良ホーネットＡ", "ＱＬ－３Ｅ", 0, 10, "e"),
               ("野良シャークＡ", "ＱＬ－６Ｅ", 0, 12, "c"),
               ("野良ウルフＡ", "ＱＬ－１Ｅ", 0, 9, "g")]
    i = info("ブロックＣ", "研究棟跡地", 1, "Stage\\BlockC.x", (20, 20), 315,
             "Event\\C1_OP.Dat", "Event\\C1_ED.Dat", "BlockC2.Dat", "Story\\C1_OP.Dat",
             "Story\\C1_ED.Dat", "Battle3.mid", "Enemy2.mid", 700,
             ["研究棟", "中央ホール"], "ブロックＣ－２へ")
    return i, enemies, f, "Block C, stage 1: the ruined research halls; the first ＱＬ－６Ｅ"


@stage
def BlockC2():
    """24 x 22: a smelting plant; furnaces, a molten-metal pit, high catwalks."""
    f = Floor(24, 22, 2, "4")
    f.rect(9, 9, 14, 12, h=0, t="0")         # the furnace pit
    f.rect(0, 15, 23, 21, h=3, t="9")        # the upper works
    f.rect(0, 15, 23, 15, h=3, t="4")
    f.rect(6, 14, 7, 14, h=3, t="2")         # stairs to the upper works
    f.rect(6, 13, 7, 13, h=2, t="2")
    f.rect(17, 14, 18, 14, h=3, t="2")
    f.rect(2, 19, 5, 21, h=5, t="4")         # the control tower
    f.rect(2, 18, 5, 18, h=4, t="4")
    f.rect(18, 19, 21, 21, h=5, t="4")
    f.rect(18, 18, 21, 18, h=4, t="4")
    f.rect(0, 0, 23, 1, h=1, t="8")
    f.rect(4, 2, 4, 2, h=1)
    for x, y in ((8, 8), (15, 8), (8, 13), (15, 13)):
        f.o[y][x] = "7"
    for x in range(0, 24, 5):
        f.o[6][x] = "5"
    f.o[17][11] = "4"
    f.o[17][12] = "4"
    f.put(3, 0, "A", "2")
    f.put(5, 0, "B", "2")
    f.put(7, 0, "C", "2")
    f.put(9, 0, "D", "2")
    f.put(14, 0, "E", "2")
    f.put(16, 0, "F", "2")
    f.put(18, 0, "G", "2")
    f.put(20, 0, "H", "2")
    for ch, x, y in (("a", 3, 20), ("b", 20, 20), ("c", 11, 19), ("d", 12, 19),
                     ("e", 2, 12), ("f", 21, 12), ("g", 11, 5), ("h", 13, 16)):
        f.put(x, y, ch, "0")
    enemies = [("野良ホーネットＡ", "ＱＬ－３Ｅ", 0, 14, "a"),
               ("野良ホーネットＢ", "ＱＬ－３Ｅ", 0, 14, "b"),
               ("野良ライノＡ", "ＱＬ－２Ｅ", 0, 14, "c"),
               ("野良シャークＡ", "ＱＬ－６Ｅ", 0, 15, "d"),
               ("野良スコーピオＡ", "ＱＬ－４Ｅ", 0, 13, "e"),
               ("野良スコーピオＢ", "ＱＬ－４Ｅ", 0, 13, "f"),
               ("野良ワイバーンＡ", "ＱＬ－５Ｅ", 0, 12, "g"),
               ("野良ウルフＡ", "ＱＬ－１Ｅ", 0, 15, "h")]
    i = info("ブロックＣ", "溶鉱プラント", 2, "Stage\\BlockC.x", (24, 22), 0,
             "Event\\C2_OP.Dat", "Event\\C2_ED.Dat", "BlockD1.Dat", "Story\\C2_OP.Dat",
             "Story\\C2_ED.Dat", "Battle3.mid", "Enemy2.mid", 900,
             ["溶鉱プラント", "制御塔"], "ブロックＤ－１へ")
    return i, enemies, f, "Block C, stage 2: the smelting plant around its furnace pit"


@stage
def BlockD1():
    """28 x 28: the outer wall of the central tower, terraces climbing to 7."""
    f = Floor(28, 28, 1, "3")
    for x, y in f.cells():
        # Concentric terraces around the tower foot at the far corner.
        r = max(abs(x - 27), abs(y - 27))
        f.h[y][x] = max(1, 7 - r // 4)
        f.t[y][x] = "9" if f.h[y][x] >= 5 else ("4" if f.h[y][x] >= 3 else "3")
    # Ramps up each terrace along the diagonal path.
    for k in range(28):
        f.h[k][k] = max(1, min(7, 1 + max(0, k - 2) // 4))
        if k + 1 < 28:
            f.h[k][k + 1] = f.h[k][k]
    # A moat of holes with causeways.
    for x, y in f.cells():
        r = max(abs(x - 27), abs(y - 27))
        if r == 14 and abs(x - y) > 1 and x not in (4, 5) and y not in (4, 5):
            f.h[y][x] = 0
            f.t[y][x] = "0"
    for x, y in ((10, 3), (20, 6), (6, 18), (16, 16), (23, 12), (12, 23), (3, 10)):
        f.o[y][x] = "6"
    for x, y in ((18, 20), (20, 18), (24, 24)):
        f.o[y][x] = "4"
    allies = [(1, 0), (3, 0), (5, 0), (0, 2), (2, 2), (4, 2), (6, 1), (1, 4), (3, 4), (0, 6)]
    for ch, (x, y) in zip("ABCDEFGHIJ", allies):
        f.put(x, y, ch, "2" if x > y else "3")
    foes = [("a", 25, 25), ("b", 26, 24), ("d", 15, 15), ("e", 20, 10),
            ("f", 10, 20), ("g", 22, 22), ("h", 14, 8), ("i", 8, 14)]
    for ch, x, y in foes:
        f.put(x, y, ch, "1" if x > y else "0")
    enemies = [("守備ウルフ", "ＱＬ－１Ｅ", 0, 16, "h"),
               ("守備ライノ", "ＱＬ－２Ｅ", 0, 16, "i"),
               ("守備ホーネットＡ", "ＱＬ－３Ｅ", 0, 15, "e"),
               ("守備ホーネットＢ", "ＱＬ－３Ｅ", 0, 15, "f"),
               ("守備スコーピオ", "ＱＬ－４Ｅ", 0, 17, "d"),
               ("守備ワイバーン", "ＱＬ－５Ｅ", 0, 17, "g"),
               ("守備シャークＡ", "ＱＬ－６Ｅ", 0, 18, "a"),
               ("守備シャークＢ", "ＱＬ－６Ｅ", 0, 18, "b")]
    i = info("ブロックＤ", "中央塔外壁", 1, "Stage\\BlockD.x", (28, 28), 45,
             "Event\\D1_OP.Dat", "Event\\D1_ED.Dat", "BlockD2.Dat", "Story\\D1_OP.Dat",
             "Story\\D1_ED.Dat", "Battle4.mid", "Enemy2.mid", 1200,
             ["中央塔", "外壁テラス"], "ブロックＤ－２へ")
    return i, enemies, f, "Block D, stage 1: the terraces of the central tower's outer wall"


@stage
def BlockD2():
    """32 x 30: the central core; a ring of platforms up to height 9 around it."""
    f = Floor(32, 30, 2, "9")
    cx, cy = 16, 20
    for x, y in f.cells():
        dx, dy = x - cx, y - cy
        r2 = dx * dx + dy * dy
        if r2 <= 4:
            f.h[y][x], f.t[y][x] = 9, "4"        # the core dais
        elif r2 <= 16:
            f.h[y][x], f.t[y][x] = 8, "9"
        elif r2 <= 36:
            f.h[y][x], f.t[y][x] = 0, "0"        # the well around the core
        elif r2 <= 64:
            f.h[y][x], f.t[y][x] = 6, "4"
        elif r2 <= 100:
            f.h[y][x], f.t[y][x] = 4, "9"
    # Stairs: from the hall (2) up through 3..9 along the column x = 16.
    steps = {8: 3, 9: 3, 10: 4, 11: 5, 12: 6, 13: 6, 14: 7, 15: 7, 16: 8, 17: 8}
    for y, h in steps.items():
        for x in (15, 16, 17):
            f.h[y][x] = h
            f.t[y][x] = "5"
    for x, y in ((4, 4), (27, 4), (4, 25), (27, 25)):
        f.o[y][x] = "4"
    for x, y in ((8, 14), (24, 14), (9, 27), (23, 27)):
        f.o[y][x] = "7"
    allies = [(11, 0), (13, 0), (15, 0), (17, 0), (19, 0), (12, 1), (14, 1), (16, 1), (18, 1), (20, 1)]
    for ch, (x, y) in zip("ABCDEFGHIJ", allies):
        f.put(x, y, ch, "2")
    foes = [("a", 16, 20), ("b", 14, 20), ("c", 18, 20), ("d", 16, 28), ("e", 9, 20),
            ("f", 23, 20), ("i", 6, 6)]
    for ch, x, y in foes:
        f.put(x, y, ch, "0")
    # Fewer and lower guards than on the outer wall: the squad has to climb
    # the one stair to the dais under the guards' height bonus.
    enemies = [("ヴァルガ", "ＱＬ－６Ｅ", 1, 1, "a"),
               ("近衛ワイバーン", "ＱＬ－５Ｅ", 0, 15, "b"),
               ("近衛スコーピオ", "ＱＬ－４Ｅ", 0, 15, "c"),
               ("近衛ライノ", "ＱＬ－２Ｅ", 0, 14, "d"),
               ("近衛ホーネットＡ", "ＱＬ－３Ｅ", 0, 13, "e"),
               ("近衛ホーネットＢ", "ＱＬ－３Ｅ", 0, 13, "f"),
               ("番兵シャーク", "ＱＬ－６Ｅ", 0, 13, "i")]
    i = info("ブロックＤ", "中枢コア", 2, "Stage\\Final.x", (32, 30), 0,
             "Event\\D2_OP.Dat", "", "Ending", "Story\\D2_OP.Dat",
             "Story\\D2_ED.Dat", "LastBattle.mid", "LastEnemy.mid", 2000,
             ["中央塔", "中枢コア"], "エンディングへ", ending=True)
    return i, enemies, f, "Block D, stage 2: the final battle against ヴァルガ at the central core"


@stage
def Bench100():
    """100 x 100 with 40 enemies: the largest floor the game allows, for benchmarks."""
    f = Floor(100, 100, 1, "1")
    rnd = lcg(4716)
    # Rolling hills from a coarse random grid, smoothed to steps of one.
    coarse = [[next(rnd) % 7 + 1 for _ in range(11)] for _ in range(11)]
    for x, y in f.cells():
        gx, gy = x / 10.0, y / 10.0
        x0, y0 = int(gx), int(gy)
        fx, fy = gx - x0, gy - y0
        a = coarse[y0][x0] * (1 - fx) + coarse[y0][x0 + 1] * fx
        b = coarse[y0 + 1][x0] * (1 - fx) + coarse[y0 + 1][x0 + 1] * fx
        f.h[y][x] = max(1, min(9, int(a * (1 - fy) + b * fy + 0.5)))
        f.t[y][x] = "123456789"[(f.h[y][x] - 1) % 9]
    # Smooth until neighbours differ by at most one (so every cell is walkable).
    changed = True
    while changed:
        changed = False
        for x, y in f.cells():
            for dx, dy in ((1, 0), (0, 1)):
                nx, ny = x + dx, y + dy
                if nx < 100 and ny < 100 and abs(f.h[y][x] - f.h[ny][nx]) > 1:
                    hi = (x, y) if f.h[y][x] > f.h[ny][nx] else (nx, ny)
                    f.h[hi[1]][hi[0]] -= 1
                    changed = True
    for x, y in f.cells():
        f.t[y][x] = "123456789"[(f.h[y][x] - 1) % 9]
    # Holes and objects scattered away from the start rows.
    for x, y in f.cells():
        v = next(rnd)
        if 10 <= y <= 90 and v % 97 == 0:
            f.h[y][x], f.t[y][x] = 0, "0"
        elif 10 <= y <= 90 and v % 41 == 0:
            f.o[y][x] = "1234567"[v % 7]
    for k, ch in enumerate("ABCDEFGHIJ"):
        f.put(45 + k, 1, ch, "2")
    letters = "abcdefghijklmnopqrstuvwxyz"
    types = ["ＱＬ－１Ｅ", "ＱＬ－２Ｅ", "ＱＬ－３Ｅ", "ＱＬ－４Ｅ", "ＱＬ－５Ｅ", "ＱＬ－６Ｅ"]
    enemies = []
    # 26 lower-case markers; the other 14 enemies share markers, as the
    # format allows (they then stand on the same start cell).
    for k, ch in enumerate(letters):
        x, y = 4 + (k % 13) * 7, 92 + (k // 13) * 4
        f.o[y][x] = "0"
        f.h[y][x] = max(1, f.h[y][x])
        f.put(x, y, ch, "0")
    for n in range(40):
        ch = letters[n % 26]
        enemies.append((f"試験機{n + 1:02d}".translate(str.maketrans("0123456789", "０１２３４５６７８９")),
                        types[n % 6], n // 20, 5 + n % 15, ch))
    i = info("試験場", "百升平原", 1, "Stage\\BlockA.x", (100, 100), 0,
             "", "Event\\Bench_ED.Dat", "Nothing", "Nothing", "Nothing",
             "Battle1.mid", "Enemy1.mid", 0, ["試験場"], "なし")
    return i, enemies, f, ("Benchmark floor, outside the campaign: 100 x 100 cells, 40 enemies. "
                           "Generated by content/gen/make_stages.py; do not edit by hand")


def main():
    check = "--check" in sys.argv
    stale = []
    for name, fn in STAGES.items():
        inf, enemies, floor, comment = fn()
        check_floor(name, floor, enemies, shared_ok=(name == "Bench100"))
        text = stage_text(inf, enemies, floor, comment)
        text.encode("cp932")
        path = os.path.join(STAGE_DIR, name + ".Dat")
        old = open(path, encoding="utf-8").read() if os.path.exists(path) else None
        if old != text:
            stale.append(path)
            if not check:
                with open(path, "w", encoding="utf-8", newline="\n") as out:
                    out.write(text)
    if check and stale:
        print("out of date: " + ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
