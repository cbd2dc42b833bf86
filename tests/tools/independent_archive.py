#!/usr/bin/env python3
"""An independent implementation of the archive format, checked against datpack.

Usage: independent_archive.py DATPACK WORKDIR

Writes archives and scrambled token files here and reads them with datpack,
and reads what datpack writes here. Exits non-zero on the first difference.
"""
import os
import shutil
import subprocess
import sys

KEY = "pelomu4716"
SHIFT = [ord(c) & 3 for c in KEY]
WS = b" \t\r\n\x0b\x0c"


def encode(b: bytes) -> bytes:
    return bytes((x - SHIFT[i % 10]) & 0xFF for i, x in enumerate(b))


def decode(b: bytes) -> bytes:
    return bytes((x + SHIFT[i % 10]) & 0xFF for i, x in enumerate(b))


def split(b: bytes):
    return b.split()  # ASCII whitespace only, as the game reads it


def strip_comments(tokens):
    out, inside = [], False
    for t in tokens:
        if not inside and t == b"/*":
            inside = True
        elif inside:
            if t == b"*/":
                inside = False
        else:
            out.append(t)
    return out


def tokens_from(data: bytes, pos: int, limit: int):
    """Tokens from pos until limit tokens were read or the data ends."""
    out = []
    n = len(data)
    while len(out) < limit:
        while pos < n and data[pos] in WS:
            pos += 1
        if pos >= n:
            break
        start = pos
        while pos < n and data[pos] not in WS:
            pos += 1
        out.append(data[start:pos])
    return out


def read_directory(data: bytes):
    head = data[:18]
    nul = head.find(b"\0")
    if nul >= 0:
        head = head[:nul]
    head = decode(head.ljust(18, b"\0"))
    digits = b""
    for ch in head:
        if 0x30 <= ch <= 0x39:
            digits += bytes([ch])
        else:
            break
    d = int(digits) if digits else 0
    toks = split(data[d:])
    entries = []
    for i in range(0, len(toks) - 2, 3):
        entries.append((decode(toks[i]), int(decode(toks[i + 1])), int(decode(toks[i + 2]))))
    return entries


def find(entries, name: bytes):
    for e in entries:
        if e[0].lower() == name.lower():  # ASCII-only names in this check
            return e
    return None


def write_archive(path, members):
    """members: list of (name, bytes, length). Directory in reverse order,
    newline separators, member data separated by tabs and newlines."""
    body = b""
    places = []
    for name, data, length in members:
        places.append((name, 18 + len(body), length))
        body += data + b"\n\t"
    d = 18 + len(body)
    header = encode(str(d).encode()).ljust(18, b"\0")
    directory = b""
    for name, off, length in reversed(places):
        directory += encode(name) + b"\n" + encode(str(off).encode()) + b"\t" + encode(str(length).encode()) + b"\n"
    with open(path, "wb") as f:
        f.write(header + body + directory)


def text_member(tokens):
    return b"\r\n".join(encode(t) for t in tokens)


def run(datpack, *args, binary=False):
    r = subprocess.run([datpack, *args], capture_output=True)
    if r.returncode != 0:
        fail(f"datpack {' '.join(args)} failed: {r.stderr.decode(errors='replace')}")
    return r.stdout if binary else r.stdout.decode("utf-8")


def fail(msg):
    print("FAIL:", msg)
    sys.exit(1)


def check(cond, msg):
    if not cond:
        fail(msg)


def main():
    datpack, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    # 1. datpack packs, this implementation reads.
    sources = {
        "Data/CharaMaster.Dat": "／／ＨＰ 10 /* 説明 です */ 名前　あり\r\n12abc //\n",
        "Data/Setting.Dat": "//SettingStart 速度 1.5\n//SettingEnd",
        "Stage/ステージ１.Dat": "／／ステージ情報 表示 0012 ／／ステージ情報終わり",
        "Text/empty.txt": "   \n",
    }
    src = os.path.join(work, "src")
    for rel, text in sources.items():
        p = os.path.join(src, rel)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        with open(p, "w", encoding="utf-8", newline="") as f:
            f.write(text)
    packed = os.path.join(work, "packed.Dat")
    run(datpack, "pack", "--text", packed, src)
    with open(packed, "rb") as f:
        data = f.read()
    entries = read_directory(data)
    check(len(entries) == len(sources), f"expected {len(sources)} entries, got {len(entries)}")
    for rel, text in sources.items():
        name = rel.replace("/", "\\").encode("cp932")
        e = find(entries, name)
        check(e is not None, f"member {rel} missing")
        expected = strip_comments(split(text.encode("cp932")))
        got = [decode(t) for t in tokens_from(data, e[1], e[2])]
        check(got == expected, f"member {rel}: {got} != {expected}")

    # 2. This implementation packs, datpack reads.
    members = [
        (b"Data\\A.Dat", text_member([b"alpha", "全角　空白".encode("cp932"), b"0012"]), 3),
        (b"Data\\B.Dat", text_member([b"b1", b"b2"]), 2),
        (b"Data\\Long.Dat", text_member([b"l1"]), 3),  # runs on into the next member
        (b"Data\\Next.Dat", text_member([b"n1", b"n2"]), 2),
        (b"SE\\x.wav", bytes(range(256)) + b" \r\n\0", 260),
    ]
    mine = os.path.join(work, "mine.Dat")
    write_archive(mine, members)
    listing = run(datpack, "list", mine).splitlines()
    with open(mine, "rb") as f:
        mine_data = f.read()
    expected_listing = [f"{n.decode()}\t{o}\t{l}" for n, o, l in read_directory(mine_data)]
    check(listing == expected_listing, f"list: {listing} != {expected_listing}")
    check(listing[0].startswith("SE\\x.wav\t"), "directory order not kept")
    for name, _, _ in members[:4]:
        e = find(read_directory(mine_data), name)
        expected = [decode(t).decode("cp932") for t in tokens_from(mine_data, e[1], e[2])]
        got = run(datpack, "tokens", mine, name.decode().lower()).splitlines()
        check(got == expected, f"tokens {name}: {got} != {expected}")
    check(run(datpack, "tokens", mine, "Data\\Long.Dat").splitlines() == ["l1", "n1", "n2"],
          "token limit did not run past the member end")
    got = run(datpack, "cat", mine, "SE\\x.wav", binary=True)
    check(got == members[4][1], "cat gave other bytes")

    # 3. Unpack what this implementation wrote.
    out = os.path.join(work, "out")
    run(datpack, "unpack", "--binary", mine, out)
    with open(os.path.join(out, "SE", "x.wav"), "rb") as f:
        check(f.read() == members[4][1], "unpacked binary member differs")

    # 4. Scrambled token files both ways.
    save_tokens = ["／／セーブ", "123", "-7", "名前　あり", "Ｖｅｒ"]
    enc_path = os.path.join(work, "Save1E.Dat")
    with open(enc_path, "wb") as f:
        f.write(b"".join(encode(t.encode("cp932")) + b"\r\n" for t in save_tokens))
    check(run(datpack, "decode-file", enc_path).splitlines() == save_tokens, "decode-file differs")
    plain_path = os.path.join(work, "plain.txt")
    with open(plain_path, "w", encoding="utf-8") as f:
        f.write(" ".join(save_tokens))
    out_path = os.path.join(work, "out.Dat")
    run(datpack, "encode-file", plain_path, out_path)
    with open(out_path, "rb") as f:
        raw = f.read()
    check(raw.endswith(b"\r\n"), "encode-file does not end lines with CR LF")
    check([decode(t).decode("cp932") for t in split(raw)] == save_tokens, "encode-file differs")

    print("independent implementation and datpack agree")


if __name__ == "__main__":
    main()
