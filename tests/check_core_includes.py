#!/usr/bin/env python3
"""Fails when a core source (or a header it lists) includes a Qt, GLib, GTK or Nautilus header."""
import re
import sys
from pathlib import Path

FORBIDDEN = re.compile(r'^\s*#\s*include\s*[<"](Q[A-Za-z]|qt|glib|gio/|gobject|gtk|nautilus|xcb)', re.M)

root = Path(sys.argv[1])
sources = [l.strip() for l in Path(sys.argv[2]).read_text().splitlines() if l.strip()]
if not sources:
    sys.exit("no core sources listed")
bad = []
for rel in sources:
    text = (root / rel).read_text(encoding="utf-8")
    for m in FORBIDDEN.finditer(text):
        bad.append(f"{rel}: {m.group(0).strip()}")
if bad:
    print("core sources include toolkit headers:\n  " + "\n  ".join(bad))
    sys.exit(1)
print(f"{len(sources)} core sources checked")
