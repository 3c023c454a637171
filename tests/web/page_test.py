"""The web page in headless Chromium against the native program.

  page_test.py capture SITE PROGRAM   the whole presentation at 4 fps: every
                                      frame's hash from the page equals the
                                      native --capture=FILE.txt's
  page_test.py live SITE              ?autoplay&start=20 in real time: the
                                      picture, the music's speed, pause,
                                      the keys, no console errors
"""

import os
import subprocess
import sys
import tempfile
import time

from browser import Browser, Site

FPS = 4


def fail(text):
    print("FAIL: " + text)
    sys.exit(1)


def native_hashes(site, program, work):
    """The native program's capture of the site's own content."""
    for name in ("data.fil", "tazutune.it"):
        os.symlink(os.path.join(site, name), os.path.join(work, name))
    run = subprocess.run([program, "--capture=native.txt", "--fps=%d" % FPS], cwd=work,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         env=dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy"))
    if run.returncode != 0:
        fail("the native capture ended with %d:\n%s" % (run.returncode, run.stdout))
    with open(os.path.join(work, "native.txt")) as f:
        return f.read().splitlines()


def capture(site, program):
    with tempfile.TemporaryDirectory() as work:
        started = time.time()
        native = native_hashes(site, program, work)
        native_seconds = time.time() - started
    server, browser = Site(site), Browser()
    try:
        started = time.time()
        browser.open(server.url + "index.html?capture=%d" % FPS)
        browser.wait_for("document.title === 'capture done'", 900)
        page_seconds = time.time() - started
        page = browser.evaluate("document.getElementById('capture').textContent").splitlines()
        errors = list(browser.errors)
    finally:
        browser.close()
        server.close()
    if errors:
        fail("console errors: %s" % errors)
    for native_line, page_line in zip(native, page):
        if native_line != page_line:
            fail("frame %s differs: native %s, page %s" % (native_line[:5], native_line, page_line))
    if len(native) != len(page):
        fail("the native capture has %d frames, the page's %d" % (len(native), len(page)))
    print("PASS: %d frames at %d fps, every hash the same (native %.1f s, page %.1f s)"
          % (len(native), FPS, native_seconds, page_seconds))


def colours(png):
    return int(subprocess.run(["identify", "-format", "%k", png], stdout=subprocess.PIPE, text=True,
                              check=True).stdout)


def live(site):
    server, browser = Site(site), Browser()
    try:
        browser.open(server.url + "index.html?autoplay&start=20")
        browser.wait_for("window.zedariva && window.zedariva.state() === 'playing' && "
                         "window.zedariva.position() && window.zedariva.position().seconds > 0.2", 60)
        first, first_at = browser.evaluate("zedariva.position()"), time.time()
        browser.pump(4)
        second, second_at = browser.evaluate("zedariva.position()"), time.time()
        speed = (second["seconds"] - first["seconds"]) / (second_at - first_at)
        if abs(speed - 1) > 0.1:
            fail("the music moved %.2f s a second" % speed)
        with tempfile.TemporaryDirectory() as work:
            shot = os.path.join(work, "page.png")
            browser.screenshot(shot)
            seen = colours(shot)
        if seen < 1000:
            fail("the page shows %d colours" % seen)

        browser.key(" ", "Space", " ")
        browser.wait_for("zedariva.position().paused", 5)
        held = browser.evaluate("zedariva.position()")
        browser.pump(1)
        if browser.evaluate("zedariva.position().seconds") != held["seconds"]:
            fail("the music moved while paused")
        browser.key(" ", "Space", " ")
        browser.wait_for("!zedariva.position().paused", 5)
        browser.key("ArrowRight", "ArrowRight")
        order = browser.wait_for("zedariva.position().order > %d && zedariva.position().order" % held["order"], 5)
        browser.key("Home", "Home")
        browser.wait_for("zedariva.position().order === 0", 5)
        browser.pump(1)
        errors = list(browser.errors)
    finally:
        browser.close()
        server.close()
    if errors:
        fail("console errors: %s" % errors)
    print("PASS: %d colours, the music at %.3f x real speed, pause held it at %.2f s, Right to order %d, "
          "Home to order 0" % (seen, speed, held["seconds"], order))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "capture":
        capture(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] == "live":
        live(sys.argv[2])
    else:
        print(__doc__)
        sys.exit(2)
