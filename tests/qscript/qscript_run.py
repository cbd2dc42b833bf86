#!/usr/bin/env python3
"""Runs qscript on a small GameData, loose and packed, and checks its output."""
import os
import shutil
import subprocess
import sys

QSCRIPT, DATPACK, WORK = sys.argv[1:4]

SCRIPTS = {
    "Prologue/1.Dat": "MIDIPlay Op Texture 博士・甲 doc.bmp 博士・甲： こんにちは "
                      "INT %a = 1 INT %b = 2 if ( %a == 9 && %b == 2 ) { goto Prologue\\2 } 来ない",
    "Prologue/2.Dat": "ナレーション： 二番目 SEPlay 爆発 string $s = 値 Save Prologue\\2 savedata\\save1 MIDIStop",
}

EXPECTED = """* MIDIPlay Op.mid
> 博士：こんにちは
* goto Prologue\\2.Dat
> 二番目
* SEPlay 爆発
* Save savedata\\save1
* MIDIStop
finished
-- variables
INT %a = 1
INT %b = 2
string $s = 値
"""


def build(root, packed):
    shutil.rmtree(root, ignore_errors=True)
    text = os.path.join(root, "GameData", "Text")
    src = os.path.join(root, "src") if packed else text
    for name, body in SCRIPTS.items():
        path = os.path.join(src, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            # Loose game files are CP932; datpack packs UTF-8 sources.
            f.write(body.encode("utf-8" if packed else "cp932"))
    os.makedirs(text, exist_ok=True)
    if packed:
        subprocess.run([DATPACK, "pack", "--text", os.path.join(text, "Text.Dat"), src], check=True)


def run(root, gamedata_arg):
    p = subprocess.run([QSCRIPT, "run", gamedata_arg, "Prologue\\1.Dat"],
                       capture_output=True, text=True, encoding="utf-8")
    if p.returncode != 0 or p.stdout != EXPECTED:
        print("exit", p.returncode)
        print(p.stdout)
        print(p.stderr)
        sys.exit(1)
    save = os.path.join(root, "GameData", "Text", "savedata", "save1.Dat")
    with open(save, "rb") as f:
        tokens = f.read().decode("cp932").split()
    assert tokens[0] == "セーブ日時" and tokens[9] == "Prologue\\2", tokens
    # Strings first, then INT variables, each in name order.
    assert tokens[11:] == ["string", "$s", "値", "INT", "%a", "1", "INT", "%b", "2"], tokens


for packed in (False, True):
    root = os.path.join(WORK, "packed" if packed else "loose")
    build(root, packed)
    run(root, root)
    run(root, os.path.join(root, "GameData"))

# A script aborted in its middle by an undeclared variable fails the run and
# names the statement; the lines after it are never shown.
root = os.path.join(WORK, "aborted")
shutil.rmtree(root, ignore_errors=True)
os.makedirs(os.path.join(root, "GameData", "Text"))
with open(os.path.join(root, "GameData", "Text", "A.Dat"), "wb") as f:
    f.write("一 INT %a = 1 二 if ( %zzz == 1 ) { 三 } 四".encode("cp932"))
p = subprocess.run([QSCRIPT, "run", root, "A.Dat"], capture_output=True, text=True,
                   encoding="utf-8")
assert p.returncode != 0, p.stdout
assert 'undeclared variable %zzz in the statement "if ( %zzz == 1 ) {"' in p.stdout, p.stdout
assert "> 二" in p.stdout and "四" not in p.stdout and "finished" not in p.stdout, p.stdout

bad = subprocess.run([QSCRIPT, "run"], capture_output=True)
assert bad.returncode != 0
missing = subprocess.run([QSCRIPT, "run", WORK + "/nowhere", "x"], capture_output=True)
assert missing.returncode != 0
print("ok")
