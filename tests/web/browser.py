"""Headless Chromium driven over the DevTools protocol, for the web page's
tests: a private static server for the site, one page, console errors
collected, JavaScript evaluated, keys typed, screenshots taken. Uses Debian's
chromium and python3-websocket; nothing is downloaded."""

import base64
import functools
import http.server
import json
import os
import shutil
import socketserver
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-extensions", "--mute-audio", "--autoplay-policy=no-user-gesture-required",
    "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
    "--window-size=1280,720",
]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Site:
    """The site folder served on a free port of 127.0.0.1."""

    def __init__(self, folder):
        handler = functools.partial(QuietHandler, directory=folder)
        self.server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), handler)
        self.server.daemon_threads = True
        self.url = "http://127.0.0.1:%d/" % self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Browser:
    """One headless Chromium with one page."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="zd-chromium-")
        self.process = subprocess.Popen(
            ["chromium"] + CHROMIUM_FLAGS + ["--user-data-dir=" + self.profile, "--remote-debugging-port=0",
                                             "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.time() + 30
        while not os.path.exists(port_file) or os.path.getsize(port_file) == 0:
            if time.time() > deadline or self.process.poll() is not None:
                raise RuntimeError("chromium did not start its DevTools server")
            time.sleep(0.1)
        with open(port_file) as f:
            self.port = int(f.readline())
        pages = json.load(urllib.request.urlopen("http://127.0.0.1:%d/json/list" % self.port))
        page = next(p for p in pages if p["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=120,
                                                  suppress_origin=True)
        self.next_id = 0
        self.errors = []
        self.send("Runtime.enable")
        self.send("Log.enable")
        self.send("Page.enable")

    def _note(self, message):
        method = message.get("method")
        params = message.get("params", {})
        if method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            self.errors.append(" ".join(str(a.get("value", a.get("description", ""))) for a in params["args"]))
        elif method == "Runtime.exceptionThrown":
            self.errors.append(params["exceptionDetails"].get("exception", {}).get("description", "exception"))
        elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
            self.errors.append(params["entry"]["text"])

    def send(self, method, **params):
        self.next_id += 1
        wanted = self.next_id
        self.socket.send(json.dumps({"id": wanted, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == wanted:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._note(message)

    def pump(self, seconds):
        """Reads events (console errors) for about `seconds`."""
        end = time.time() + seconds
        while time.time() < end:
            self.socket.settimeout(max(0.01, end - time.time()))
            try:
                self._note(json.loads(self.socket.recv()))
            except websocket.WebSocketTimeoutException:
                pass
        self.socket.settimeout(120)

    def open(self, url):
        self.send("Page.navigate", url=url)

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, seconds):
        end = time.time() + seconds
        while time.time() < end:
            try:
                value = self.evaluate(expression)
            except RuntimeError:
                value = None
            if value:
                return value
            self.pump(0.2)
        raise TimeoutError("waited %d s for %s" % (seconds, expression))

    def key(self, key, code, text=""):
        for kind in ("keyDown", "keyUp"):
            params = {"type": kind, "key": key, "code": code}
            if text and kind == "keyDown":
                params["text"] = text
            self.send("Input.dispatchKeyEvent", **params)

    def screenshot(self, path):
        data = self.send("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def close(self):
        try:
            self.socket.close()
        finally:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
            shutil.rmtree(self.profile, ignore_errors=True)
