import type { Browser } from "playwright-core";
import { afterAll, beforeAll, describe, expect, it } from "vitest";
import { launchBrowser, openLauncher } from "./support/launcher-page";
import { bridge, screenshot, waitForInterface } from "./support/page-helpers";

let browser: Browser;
beforeAll(async () => {
  browser = await launchBrowser();
});
afterAll(() => browser?.close());

const UPDATE = {
  rid: 7,
  currentVersion: "0.1.36",
  version: "0.1.37",
  date: "2025-06-15T22:00:00Z",
  body: "Исправления\nи улучшения",
  rawJson: {},
};

describe("update prompt", () => {
  it("goes from the check to the restart button, with a download that has no length", async () => {
    // The date is shown in the browser's zone, set here so the expected day holds on any machine.
    const launcher = await openLauncher(browser, {
      timezoneId: "Asia/Tokyo",
      answers: {
        "plugin:updater|check": { value: UPDATE },
        "plugin:updater|download": { hold: true },
        "plugin:updater|install": { hold: true },
      },
    });
    const { page } = launcher;
    const host = bridge(page);
    await waitForInterface(page);
    await page.getByRole("button", { name: "Настройки" }).click();
    await page.getByRole("button", { name: "Проверить обновления" }).click();
    await page.getByText("Найдено обновление").waitFor();
    await page.getByText("🔄 Доступно обновление").waitFor();
    expect(await page.getByText("Дата выпуска: 16.06.2025").count()).toBe(1);
    await screenshot(page, "settings-update-card");

    await page.getByRole("button", { name: "Обновить" }).click();
    await host.send("plugin:updater|download", { event: "Started", data: { contentLength: null } });
    for (const chunkLength of [1024, 1536]) {
      await host.send("plugin:updater|download", { event: "Progress", data: { chunkLength } });
    }
    await page.getByText("Загружено 2.50KB", { exact: true }).waitFor();
    expect(await page.getByRole("progressbar").count()).toBe(0);

    await host.send("plugin:updater|download", { event: "Finished" });
    await host.release("plugin:updater|download", { value: 11 });
    await page.getByRole("button", { name: "Установить", disabled: false }).click();
    await page.getByRole("button", { name: "Установка", disabled: true }).waitFor();
    await host.release("plugin:updater|install", { value: null });
    await page.getByRole("button", { name: "Перезапустить приложение" }).click();

    const calls = await launcher.calls();
    expect(calls.find((call) => call.cmd === "plugin:updater|check")?.args).toEqual({
      allowDowngrades: true,
    });
    expect(calls.find((call) => call.cmd === "plugin:updater|install")?.args).toEqual({
      updateRid: 7,
      bytesRid: 11,
    });
    expect(calls.at(-1)?.cmd).toBe("plugin:process|restart");
    await launcher.close();
  });

  it.each([
    { answer: { value: null }, toast: "Обновлений не найдено" },
    { answer: { error: "error sending request" }, toast: "Ошибка при проверке обновлений" },
  ])("reports a check that ends with: $toast", async ({ answer, toast }) => {
    const launcher = await openLauncher(browser, { answers: { "plugin:updater|check": answer } });
    const { page } = launcher;
    await waitForInterface(page);
    await page.getByRole("button", { name: "Настройки" }).click();
    await page.getByRole("button", { name: "Проверить обновления" }).click();
    await page.getByText(toast).waitFor();
    expect(await page.getByText("🔄 Доступно обновление").count()).toBe(0);
    expect(await page.getByRole("button", { name: "Проверить обновления", disabled: false }).count()).toBe(1);
    await launcher.close();
  });
});
