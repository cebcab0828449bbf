"""The main page in the real launcher under X: the window as a user sees it (texts, theme colours
read back from the screen) and the header's buttons acting on the real window."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

import xlib
from launcher_e2e import (BINARY, BOUND_SECONDS, MAIN_TITLE, WebDriver, XWindow, fresh_profile, run_tool,
                          screen_size, wait_for)

OUTPUT = os.path.join(os.path.dirname(os.path.abspath(BINARY)), "e2e-output")
EXIT_WRAPPER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "shell", "record_exit.sh")
MAXIMIZED = ("_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ")
TEXTS = ["Mirravel - Launcher", "Здесь скоро что-то появится", "Мы готовим для вас нечто особенное. Загляните позже!",
         "Помочь улучшить игру"]


def screenshot(name):
    """The whole screen as X shows it, saved as OUTPUT/name.png for a person to look at."""
    os.makedirs(OUTPUT, exist_ok=True)
    path = os.path.join(OUTPUT, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=True, timeout=BOUND_SECONDS)
    return path


def pixel(image, x, y):
    """(r, g, b) of one pixel of a saved screenshot."""
    text = run_tool("convert", image, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-")
    return tuple(int(v, 16) for v in re.findall(r"#([0-9A-F]{2})([0-9A-F]{2})([0-9A-F]{2})", text)[0])


def close_to(actual, expected, tolerance=3):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class LauncherPage:
    """A launcher started through WebKitWebDriver with a fresh web view profile."""

    def __init__(self, dark_system=False, binary=None, env=None):
        self.home = tempfile.mkdtemp(prefix="launcher-main-page-e2e-")
        self.env = {**fresh_profile(self.home), **(env or {})}
        if dark_system:
            settings = os.path.join(self.env["XDG_CONFIG_HOME"], "gtk-3.0")
            os.makedirs(settings)
            with open(os.path.join(settings, "settings.ini"), "w") as f:
                f.write("[Settings]\ngtk-application-prefer-dark-theme=1\n")
        self.display = xlib.Display()
        self.driver = WebDriver(env=self.env, binary=binary)
        self.window = XWindow(wait_for(lambda: self.display.viewable_window(MAIN_TITLE), what="the main window"))

    def script(self, source, *args):
        answer = self.driver.script(source, *args)
        if "ok" not in answer:
            raise AssertionError(answer)
        return answer["ok"]

    def close(self):
        try:
            self.driver.close()
        except AssertionError:
            pass  # the session ended with the launcher it drove
        self.display.close()
        shutil.rmtree(self.home, ignore_errors=True)


class WindowThemeTest(unittest.TestCase):
    def test_window_theme_is_the_one_the_page_sees(self):
        # Each way GTK can be told to go dark, and none: the window's theme must be what the web view
        # itself tells the page through "prefers-color-scheme".
        # (The prefer-dark setting is ThemedMainWindowTest's.)
        cases = [("no preference", {}, False), ("GTK_THEME variant", {"GTK_THEME": "Adwaita:dark"}, True)]
        for name, env, dark in cases:
            with self.subTest(name):
                page = LauncherPage(env=env)
                try:
                    seen = page.script("""
                        return {
                          window: await window.__TAURI_INTERNALS__.invoke('plugin:window|theme', {label: 'main'}),
                          page: matchMedia('(prefers-color-scheme: dark)').matches ? 'dark' : 'light',
                        };""")
                finally:
                    page.close()
                self.assertEqual(seen, {"window": "dark" if dark else "light", "page": "dark" if dark else "light"})


class ThemedMainWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.page = LauncherPage(dark_system=True)
        cls.window = cls.page.window

    @classmethod
    def tearDownClass(cls):
        cls.page.close()

    def wait_state(self, present, absent=()):
        def settled():
            state = self.window.net_wm_state()
            return all(s in state for s in present) and not any(s in state for s in absent)
        wait_for(settled, what=f"window state with {present} without {absent}")

    def header_button_labels(self):
        return self.page.script("return [...document.querySelectorAll('header button')].map(b => b.ariaLabel);")

    def test_window_shows_the_texts_in_the_dark_red_theme(self):
        self.assertEqual(self.page.script("return document.title;"), MAIN_TITLE)
        wait_for(lambda: all(t in self.page.script("return document.body.innerText;") for t in TEXTS),
                 what="the header and card texts")
        root = self.page.script("""
            const html = document.documentElement;
            return {dark: html.classList.contains('dark'), palette: html.dataset.theme, lang: html.lang};""")
        self.assertEqual(root, {"dark": True, "palette": "red", "lang": "en"})
        self.assertEqual(self.page.script(
            "return await window.__TAURI_INTERNALS__.invoke('plugin:window|theme', {label: 'main'});"), "dark")

        # The colours the page computes, as sRGB bytes, and where they should be on the screen: the
        # page background beside the card, and the report button's palette colour at its edge.
        probe = self.page.script("""
            const canvas = document.createElement('canvas').getContext('2d');
            const srgb = (css) => {
              canvas.clearRect(0, 0, 1, 1);
              canvas.fillStyle = css;
              canvas.fillRect(0, 0, 1, 1);
              return [...canvas.getImageData(0, 0, 1, 1).data].slice(0, 3);
            };
            const button = [...document.querySelectorAll('button')].find(b => b.textContent === 'Помочь улучшить игру');
            const card = button.closest('[data-slot=card]').getBoundingClientRect();
            const box = button.getBoundingClientRect();
            return {
              background: srgb(getComputedStyle(document.body).backgroundColor),
              backgroundAt: [Math.round(card.left / 2), Math.round(innerHeight - 20)],
              primary: srgb(getComputedStyle(button).backgroundColor),
              primaryAt: [Math.round(box.left + 5), Math.round(box.top + box.height / 2)],
            };""")
        left, top, _, _ = self.window.geometry()

        def screen():
            image = screenshot("main-dark-red")
            return (pixel(image, left + probe["backgroundAt"][0], top + probe["backgroundAt"][1]),
                    pixel(image, left + probe["primaryAt"][0], top + probe["primaryAt"][1]))

        # The screen may lag the page (under Xvfb WebKit's first frames can take seconds to
        # arrive): look again for a while before judging.
        for _ in range(30):
            background, primary = screen()
            if close_to(background, probe["background"]) and close_to(primary, probe["primary"]):
                break
        self.assertTrue(close_to(background, probe["background"]), f"{background} vs {probe['background']}")
        self.assertLess(sum(background), 3 * 64, "a dark page background")
        self.assertTrue(close_to(primary, probe["primary"]), f"{primary} vs {probe['primary']}")
        self.assertGreater(primary[0], primary[1] + 60, "a red primary colour")

    def test_header_buttons_minimize_maximize_and_restore_the_window(self):
        size = self.window.geometry()[2:]
        # The driver's pointer click waits for the page to paint again, which a minimised window
        # never does; the page's own click runs the same handler.
        self.page.script("""document.querySelector('header button[aria-label="Свернуть"]').click();""")
        self.wait_state(("_NET_WM_STATE_HIDDEN",))
        run_tool("xdotool", "windowactivate", "--sync", str(self.window.id))
        self.wait_state((), ("_NET_WM_STATE_HIDDEN",))

        self.page.driver.click('header button[aria-label="Развернуть"]')
        self.wait_state(MAXIMIZED)
        wait_for(lambda: self.window.geometry() == (0, 0, *screen_size()), what="the window filling the screen")
        wait_for(lambda: "Восстановить" in self.header_button_labels(), what="the restore icon")

        self.page.driver.click('header button[aria-label="Восстановить"]')
        self.wait_state((), MAXIMIZED)
        wait_for(lambda: self.window.geometry()[2:] == size, what="the size from before")
        wait_for(lambda: "Развернуть" in self.header_button_labels(), what="the maximise icon back")
        self.assertEqual(self.header_button_labels(), ["Настройки", "Свернуть", "Развернуть", "Закрыть"])


class CloseButtonTest(unittest.TestCase):
    def test_close_button_ends_the_launcher_with_code_0(self):
        records = tempfile.mkdtemp(prefix="launcher-exit-")
        exit_record = os.path.join(records, "code")
        page = LauncherPage(binary=EXIT_WRAPPER, env={"LAUNCHER_BINARY": os.path.abspath(BINARY),
                                                      "EXIT_RECORD_TO": exit_record})
        try:
            # A light system this time: the page follows it.
            self.assertFalse(page.script("return document.documentElement.classList.contains('dark');"))
            page.driver.click_to_end('header button[aria-label="Закрыть"]')
            wait_for(lambda: os.path.exists(exit_record), what="the launcher's exit")
            with open(exit_record) as f:
                self.assertEqual(f.read().strip(), "0")
            self.assertIsNone(page.display.viewable_window(MAIN_TITLE))
        finally:
            page.close()
            shutil.rmtree(records, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
