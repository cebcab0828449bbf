"""Helpers for end-to-end tests of the real launcher under X: starting it, reading its windows
through the X tools, and driving its main page through WebKitWebDriver.

The tests run inside scripts/with-display (Xvfb + openbox + xcompmgr); LAUNCHER_BINARY names the
launcher of the test build.
"""
import json
import os
import random
import re
import signal
import socket
import subprocess
import threading
import time
import unittest
import urllib.error
import urllib.request

BINARY = os.environ.get("LAUNCHER_BINARY", "build/e2e/launcher")
SPLASH_TITLE = "Tauri App"
MAIN_TITLE = "Mirravel - Launcher"
# How long any wait may take before the test fails: far above what a quiet machine needs (a second
# or two), so a machine busy with other work still passes.
BOUND_SECONDS = 60.0


def wait_for(predicate, timeout=BOUND_SECONDS, interval=0.02, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(interval)


def run_tool(*args):
    return subprocess.run(args, capture_output=True, text=True, timeout=BOUND_SECONDS).stdout


class XWindow:
    """A top-level window as the window manager and X see it."""

    def __init__(self, window_id):
        self.id = window_id

    def properties(self):
        return run_tool("xprop", "-id", str(self.id))

    def net_wm_state(self):
        match = re.search(r"_NET_WM_STATE\(ATOM\) = (.*)", self.properties())
        return set(match.group(1).split(", ")) if match else set()

    def is_mapped(self):
        return "IsViewable" in run_tool("xwininfo", "-id", str(self.id))

    def geometry(self):
        """(x, y, width, height) of the client area in root coordinates."""
        info = run_tool("xwininfo", "-id", str(self.id))
        field = lambda name: int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))

    def depth(self):
        return int(re.search(r"Depth:\s+(\d+)", run_tool("xwininfo", "-id", str(self.id))).group(1))

    def close(self):
        """Asks politely, as a title bar's close button would (WM_DELETE_WINDOW)."""
        subprocess.run(["wmctrl", "-i", "-c", hex(self.id)], check=True, timeout=BOUND_SECONDS)

    def resize(self, width, height):
        subprocess.run(["xdotool", "windowsize", str(self.id), str(width), str(height)], check=True,
                       timeout=BOUND_SECONDS)


def find_window(title, pid=None):
    """The launcher's top-level window with this title, or None."""
    args = ["xdotool", "search", "--name", f"^{re.escape(title)}$"]
    if pid is not None:
        args[2:2] = ["--pid", str(pid)]
    ids = run_tool(*args).split()
    return XWindow(int(ids[0])) if ids else None


def screen_size():
    match = re.search(r"dimensions:\s+(\d+)x(\d+)", run_tool("xdpyinfo"))
    return int(match.group(1)), int(match.group(2))


class Launcher:
    """The launcher binary as a child process, with its standard output collected line by line."""

    def __init__(self, *args, env=None):
        self.process = subprocess.Popen(
            [BINARY, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
            env={**os.environ, **(env or {})})
        self.stdout_lines = []
        self.stderr_lines = []
        self._readers = [
            threading.Thread(target=self._read, args=(self.process.stdout, self.stdout_lines), daemon=True),
            threading.Thread(target=self._read, args=(self.process.stderr, self.stderr_lines), daemon=True),
        ]
        for reader in self._readers:
            reader.start()

    @staticmethod
    def _read(stream, lines):
        for line in stream:
            lines.append(line.rstrip("\n"))

    @property
    def pid(self):
        return self.process.pid

    def web_processes(self):
        out = run_tool("pgrep", "-P", str(self.pid), "-f", "WebKitWebProcess")
        return [int(p) for p in out.split()]

    def window(self, title, timeout=BOUND_SECONDS):
        return wait_for(lambda: find_window(title, self.pid), timeout, what=f"window {title!r}")

    def wait(self, timeout=BOUND_SECONDS):
        code = self.process.wait(timeout)
        self._finish_reading()
        return code

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self._finish_reading()

    def _finish_reading(self):
        for reader in self._readers:
            reader.join(5)
        for stream in (self.process.stdout, self.process.stderr):
            if not stream.closed:
                stream.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


ELEMENT = "element-6066-11e4-a52e-4f735466cecf"


def fresh_profile(root):
    """Environment for a launcher whose web view starts with empty storage: its own XDG data,
    config and cache folders under `root` (the system's data folders stay, GTK needs them)."""
    env = {}
    for name in ("XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"):
        path = os.path.join(root, name.lower())
        os.makedirs(path, exist_ok=True)
        env[name] = path
    return env


def e2e_fixtures():
    """The loopback endpoints, certificates and keys this test build was configured with
    (scripts/e2e-fixtures), or a skip when the build was configured without them."""
    path = os.environ.get("LAUNCHER_E2E_FIXTURES", "")
    if not path:
        raise unittest.SkipTest("this build's endpoints are not loopback: configure it with scripts/e2e-fixtures")
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def free_address():
    """A loopback address and a port free on it. The address is one of 127.0.0.0/8 picked at
    random, so a port another test run takes between this choice and the driver's bind (both
    pick free ports on this machine) is all but never on the same address."""
    host = f"127.{random.randint(1, 254)}.{random.randint(0, 255)}.{random.randint(1, 254)}"
    with socket.socket() as s:
        s.bind((host, 0))
        return host, s.getsockname()[1]


class WebDriver:
    """A WebKitWebDriver session on the launcher's main window, over the W3C wire protocol."""

    def __init__(self, *args, env=None, binary=None):
        """`args` are the launcher's command-line arguments; `env`, when given, is added to the
        environment WebKitWebDriver and so the launcher it starts run with; `binary` replaces the
        program started (a wrapper around the launcher, say)."""
        self.host, self.port = free_address()
        self.driver = subprocess.Popen(["WebKitWebDriver", f"--host={self.host}", f"--port={self.port}"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       env={**os.environ, **(env or {})})
        wait_for(self._listening, what="WebKitWebDriver")
        capabilities = {"capabilities": {"alwaysMatch": {
            "webkitgtk:browserOptions": {"binary": os.path.abspath(binary or BINARY), "args": list(args)}}}}
        self.session = self._call("POST", "/session", capabilities)["sessionId"]

    def _listening(self):
        try:
            with socket.create_connection((self.host, self.port), timeout=0.2):
                return True
        except OSError:
            return False

    def _call(self, method, path, body=None):
        data = json.dumps(body).encode() if body is not None else None
        request = urllib.request.Request(f"http://{self.host}:{self.port}{path}", data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=2 * BOUND_SECONDS) as response:
                return json.loads(response.read())["value"]
        except urllib.error.HTTPError as error:
            raise AssertionError(f"WebDriver {method} {path}: {error.read().decode()}") from None

    def script(self, source, *args):
        """Runs an async function body in the main page; `return` gives its (awaited) result."""
        wrapped = ("const done = arguments[arguments.length - 1];"
                   f"(async (...args) => {{ {source} }})(...Array.prototype.slice.call(arguments, 0, -1))"
                   ".then(v => done({ok: v === undefined ? null : v}), e => done({error: String(e)}));")
        result = self._call("POST", f"/session/{self.session}/execute/async", {"script": wrapped, "args": list(args)})
        return result

    def invoke(self, command, args=None):
        """{'ok': answer} or {'error': message} of one host command called from the main page."""
        return self.script("return await window.__TAURI_INTERNALS__.invoke(args[0], args[1]);", command, args or {})

    def element(self, selector, using="css selector"):
        """The WebDriver reference of the first element matching `selector`."""
        found = self._call("POST", f"/session/{self.session}/element", {"using": using, "value": selector})
        return found[ELEMENT]

    def click(self, selector, using="css selector"):
        """A WebDriver element click: scrolled into view and delivered as a real pointer click."""
        self._call("POST", f"/session/{self.session}/element/{self.element(selector, using)}/click", {})

    def click_to_end(self, selector, using="css selector"):
        """A click that ends the launcher: the element must exist, but the click's own answer may
        be lost with the launcher, so none is read."""
        element = self.element(selector, using)
        try:
            self._call("POST", f"/session/{self.session}/element/{element}/click", {})
        except AssertionError:
            pass

    def click_button(self, text):
        """Clicks the first button whose visible text is `text` (which holds no double quote)."""
        self.click(f'//button[normalize-space()="{text}"]', "xpath")

    def url(self):
        return self._call("GET", f"/session/{self.session}/url")

    def navigate(self, url):
        return self._call("POST", f"/session/{self.session}/url", {"url": url})

    def close(self):
        try:
            self._call("DELETE", f"/session/{self.session}")
        finally:
            self.driver.terminate()
            self.driver.wait(BOUND_SECONDS)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
