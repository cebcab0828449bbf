"""The real launcher under X: restarting itself, and links leaving for the desktop's default
handler (a recorder registered for the test through XDG settings)."""
import os
import shutil
import signal
import tempfile
import unittest

import launcher_e2e
from launcher_e2e import BINARY, MAIN_TITLE, WebDriver, find_window, run_tool, wait_for

FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "shell")
RECORDER = os.path.join(FIXTURES, "record_args.sh")
ELEMENT = "element-6066-11e4-a52e-4f735466cecf"


def read_record(path):
    """The arguments the recorder wrote (NUL-separated), once it has written them; then clears."""
    wait_for(lambda: os.path.exists(path), what=f"a record in {path}")
    with open(path, "rb") as f:
        args = f.read().split(b"\0")[:-1]
    os.remove(path)
    return [a.decode() for a in args]


def command_line(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return [a.decode() for a in f.read().split(b"\0")[:-1]]
    except OSError:
        return None


def launcher_processes():
    """pid -> arguments (without the program) of every running launcher binary."""
    found = {}
    for pid in run_tool("pgrep", "-x", os.path.basename(BINARY)[:15]).split():
        args = command_line(int(pid))
        if args and os.path.realpath(args[0]) == os.path.realpath(BINARY):
            found[int(pid)] = args[1:]
    return found


class SandboxedTest(unittest.TestCase):
    """Gives the launchers of a test their own XDG folders, with the recorder as the default
    handler for http, https and mailto."""

    @classmethod
    def setUpClass(cls):
        cls.home = tempfile.mkdtemp(prefix="launcher-shell-e2e-")
        data, config = os.path.join(cls.home, "data"), os.path.join(cls.home, "config")
        os.makedirs(os.path.join(data, "applications"))
        os.makedirs(config)
        with open(os.path.join(data, "applications", "launcher-test-recorder.desktop"), "w") as f:
            f.write("[Desktop Entry]\nType=Application\nName=Recorder\n"
                    f"Exec={RECORDER} %u\n"
                    "MimeType=x-scheme-handler/http;x-scheme-handler/https;x-scheme-handler/mailto;\n")
        with open(os.path.join(config, "mimeapps.list"), "w") as f:
            f.write("[Default Applications]\n" + "".join(
                f"x-scheme-handler/{s}=launcher-test-recorder.desktop\n" for s in ("http", "https", "mailto")))
        cls.record = os.path.join(cls.home, "record")
        cls.saved_env = dict(os.environ)
        # The system's data folders stay (GTK needs their settings schemas); the user's own
        # mimeapps.list outranks whatever handlers they list.
        os.environ.update({"XDG_DATA_HOME": data, "XDG_CONFIG_HOME": config, "RECORD_TO": cls.record})

    @classmethod
    def tearDownClass(cls):
        os.environ.clear()
        os.environ.update(cls.saved_env)
        shutil.rmtree(cls.home, ignore_errors=True)


class RestartTest(SandboxedTest):
    def test_restart_ends_with_code_0_and_a_new_launcher_runs_with_the_same_arguments(self):
        args = ["--profile", "two words", "", "-key=value with space"]
        exit_record = os.path.join(self.home, "exit")
        os.environ.update({"LAUNCHER_BINARY": os.path.abspath(BINARY), "EXIT_RECORD_TO": exit_record})
        before = set(launcher_processes())
        # WebKitWebDriver starts the launcher through a wrapper that records its exit code.
        launcher_e2e.BINARY = os.path.join(FIXTURES, "record_exit.sh")
        try:
            driver = WebDriver(*args)
        finally:
            launcher_e2e.BINARY = BINARY
        relaunched = None
        try:
            old = wait_for(lambda: set(launcher_processes()) - before, what="the launcher")
            # The command's own answer is covered by the unit tests: here the session ends with
            # the launcher, so the call is made just after the script has returned.
            self.assertEqual(driver.script(
                "setTimeout(() => window.__TAURI_INTERNALS__.invoke('plugin:process|restart'), 300); return true;"),
                {"ok": True})
            wait_for(lambda: os.path.exists(exit_record), what="the first launcher's exit")
            with open(exit_record) as f:
                self.assertEqual(f.read().strip(), "0")
            new = wait_for(lambda: set(launcher_processes()) - before - old, what="the relaunched launcher")
            relaunched = new.pop()
            self.assertEqual(launcher_processes()[relaunched], args)
            wait_for(lambda: find_window(MAIN_TITLE, relaunched), what="the relaunched launcher's window")
        finally:
            try:
                driver.close()
            except AssertionError:
                pass  # the session ended with the launcher it drove
            if relaunched:
                os.kill(relaunched, signal.SIGTERM)


class LinkTest(SandboxedTest):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.driver = WebDriver()
        wait_for(lambda: cls.driver.script("return document.readyState === 'complete';").get("ok"),
                 what="main page loaded")

    @classmethod
    def tearDownClass(cls):
        cls.driver.close()
        super().tearDownClass()

    def element(self, css):
        found = self.driver._call("POST", f"/session/{self.driver.session}/element",
                                  {"using": "css selector", "value": css})
        self.assertIn(ELEMENT, found, f"{css}: {found}")
        return found[ELEMENT]

    def click(self, css):
        self.driver._call("POST", f"/session/{self.driver.session}/element/{self.element(css)}/click", {})

    def test_footer_link_reaches_the_default_handler_and_the_page_stays(self):
        page = self.driver.url()
        wait_for(lambda: self.driver.script(
            "return !!document.querySelector('button[aria-label=\"Настройки\"]');").get("ok"), what="the header")
        self.click('button[aria-label="Настройки"]')
        wait_for(lambda: self.driver.script(
            "return !!document.querySelector('[data-slot=settings-footer] a');").get("ok"), what="the footer")
        self.click("[data-slot=settings-footer] a")
        self.assertEqual(read_record(self.record), ["https://mirravel.games/"])
        self.assertEqual(self.driver.url(), page)

    def test_which_clicks_are_intercepted(self):
        # Each case dispatches one click; a window listener added after the host's script sees
        # whether the script cancelled it, then cancels it itself so nothing navigates.
        result = self.driver.script("""
            const cases = args[0];
            let seen = null;
            const watch = (e) => { seen = e.defaultPrevented; e.preventDefault(); };
            window.addEventListener('click', watch);
            const out = [];
            for (const c of cases) {
              const host = document.createElement('div');
              document.body.appendChild(host);
              let root = host;
              if (c.shadow) root = host.attachShadow({mode: 'open'});
              const a = c.svg ? document.createElementNS('http://www.w3.org/2000/svg', 'a')
                              : document.createElement('a');
              if (c.href !== null) a.setAttribute('href', c.href);
              if (c.target) a.setAttribute('target', c.target);
              const inner = document.createElement('span');
              a.appendChild(c.svg ? document.createElementNS('http://www.w3.org/2000/svg', 'text') : inner);
              if (c.svg) {
                const svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
                svg.appendChild(a);
                root.appendChild(svg);
              } else {
                root.appendChild(a);
              }
              seen = null;
              a.firstChild.dispatchEvent(new MouseEvent('click', {bubbles: true, cancelable: true, composed: true,
                button: c.button || 0, ctrlKey: !!c.ctrl, shiftKey: !!c.shift, altKey: !!c.alt, metaKey: !!c.meta}));
              out.push(seen ? 'opened' : 'left');
              host.remove();
            }
            window.removeEventListener('click', watch);
            return out;""", [
            {"href": "https://mirravel.games/a", "target": "_blank"},
            {"href": "https://mirravel.games/b", "ctrl": True},
            {"href": "https://mirravel.games/c", "shift": True},
            {"href": "mailto:support@mirravel.games", "target": "_blank"},
            {"href": "https://mirravel.games/d"},
            {"href": "https://mirravel.games/e", "target": "_blank", "alt": True},
            {"href": "https://mirravel.games/f", "target": "_blank", "meta": True},
            {"href": "https://mirravel.games/g", "target": "_blank", "button": 1},
            {"href": "file:///etc/hostname", "target": "_blank"},
            {"href": "javascript:void(0)", "target": "_blank"},
            {"href": None, "target": "_blank"},
            {"href": "https://mirravel.games/h", "target": "_blank", "shadow": True},
            {"href": "https://mirravel.games/i", "target": "_blank", "svg": True},
        ])
        self.assertEqual(result, {"ok": [
            "opened", "opened", "opened", "opened",
            "left", "left", "left", "left", "left", "left", "left",
            "opened", "opened",
        ]})

    def test_ftp_url_is_refused_by_the_scope(self):
        self.assertEqual(self.driver.invoke("plugin:opener|open_url", {"url": "ftp://files.mirravel.games/x"}),
                         {"error": "Not allowed to open url ftp://files.mirravel.games/x"})


if __name__ == "__main__":
    unittest.main()
