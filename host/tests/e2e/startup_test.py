"""The real launcher under X: the splash hand-off, both windows' properties, and a clean exit."""
import os
import signal
import unittest

import xlib
from launcher_e2e import MAIN_TITLE, SPLASH_TITLE, Launcher, WebDriver, XWindow, screen_size, wait_for

BACKEND_LINES = ["Performing really heavy backend setup task...", "Backend setup task completed!"]


class StartupTest(unittest.TestCase):
    def setUp(self):
        self.display = xlib.Display()
        self.addCleanup(self.display.close)

    def launch_and_hold_before_hand_off(self):
        """The front-end normally reports a fraction of a second after the splash appears. The
        moment the splash is viewable the launcher and its web process are stopped, so the state
        before the hand-off holds still while X is asked about it; should the page win the race,
        the launch is tried again. Answers the launcher and the stopped process ids."""
        for _ in range(5):
            launcher = Launcher()
            wait_for(lambda: self.display.viewable_window(SPLASH_TITLE), interval=0.001, what="splash viewable")
            stopped = [launcher.pid, *launcher.web_processes()]
            for pid in stopped:
                os.kill(pid, signal.SIGSTOP)
            if self.display.viewable_window(MAIN_TITLE) is None:
                return launcher, stopped
            for pid in stopped:
                os.kill(pid, signal.SIGCONT)
            launcher.stop()
        self.fail("the front-end always reported before the splash could be inspected")

    def test_splash_until_hand_off_then_main_until_closed(self):
        launcher, stopped = self.launch_and_hold_before_hand_off()
        with launcher:
            try:
                splash = XWindow(self.display.viewable_window(SPLASH_TITLE))
                x, y, width, height = splash.geometry()
                screen_width, screen_height = screen_size()
                self.assertEqual((width, height), (460, 160))
                self.assertLessEqual(abs(x + width / 2 - screen_width / 2), 1)
                self.assertLessEqual(abs(y + height / 2 - screen_height / 2), 1)
                state = wait_for(lambda: splash.net_wm_state() or None, what="splash window state")
                self.assertIn("_NET_WM_STATE_ABOVE", state)
                self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", state)
                self.assertEqual(splash.depth(), 32, "the splash has a transparent (ARGB) visual")
                self.assertEqual(launcher.stdout_lines[:2], BACKEND_LINES, "the backend reports at once")
                self.assertIsNone(self.display.viewable_window(MAIN_TITLE), "main is hidden before the hand-off")
            finally:
                for pid in stopped:
                    os.kill(pid, signal.SIGCONT)

            main = XWindow(wait_for(lambda: self.display.viewable_window(MAIN_TITLE),
                                    what="main shown after the front-end reports"))
            wait_for(lambda: self.display.viewable_window(SPLASH_TITLE) is None, what="splash closed")
            self.assertEqual(main.geometry()[2:], (800, 600))
            self.assertNotIn("_NET_WM_STATE_ABOVE", main.net_wm_state())
            main.resize(900, 700)
            wait_for(lambda: main.geometry()[2:] == (900, 700), what="main grows")
            main.resize(500, 400)
            wait_for(lambda: main.geometry()[2:] == (800, 600), what="main stops at its minimum size")

            main.close()
            self.assertEqual(launcher.wait(), 0)
            self.assertEqual(launcher.stdout_lines, BACKEND_LINES)


class BridgeTest(unittest.TestCase):
    """The page side of the command bridge, driven through WebKitWebDriver."""

    @classmethod
    def setUpClass(cls):
        cls.driver = WebDriver()
        wait_for(lambda: cls.driver.script("return document.readyState === 'complete';").get("ok"),
                 what="main page loaded")

    @classmethod
    def tearDownClass(cls):
        cls.driver.close()

    def test_command_answers_and_errors(self):
        cases = [
            ("set_complete", {"task": "frontend"}, {"ok": None}),
            ("set_complete", {}, {"error": "command set_complete missing required key task"}),
            ("set_complete", {"task": 5},
             {"error": "invalid args `task` for command `set_complete`: invalid type: integer `5`, expected a string"}),
            # A task outside the two names is refused, and the launcher lives on.
            ("set_complete", {"task": "Frontend"}, {"error": "invalid task completed!"}),
            ("set_complete", {"task": ""}, {"error": "invalid task completed!"}),
            ("no_such_command", {}, {"error": "Command no_such_command not found"}),
            # The error names the command whole, NUL and all.
            ("no\0such ١", {}, {"error": "Command no\0such ١ not found"}),
        ]
        for command, args, expected in cases:
            with self.subTest(command=command, args=args):
                self.assertEqual(self.driver.invoke(command, args), expected)
        # Still answering after the refused reports.
        self.assertEqual(self.driver.invoke("set_complete", {"task": "backend"}), {"ok": None})

    def test_messages_posted_past_the_bridge(self):
        # Straight to the handler, without the bridge: what is no command envelope is refused,
        # and an envelope without the bridge's token is a foreign caller. Errors travel as JSON
        # strings, as the bridge reads them.
        result = self.driver.script("""
            const messages = [42, 'not json', '[]', 'null', '{"cmd": 5}', '{}', '{"args": {}}',
                              '{"cmd": "plugin:app|version"}'];
            const answers = [];
            for (const message of messages) {
              try { answers.push({ok: await window.webkit.messageHandlers.ipc.postMessage(message)}); }
              catch (e) { answers.push({error: JSON.parse(e.message)}); }
            }
            return answers;""")
        malformed = {"error": "malformed command message"}
        self.assertEqual(result, {"ok": [malformed] * 7 + [{"error": "Command plugin:app|version not allowed by ACL"}]})

    def test_bridge_is_read_only_and_names_its_window(self):
        result = self.driver.script("""
            const before = window.__TAURI_INTERNALS__;
            try { window.__TAURI_INTERNALS__ = {}; } catch (e) {}
            try { Object.defineProperty(window, '__TAURI_INTERNALS__', {value: {}}); } catch (e) {}
            return {
              same: window.__TAURI_INTERNALS__ === before,
              frozen: Object.isFrozen(before),
              label: before.metadata.currentWindow.label,
            };""")
        self.assertEqual(result, {"ok": {"same": True, "frozen": True, "label": "main"}})


if __name__ == "__main__":
    unittest.main()
