"""The main window's first frames as the user sees them: from the moment the window is shown, the
screen is read frame after frame, and every frame must already be the finished page. Shown means
mapped and not held fully transparent: the host may keep the window invisible until its page has
drawn, and what a transparent window covers is not the window's frame."""
import os
import shutil
import tempfile
import threading
import time
import unittest

import xlib
from launcher_e2e import MAIN_TITLE, Launcher, XWindow, fresh_profile, wait_for

WATCH_SECONDS = 2.5
HEADER_HEIGHT = 48
AVATAR = (16, 8, 32, 32)  # x, y, width, height inside the window


def close_to(actual, expected, tolerance=3):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def is_primary_red(rgb):
    r, g, b = rgb
    return r > 200 and g < 110 and b < 120


def has_logo(rows):
    """The logo is shades of blue; its fallback is grey text on grey, and a blank frame has neither."""
    return sum(1 for row in rows for r, g, b in row if b - r > 40 and b > 150) >= 20


def button_rows(column):
    """The rows of the centre column that show the report button's palette red, as (first, last)."""
    rows = [y for y, rgb in enumerate(column) if is_primary_red(rgb)]
    return (rows[0], rows[-1]) if rows else None


class FirstFrameTest(unittest.TestCase):
    def watch(self, env):
        """Starts the launcher and reads, for every frame from the moment main is shown, the page
        background beside the card, the avatar and the window's centre column."""
        display = xlib.Display()
        self.addCleanup(display.close)
        frames, shown = [], {}
        stop = threading.Event()

        def read():
            window = None
            while not stop.is_set() and window is None:
                candidate = display.viewable_window(MAIN_TITLE)
                if candidate and display.opacity(candidate) != 0:
                    window = candidate
                else:
                    time.sleep(0.001)
            if window is None:
                return
            shown["window"] = window
            x, y, width, height = XWindow(window).geometry()
            start = time.monotonic()
            while not stop.is_set() and time.monotonic() - start < WATCH_SECONDS:
                background = display.screen_pixels(x + 20, y + height - 20, 1, 1)
                avatar = display.screen_pixels(x + AVATAR[0], y + AVATAR[1], AVATAR[2], AVATAR[3])
                column = display.screen_pixels(x + width // 2, y + HEADER_HEIGHT, 1, height - HEADER_HEIGHT)
                if background and avatar and column:
                    frames.append((background[0][0], avatar, [row[0] for row in column]))

        reader = threading.Thread(target=read, daemon=True)
        reader.start()
        with Launcher(env=env):
            try:
                wait_for(lambda: "window" in shown, 30, what="the main window shown")
                reader.join(WATCH_SECONDS + 10)
            finally:
                stop.set()
        self.assertGreater(len(frames), 10, "the screen was read often enough to see every frame")
        return frames

    def test_every_frame_from_the_first_is_the_finished_page(self):
        for name, dark in (("light system", False), ("dark system", True)):
            with self.subTest(name):
                home = tempfile.mkdtemp(prefix="launcher-first-frame-e2e-")
                self.addCleanup(shutil.rmtree, home, ignore_errors=True)
                env = fresh_profile(home)
                if dark:
                    settings = os.path.join(env["XDG_CONFIG_HOME"], "gtk-3.0")
                    os.makedirs(settings)
                    with open(os.path.join(settings, "settings.ini"), "w") as f:
                        f.write("[Settings]\ngtk-application-prefer-dark-theme=1\n")
                frames = self.watch(env)
                final_background, _, final_column = frames[-1]
                final_button = button_rows(final_column)
                self.assertIsNotNone(final_button, "the report button is on the screen")
                if dark:
                    self.assertLess(max(final_background), 60, "the dark page background")
                for index, (background, avatar, column) in enumerate(frames):
                    where = f"frame {index} of {len(frames)}"
                    # Neither GTK's grey, nor a blank window, nor the page's canvas before its styles.
                    self.assertTrue(close_to(background, final_background), f"{where}: background {background}")
                    self.assertTrue(has_logo(avatar), f"{where}: the logo is drawn")
                    # The card is centred in the window, so any change of its size moves its button.
                    self.assertEqual(button_rows(column), final_button, f"{where}: the card box did not move")


if __name__ == "__main__":
    unittest.main()
