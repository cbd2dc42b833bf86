#!/usr/bin/env python3
"""The soak's watcher on stand-in games: it must report a game that stops
passing frames (sleeping or spinning), memory that keeps growing, and a crash,
and must pass a game whose memory only moves between scenes.

usage: soak_watch.py SCRIPTS_DIR SCRATCH_DIR"""
import json
import os
import subprocess
import sys

SOAK = os.path.join(sys.argv[1], "soak")
WORK = sys.argv[2]

# A stand-in for the game: heartbeats ("soak PASS RSS") every 50 ms for
# --soak seconds, resident sizes from RSS_EXPR (of t, the seconds so far),
# then its summary line. STALL_AT seconds in, it stalls the way STALL says.
GAME = r'''#!/usr/bin/env python3
import sys, time
args = sys.argv[1:]
seconds = float(args[args.index("--soak") + 1])
start = time.monotonic()
n = 0
while True:
    t = time.monotonic() - start
    if t >= seconds:
        break
    if STALL_AT is not None and t >= STALL_AT:
        if STALL == "sleep":
            time.sleep(3600)
        elif STALL == "spin":
            while True:
                pass
        elif STALL == "crash":
            sys.exit(134)
    n += 1
    print("soak %d %d" % (n, int(RSS_EXPR)), flush=True)
    time.sleep(0.05)
print("soak done: %d passes" % n, flush=True)
'''


def run(name, rss_expr, stall=None, stall_at=None, seconds=4):
    folder = os.path.join(WORK, name)
    os.makedirs(os.path.join(folder, "data", "GameData"), exist_ok=True)
    exe = os.path.join(folder, "game")
    with open(exe, "w") as f:
        f.write(GAME.replace("RSS_EXPR", rss_expr).replace("STALL_AT", repr(stall_at))
                .replace("STALL", repr(stall)))
    os.chmod(exe, 0o755)
    out = os.path.join(folder, "out")
    proc = subprocess.run([sys.executable, SOAK, "--exe", exe, "--data",
                           os.path.join(folder, "data"), "--out", out, "--seconds",
                           str(seconds), "--hang-seconds", "1"],
                          capture_output=True, text=True, timeout=120)
    with open(os.path.join(out, "soak.json")) as f:
        figures = json.load(f)
    return proc.returncode, figures


failures = []


def expect(name, ok, figures, fault=None):
    code, faults = figures
    got_ok = code == 0
    if got_ok != ok or (fault and not any(fault in x for x in faults["faults"])):
        failures.append("%s: exit %d, faults %s" % (name, code, faults["faults"]))


# Memory that only moves between two levels 20 % apart (every quarter
# second, so each third of the run sees both): no growth, whichever level the
# sample after the first minute (here the first half) happens to meet.
expect("scenes", True, run("scenes", "100000 if t % 0.5 < 0.25 else 120000", seconds=6))
# Memory that rises steadily, 30 % over the run after its first half.
expect("leak", False, run("leak", "100000 + 15000 * t"), "resident memory grew")
# A game that stops passing frames, asleep or spinning.
expect("sleeps", False, run("sleeps", "100000", "sleep", 2.5), "hang")
expect("spins", False, run("spins", "100000", "spin", 2.5), "hang")
# A game that dies.
expect("crash", False, run("crash", "100000", "crash", 2.5), "exited with status")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("soak watcher: all cases as expected")
