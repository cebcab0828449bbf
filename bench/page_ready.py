#!/usr/bin/env python3
"""Times the main page from the start of its navigation to the splash hand-off: the moment the
host, having received set_complete("frontend"), shows the main window (libX11 notices it within
a millisecond), and on to the moment the window shows the page (a pixel of the page background,
read from the screen every millisecond, takes the page's colour instead of the window's own).
The page's own timings (document served, DOMContentLoaded, load) are read afterwards through
WebKitWebDriver, so the launcher must be an automation build; both clocks are the system's
real-time clock.

usage: bench/page_ready.py [--runs N] LAUNCHER
Prints one JSON object: the median and the spread of each figure, in milliseconds after
navigationStart. Run it inside scripts/with-display.
"""
import argparse
import json
import os
import shutil
import statistics
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "host", "tests", "e2e"))
import launcher_e2e  # noqa: E402
import xlib  # noqa: E402

FIGURES = ["document_served", "dom_content_loaded", "load", "main_window_shown", "main_window_painted"]
PAINT_TIMEOUT = 20.0

PAGE_TIMINGS = """
    const navigation = performance.getEntriesByType('navigation')[0];
    const canvas = document.createElement('canvas').getContext('2d');
    canvas.fillStyle = getComputedStyle(document.body).backgroundColor;
    canvas.fillRect(0, 0, 1, 1);
    return {
      timeOrigin: performance.timeOrigin,
      background: [...canvas.getImageData(0, 0, 1, 1).data].slice(0, 3),
      document_served: navigation.responseEnd,
      dom_content_loaded: navigation.domContentLoadedEventEnd,
      load: navigation.loadEventEnd,
    };"""


def one_run():
    shown, samples = {}, []

    def watch(display, pixels, stop):
        # The main window exists hidden from the start; its becoming viewable is the hand-off.
        while not stop.is_set():
            window = display.viewable_window(launcher_e2e.MAIN_TITLE)
            if window:
                shown["at"] = time.time()
                break
            time.sleep(0.0005)
        else:
            return
        x, y, _, height = launcher_e2e.XWindow(window).geometry()
        # Beside the card, clear of the header and the toasts: the page background.
        spot = (x + 20, y + height - 20)
        while not stop.is_set() and time.time() - shown["at"] < PAINT_TIMEOUT:
            rows = pixels.screen_pixels(*spot, 1, 1)
            colour = rows[0][0] if rows else None
            if not samples or samples[-1][1] != colour:
                samples.append((time.time(), colour))
            time.sleep(0.001)

    # Each thread keeps a display connection of its own: Xlib connections are not shared between threads.
    display, pixels, stop = xlib.Display(), xlib.Display(), threading.Event()
    watcher = threading.Thread(target=watch, args=(display, pixels, stop), daemon=True)
    home = tempfile.mkdtemp(prefix="page-ready-")
    watcher.start()
    driver = None
    try:
        driver = launcher_e2e.WebDriver(env=launcher_e2e.fresh_profile(home))
        launcher_e2e.wait_for(lambda: "at" in shown, 30, what="the main window shown")
        page = launcher_e2e.wait_for(lambda: driver.script(
            "if (document.readyState !== 'complete') return null;" + PAGE_TIMINGS).get("ok"),
            what="the page's timings")
        background = page.pop("background")
        painted = lambda: next((t for t, c in samples if c and all(abs(a - b) <= 3 for a, b in zip(c, background))),
                               None)
        launcher_e2e.wait_for(painted, PAINT_TIMEOUT + 5, what="the page on the screen")
    finally:
        stop.set()
        watcher.join(5)
        if driver:
            driver.close()
        pixels.close()
        display.close()
        shutil.rmtree(home, ignore_errors=True)
    origin = page.pop("timeOrigin")
    return {**page, "main_window_shown": shown["at"] * 1000 - origin, "main_window_painted": painted() * 1000 - origin}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("launcher")
    args = parser.parse_args()
    launcher_e2e.BINARY = os.path.abspath(args.launcher)

    runs = [one_run() for _ in range(args.runs)]
    summary = {}
    for name in FIGURES:
        values = [r[name] for r in runs]
        summary[name] = {"median_ms": round(statistics.median(values), 1),
                         "min_ms": round(min(values), 1), "max_ms": round(max(values), 1)}
    print(json.dumps({"runs": args.runs, "after_navigation_start": summary}, indent=2))


if __name__ == "__main__":
    main()
