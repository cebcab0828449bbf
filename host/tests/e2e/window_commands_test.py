"""The window and event commands on the real launcher under X: who may call them, what they do
to the real main window, the resize event, and the drag region."""
import http.server
import threading
import time
import unittest

from launcher_e2e import MAIN_TITLE, WebDriver, find_window, run_tool, screen_size, wait_for

# A sample of every group the main window is granted.
PLUGIN_COMMANDS = [
    ("plugin:app|version", {}),
    ("plugin:app|name", {}),
    ("plugin:window|minimize", {"label": "main"}),
    ("plugin:window|is_maximized", {"label": "main"}),
    ("plugin:event|listen", {"event": "tauri://resize", "target": {"kind": "Any"}, "handler": 1}),
    ("plugin:resources|close", {"rid": 1}),
    ("plugin:os|locale", {}),
    ("plugin:system-info|cpu_info", {}),
]


def refused(command):
    return {"error": f"Command {command} not allowed by ACL"}


def main_window():
    window = wait_for(lambda: find_window(MAIN_TITLE), what="the main window")
    wait_for(window.is_mapped, what="the main window shown")
    return window


def xdotool(*args):
    run_tool("xdotool", *map(str, args))


def point_at(x, y):
    # Not --sync: it waits for a motion that never comes when the pointer is already there.
    xdotool("mousemove", x, y)
    time.sleep(0.05)


class RemotePage:
    """A loopback HTTP server with one page, standing for any origin other than the launcher's."""

    def __enter__(self):
        class Page(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                body = b"<!doctype html><title>elsewhere</title><p>remote</p>"
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Page)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        return f"http://127.0.0.1:{self.server.server_address[1]}/"

    def __exit__(self, *exc):
        self.server.shutdown()
        self.server.server_close()


class ForeignPageTest(unittest.TestCase):
    def test_no_plugin_command_from_a_frame_or_a_remote_page(self):
        with WebDriver() as driver:
            window = main_window()
            for command, args in PLUGIN_COMMANDS[:2]:
                self.assertIn("ok", driver.invoke(command, args), "the launcher's own page is allowed")

            # A frame inside the launcher's page posts to the host without the top frame's bridge.
            from_frame = driver.script("""
                const frame = document.createElement('iframe');
                frame.srcdoc = '<p>frame</p>';
                const loaded = new Promise(resolve => frame.onload = resolve);
                document.body.appendChild(frame);
                await loaded;
                const ipc = frame.contentWindow.webkit.messageHandlers.ipc;
                const answers = [];
                for (const [cmd, args] of arguments[0]) {
                  answers.push(await ipc.postMessage(JSON.stringify({cmd, args})).then(
                      ok => ({ok: JSON.parse(ok)}), e => ({error: JSON.parse(e.message)})));
                }
                frame.remove();
                return answers;""", PLUGIN_COMMANDS)
            self.assertEqual(from_frame, {"ok": [refused(c) for c, _ in PLUGIN_COMMANDS]})

            with RemotePage() as url:
                driver.navigate(url)
                wait_for(lambda: driver.script("return document.title;").get("ok") == "elsewhere",
                         what="the remote page")
                for command, args in PLUGIN_COMMANDS:
                    with self.subTest(command=command):
                        self.assertEqual(driver.invoke(command, args), refused(command))
            self.assertNotIn("_NET_WM_STATE_HIDDEN", window.net_wm_state())


class WindowCommandsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.driver = WebDriver()
        cls.window = main_window()

    @classmethod
    def tearDownClass(cls):
        cls.driver.close()

    def tearDown(self):
        # Each test starts from a restored window.
        if self.invoke("plugin:window|is_maximized"):
            self.invoke("plugin:window|toggle_maximize")
            wait_for(lambda: not self.invoke("plugin:window|is_maximized"), what="the window restored")

    def invoke(self, command, args=None):
        answer = self.driver.invoke(command, args or {"label": "main"})
        self.assertIn("ok", answer, f"{command}: {answer}")
        return answer["ok"]

    def wait_state(self, present, absent=()):
        def settled():
            state = self.window.net_wm_state()
            return all(s in state for s in present) and not any(s in state for s in absent)
        wait_for(settled, what=f"window state with {present} without {absent}")

    def test_minimize_maximize_restore_from_the_page(self):
        maximized = ("_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ")
        size = self.window.geometry()[2:]

        self.assertIsNone(self.invoke("plugin:window|toggle_maximize"))
        self.wait_state(maximized)
        wait_for(lambda: self.invoke("plugin:window|is_maximized"), what="is_maximized to answer true")
        self.assertGreater(self.window.geometry()[2], size[0])
        self.assertFalse(self.invoke("plugin:window|is_fullscreen"))

        self.assertIsNone(self.invoke("plugin:window|toggle_maximize"))
        self.wait_state((), maximized)
        wait_for(lambda: self.window.geometry()[2:] == size, what="the size from before")
        self.assertFalse(self.invoke("plugin:window|is_maximized"))

        self.assertIsNone(self.invoke("plugin:window|minimize"))
        self.wait_state(("_NET_WM_STATE_HIDDEN",))
        xdotool("windowactivate", "--sync", self.window.id)
        self.wait_state((), ("_NET_WM_STATE_HIDDEN",))

        self.assertIn(self.invoke("plugin:window|theme"), ("light", "dark"))
        width, height = screen_size()
        monitor = self.invoke("plugin:window|current_monitor")
        self.assertEqual((monitor["size"], monitor["position"]), ({"width": width, "height": height}, {"x": 0, "y": 0}))
        self.assertEqual(self.invoke("plugin:window|monitor_from_point", {"x": width / 2, "y": height / 2}), monitor)
        self.assertEqual(self.invoke("plugin:app|name", {}), MAIN_TITLE)

    def test_resize_event_reaches_a_listener(self):
        listener = self.driver.script("""
            window.resizes = [];
            const internals = window.__TAURI_INTERNALS__;
            const handler = internals.transformCallback(event => window.resizes.push(event));
            return await internals.invoke('plugin:event|listen', {
                event: 'tauri://resize', target: {kind: 'Window', label: 'main'}, handler});""")["ok"]
        resizes = lambda: self.driver.script("return window.resizes;")["ok"]

        self.window.resize(900, 700)
        wait_for(lambda: resizes() and resizes()[-1]["payload"] == {"width": 900, "height": 700},
                 what="the resize event")
        self.assertEqual(resizes()[-1]["event"], "tauri://resize")
        self.assertEqual(resizes()[-1]["id"], listener)

        self.assertIsNone(self.invoke("plugin:event|unlisten", {"event": "tauri://resize", "eventId": listener}))
        heard = len(resizes())
        self.window.resize(800, 600)
        wait_for(lambda: self.window.geometry()[2:] == (800, 600), what="the window back at 800x600")
        time.sleep(0.3)
        self.assertEqual(len(resizes()), heard, "no event after unlisten")

    def test_drag_region_moves_and_maximizes_the_window(self):
        # A title bar of the page's own, 48 px high, with a label inside it.
        self.driver.script("""
            const bar = document.createElement('header');
            bar.setAttribute('data-tauri-drag-region', 'true');
            bar.style.cssText = 'position:fixed;top:0;left:0;right:0;height:48px;z-index:2147483647;background:#345';
            const title = document.createElement('span');
            title.textContent = 'title';
            title.style.cssText = 'position:absolute;left:0;top:0;width:120px;height:48px';
            bar.appendChild(title);
            document.body.appendChild(bar);""")
        left, top, _, _ = self.window.geometry()

        def drag(x, y, dx, dy):
            point_at(left + x, top + y)
            xdotool("mousedown", 1)
            time.sleep(0.3)
            for step in range(1, 11):
                point_at(left + x + dx * step // 10, top + y + dy * step // 10)
            xdotool("mouseup", 1)

        # On the label inside the bar: nothing moves.
        drag(60, 24, 120, 90)
        time.sleep(0.5)
        self.assertEqual(self.window.geometry()[:2], (left, top))

        # On the bar itself: the window follows the pointer, from the first motion on.
        drag(400, 24, 120, 90)
        def moved():
            x, y = self.window.geometry()[:2]
            return 100 <= x - left <= 120 and 75 <= y - top <= 90
        wait_for(moved, what="the window moved with the pointer")

        # A double-click on the bar maximises, another restores.
        left, top, _, _ = self.window.geometry()
        for expect_maximized in (True, False):
            time.sleep(0.6)  # apart from the clicks before, as a user's next double-click is
            point_at(left + 400, top + 24)
            xdotool("click", "--repeat", 2, "--delay", 100, 1)
            wait_for(lambda: self.invoke("plugin:window|is_maximized") == expect_maximized,
                     what=f"maximized={expect_maximized} after a double-click")
            left, top, _, _ = self.window.geometry()


class CloseTest(unittest.TestCase):
    def test_close_from_the_page_ends_the_launcher(self):
        driver = WebDriver()
        try:
            window = main_window()
            pid = int(run_tool("xdotool", "getwindowpid", str(window.id)))
            # The page goes with its window, so the driver may hear no answer.
            try:
                driver.invoke("plugin:window|close", {"label": "main"})
            except AssertionError:
                pass
            wait_for(lambda: find_window(MAIN_TITLE) is None, what="the main window gone")
            wait_for(lambda: run_tool("ps", "-o", "stat=", "-p", str(pid)).strip() in ("", "Z"),
                     what="the launcher process ended")
        finally:
            try:
                driver.close()
            except AssertionError:
                pass  # the session ended with the launcher


if __name__ == "__main__":
    unittest.main()
