#!/usr/bin/env python3
"""Lists the tests of a build tree (ctest --show-only=json-v1) and fails for
every test that has no TIMEOUT property."""
import json
import subprocess
import sys

CTEST, BUILD = sys.argv[1:3]
listing = subprocess.run([CTEST, "--show-only=json-v1"], cwd=BUILD, check=True,
                         capture_output=True, text=True)
tests = json.loads(listing.stdout)["tests"]
missing = []
for test in tests:
    props = {p["name"]: p["value"] for p in test.get("properties", [])}
    if not props.get("TIMEOUT"):
        missing.append(test["name"])
if not tests:
    print("no tests listed")
    sys.exit(1)
if missing:
    print("tests without a TIMEOUT:", " ".join(missing))
    sys.exit(1)
print(f"all {len(tests)} tests have a TIMEOUT")
