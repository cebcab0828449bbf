import type { Browser } from "playwright-core";
import { afterAll, beforeAll, describe, expect, it } from "vitest";
import { launchBrowser, openLauncher } from "./support/launcher-page";
import { bridge, screenshot, waitForInterface } from "./support/page-helpers";

let browser: Browser;

beforeAll(async () => {
  browser = await launchBrowser();
});

afterAll(() => browser?.close());

describe("main page", () => {
  interface Look {
    name: string;
    scheme: "light" | "dark";
    storage: Record<string, string>;
    dark: boolean;
    palette: string;
    primary: string;
    background: string;
  }

  it.each<Look>([
    {
      name: "light-red",
      scheme: "light",
      storage: {},
      dark: false,
      palette: "red",
      primary: "oklch(0.637 0.237 25.331)",
      background: "oklch(1 0 0)",
    },
    {
      name: "dark-red",
      scheme: "dark",
      storage: {},
      dark: true,
      palette: "red",
      primary: "oklch(0.637 0.237 25.331)",
      background: "oklch(0.141 0.005 285.823)",
    },
    {
      name: "light-violet",
      scheme: "light",
      storage: { "ui-palette": "violet" },
      dark: false,
      palette: "violet",
      primary: "oklch(0.606 0.25 292.717)",
      background: "oklch(1 0 0)",
    },
    {
      name: "dark-green",
      scheme: "dark",
      storage: { "ui-palette": "green" },
      dark: true,
      palette: "green",
      primary: "oklch(0.696 0.17 162.48)",
      background: "oklch(0.141 0.005 285.823)",
    },
    {
      name: "dark-neutral",
      scheme: "dark",
      storage: { "ui-palette": "neutral" },
      dark: true,
      palette: "neutral",
      primary: "oklch(0.922 0 0)",
      background: "oklch(0.145 0 0)",
    },
  ])("is themed $name", async ({ name, scheme, storage, dark, palette, primary, background }) => {
    const launcher = await openLauncher(browser, { colorScheme: scheme, storage });
    const { page } = launcher;
    await waitForInterface(page);
    const look = await page.evaluate(() => ({
      dark: document.documentElement.classList.contains("dark"),
      palette: document.documentElement.dataset.theme,
      primary: getComputedStyle(document.querySelector("[data-slot=card-footer] button")!).backgroundColor,
      background: getComputedStyle(document.body).backgroundColor,
    }));
    expect(look).toEqual({ dark, palette, primary, background });
    await screenshot(page, `main-${name}`);
    await launcher.close();
  });

  it("draws its first frame finished: final card box, logo drawn, the theme's font", async () => {
    const launcher = await openLauncher(browser, {
      beforeLoad: () => {
        // One sample per frame from the first frame that shows the card: its box and whether the logo is in.
        const frames: { box: string; logo: boolean }[] = [];
        (window as unknown as { frames_: typeof frames }).frames_ = frames;
        const sample = () => {
          const card = document.querySelector("[data-slot=card]");
          const logo = document.querySelector<HTMLImageElement>("[data-slot=avatar-image]");
          if (card) {
            const { x, y, width, height } = card.getBoundingClientRect();
            frames.push({
              box: `${x},${y},${width},${height}`,
              logo: !!logo?.complete && logo.naturalWidth > 0,
            });
          }
          if (frames.length < 90) requestAnimationFrame(sample);
        };
        requestAnimationFrame(sample);
      },
    });
    const { page } = launcher;
    await waitForInterface(page);
    await page.locator(".runner-canvas").waitFor();
    const frames = await page.waitForFunction(() => {
      const frames = (window as unknown as { frames_: { box: string; logo: boolean }[] }).frames_;
      return frames.length >= 90 && frames;
    });
    const seen = (await frames.jsonValue()) as { box: string; logo: boolean }[];
    expect(new Set(seen.map((frame) => frame.box)).size).toBe(1);
    expect(seen.every((frame) => frame.logo)).toBe(true);
    expect(await page.evaluate(() => getComputedStyle(document.body).fontFamily)).toBe(
      'ui-sans-serif, system-ui, sans-serif, "Apple Color Emoji", "Segoe UI Emoji", "Segoe UI Symbol", "Noto Color Emoji"',
    );
    await launcher.close();
  });

  it("holds the runner game still, blinking, until Space starts it", async () => {
    const launcher = await openLauncher(browser, {
      beforeLoad: () => {
        const counted = window as unknown as { frameRequests_: number };
        counted.frameRequests_ = 0;
        const request = window.requestAnimationFrame.bind(window);
        window.requestAnimationFrame = (callback) => {
          counted.frameRequests_++;
          return request(callback);
        };
      },
    });
    const { page } = launcher;
    await waitForInterface(page);
    await page.locator(".runner-canvas").waitFor();
    type Game = {
      frameRequests_: number;
      Runner: { instance_: { distanceRan: number; tRex: { animStartTime: number } } };
    };
    const state = () =>
      page.evaluate(() => {
        const game = window as unknown as Game;
        return { requests: game.frameRequests_, blinkedAt: game.Runner.instance_.tRex.animStartTime };
      });
    const waiting = await state();
    // The resting runner blinks within about 7 s; no frame is asked for meanwhile.
    await page.waitForFunction(
      (since) => (window as unknown as Game).Runner.instance_.tRex.animStartTime !== since,
      waiting.blinkedAt,
      // Playwright polls on animation frames by default, which would count here.
      { polling: 100 },
    );
    expect((await state()).requests).toBe(waiting.requests);
    await page.keyboard.press("Space");
    await page.waitForFunction(() => (window as unknown as Game).Runner.instance_.distanceRan > 0, null, {
      polling: 100,
    });
    expect((await state()).requests).toBeGreaterThan(waiting.requests + 10);
    await launcher.close();
  });

  it("fits the fallback text inside the avatar circle when the logo cannot load", async () => {
    const launcher = await openLauncher(browser, { withoutLogo: true });
    const { page } = launcher;
    await waitForInterface(page);
    const fit = await page.evaluate(() => {
      const circle = document.querySelector("[data-slot=avatar]")!.getBoundingClientRect();
      const range = document.createRange();
      range.selectNodeContents(document.querySelector("[data-slot=avatar-fallback]")!);
      const text = range.getBoundingClientRect();
      return {
        text: range.toString(),
        size: [circle.width, circle.height],
        inside:
          text.left >= circle.left &&
          text.right <= circle.right &&
          text.top >= circle.top &&
          text.bottom <= circle.bottom,
      };
    });
    expect(fit).toEqual({ text: "MRV", size: [32, 32], inside: true });
    await launcher.close();
  });

  it("drives the window through its header buttons, with the window's label", async () => {
    const launcher = await openLauncher(browser);
    const { page } = launcher;
    await waitForInterface(page);
    for (const name of ["Свернуть", "Развернуть", "Закрыть"])
      await page.getByRole("button", { name }).click();
    const windowCalls = (await launcher.calls()).filter(
      (call) =>
        call.cmd.startsWith("plugin:window|") && !call.cmd.includes("|is_") && !call.cmd.endsWith("|theme"),
    );
    expect(windowCalls).toEqual([
      { cmd: "plugin:window|minimize", args: { label: "main" } },
      { cmd: "plugin:window|toggle_maximize", args: { label: "main" } },
      { cmd: "plugin:window|close", args: { label: "main" } },
    ]);
    expect(await page.locator("header").getAttribute("data-tauri-drag-region")).toBe("true");
    await launcher.close();
  });

  it("re-reads the window state after each resize to pick the maximise icon", async () => {
    const launcher = await openLauncher(browser, {
      answers: { "plugin:window|is_fullscreen": { hold: true } },
    });
    const { page } = launcher;
    const host = bridge(page);
    await waitForInterface(page);
    await host.release("plugin:window|is_fullscreen", { value: false });
    await page.getByRole("button", { name: "Развернуть" }).waitFor();
    for (const [fullscreen, label, icon] of [
      [true, "Восстановить", "minimize-2"],
      [false, "Развернуть", "maximize-2"],
    ] as const) {
      await host.emit("tauri://resize", { width: 1000, height: 700 });
      await host.release("plugin:window|is_fullscreen", { value: fullscreen });
      await page.getByRole("button", { name: label }).waitFor();
      expect(await page.locator(`header svg.lucide-${icon}`).count()).toBe(1);
    }
    await launcher.close();
  });

  it.each([
    { version: "0.1.36", blocked: true },
    { version: "0.2.0-dev.1", blocked: false },
  ])("with version $version cancels the context menu: $blocked", async ({ version, blocked }) => {
    const launcher = await openLauncher(browser, { answers: { "plugin:app|version": { value: version } } });
    const { page } = launcher;
    await waitForInterface(page);
    await page.evaluate(() => {
      const seen: Record<string, boolean> = {};
      (window as unknown as { seen: typeof seen }).seen = seen;
      document.addEventListener("contextmenu", (e) => (seen["contextmenu"] = e.defaultPrevented));
      document.addEventListener(
        "keydown",
        (e) => (seen[(e.shiftKey ? "Shift+" : "") + e.key] = e.defaultPrevented),
      );
    });
    await page.locator("header").click({ button: "right" });
    await page.keyboard.press("ContextMenu");
    await page.keyboard.press("Shift+F10");
    await page.keyboard.press("F10");
    const seen = await page.evaluate(() => (window as unknown as { seen: Record<string, boolean> }).seen);
    expect(seen).toEqual({
      contextmenu: blocked,
      ContextMenu: blocked,
      "Shift+Shift": false,
      "Shift+F10": blocked,
      F10: false,
    });
    await launcher.close();
  });

  it("keeps the settings dialog open while a toast is closed, and closes it on an outside press", async () => {
    const launcher = await openLauncher(browser);
    const { page } = launcher;
    await waitForInterface(page);
    await page.getByRole("button", { name: "Настройки" }).click();
    const dialog = page.getByRole("dialog", { name: "Настройки" });
    await dialog.waitFor();
    await page.getByRole("button", { name: "Проверить обновления" }).click();
    const toast = page.locator("[data-sonner-toast]", { hasText: "Обновлений не найдено" });
    await toast.waitFor();
    await toast.locator("[data-close-button]").click();
    await toast.waitFor({ state: "detached" });
    expect(await dialog.isVisible()).toBe(true);
    expect(await page.getByText(/^Mirravel - Launcher, версия 0\.1\.36 © \d{4}$/).count()).toBe(1);
    await page.mouse.click(10, 690);
    await dialog.waitFor({ state: "detached" });
    await launcher.close();
  });

  it("shows the keys when the text table is missing, and still reports ready", async () => {
    const launcher = await openLauncher(browser, { withoutTextTable: true });
    const { page } = launcher;
    await waitForInterface(page, "main.comingSoon");
    expect(await page.getByRole("button", { name: "telemetry.button" }).count()).toBe(1);
    await expect
      .poll(async () => (await launcher.calls()).some((call) => call.cmd === "set_complete"))
      .toBe(true);
    await launcher.close();
  });
});
