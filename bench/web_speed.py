#!/usr/bin/env python3
"""The slowest 2D and 3D frames natively and in headless Chromium, in the
same run: bench/web/section_frames.cpp built both ways, on the site's own
content, and the ratio of the times (the goal: the browser within 1.5 times
the native time).

  bench/web_speed.py SITE NATIVE_PROGRAM [FRAMES]

SITE is build-web/site (scripts/web --build), NATIVE_PROGRAM
build/bench/bench_section_frames."""

import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Browser, Site  # noqa: E402

LINE = re.compile(r"^(.*): ([0-9.]+) ms a frame")


def times(text):
    return {m.group(1): float(m.group(2)) for m in map(LINE.match, text.splitlines()) if m}


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        sys.exit(2)
    site, program = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    frames = sys.argv[3] if len(sys.argv) > 3 else "120"
    with tempfile.TemporaryDirectory() as work:
        os.symlink(os.path.join(site, "data.fil"), os.path.join(work, "data.fil"))
        native_text = subprocess.run([program, frames], cwd=work, stdout=subprocess.PIPE, text=True,
                                     check=True).stdout
    server, browser = Site(site), Browser()
    try:
        browser.open(server.url + "bench.html?frames=" + frames)
        browser.wait_for("document.title === 'bench done'", 600)
        page_text = browser.evaluate("document.getElementById('bench').textContent")
    finally:
        browser.close()
        server.close()
    native, page = times(native_text), times(page_text)
    path = re.search(r"vector path: (\S+)", native_text)
    web_path = re.search(r"vector path: (\S+)", page_text)
    print("%-24s %12s %12s %8s" % ("frame", "native ms", "browser ms", "ratio"))
    for name, native_ms in native.items():
        page_ms = page.get(name)
        ratio = "%.2f" % (page_ms / native_ms) if page_ms else "-"
        print("%-24s %12.3f %12s %8s" % (name, native_ms, "%.3f" % page_ms if page_ms else "-", ratio))
    print("native vector path: %s; browser: %s" % (path.group(1) if path else "?",
                                                   web_path.group(1) if web_path else "?"))
    for name in ("zedariva.wasm", "zedariva.js"):
        print("%s: %d bytes" % (name, os.path.getsize(os.path.join(site, name))))
    total = sum(os.path.getsize(os.path.join(site, f)) for f in os.listdir(site)
                if f not in ("section-frames.js", "section-frames.wasm", "bench.html"))
    print("the site without the benchmark: %d bytes" % total)


if __name__ == "__main__":
    main()
