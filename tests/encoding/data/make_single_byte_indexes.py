#!/usr/bin/env python3
"""Writes single_byte_indexes.txt from a checkout of https://github.com/whatwg/encoding: one
line per single-byte encoding, its name and the 128 code points of bytes 0x80 to 0xFF in hex
(0 where the index has none).

    python3 make_single_byte_indexes.py PATH/TO/encoding > single_byte_indexes.txt
"""
import json
import os
import re
import sys

root = sys.argv[1]
with open(os.path.join(root, "encodings.json"), encoding="utf-8") as f:
    groups = json.load(f)
print("# From the index files of https://github.com/whatwg/encoding (CC BY 4.0).")
for group in groups:
    if group["heading"] != "Legacy single-byte encodings":
        continue
    for encoding in group["encodings"]:
        name = encoding["name"]
        # ISO-8859-8-I shares ISO-8859-8's index.
        index = "iso-8859-8" if name == "ISO-8859-8-I" else name.lower()
        points = [0] * 128
        with open(os.path.join(root, f"index-{index}.txt"), encoding="utf-8") as f:
            for line in f:
                m = re.match(r"\s*(\d+)\s+0x([0-9A-F]+)", line)
                if m:
                    points[int(m.group(1))] = int(m.group(2), 16)
        print(name, " ".join(f"{p:X}" for p in points))
