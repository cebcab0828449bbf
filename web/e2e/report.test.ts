import type { Browser } from "playwright-core";
import { afterAll, beforeAll, describe, expect, it } from "vitest";
import { launchBrowser, openLauncher, type LauncherPage } from "./support/launcher-page";
import { screenshot, waitForInterface } from "./support/page-helpers";

let browser: Browser;
beforeAll(async () => {
  browser = await launchBrowser();
});
afterAll(() => browser?.close());

async function openReport(options: Parameters<typeof openLauncher>[1] = {}): Promise<LauncherPage> {
  const launcher = await openLauncher(browser, options);
  await waitForInterface(launcher.page);
  await launcher.page.getByRole("button", { name: "Помочь улучшить игру" }).click();
  await launcher.page.getByRole("alertdialog").waitFor();
  return launcher;
}

describe("system report dialog", () => {
  it("sends exactly the previewed report, compact, and thanks", async () => {
    const launcher = await openReport();
    const { page } = launcher;
    expect(await page.evaluate(() => document.activeElement?.textContent)).toBe("Отменить");
    await page.getByRole("button", { name: "Показать отправляемые данные" }).click();
    const preview = (await page.locator("[data-slot=report-preview]").textContent()) ?? "";
    await screenshot(page, "report-dialog");
    await page.getByRole("button", { name: "Отправить" }).click();
    await page.getByText("Спасибо :)").waitFor();
    await page.getByRole("alertdialog").waitFor({ state: "detached" });
    await expect.poll(() => launcher.reports.length).toBe(1);
    const body = launcher.reports[0]!;
    expect(JSON.stringify(JSON.parse(body), null, 2)).toBe(preview);
    expect(body).toBe(JSON.stringify(JSON.parse(preview)));
    expect(Object.keys(JSON.parse(body))).toEqual(["system", "cpu", "gpu", "memory"]);
    await launcher.close();
  });

  it("sends nulls for every group but the one selected", async () => {
    const launcher = await openReport();
    const { page } = launcher;
    for (const name of [
      "Информация о системе",
      "Информация о процессоре",
      "Информация об оперативной памяти",
    ]) {
      await page.getByRole("checkbox", { name }).click();
    }
    await page.getByRole("button", { name: "Отправить", disabled: false }).click();
    await expect.poll(() => launcher.reports.length).toBe(1);
    expect(JSON.parse(launcher.reports[0]!)).toEqual({
      system: null,
      cpu: null,
      gpu: [{ name: "Test GPU", device_type: "DiscreteGpu" }],
      memory: null,
    });
    await launcher.close();
  });

  it("thanks and closes even with the network down", async () => {
    const launcher = await openReport({ networkDown: true });
    const { page } = launcher;
    await page.getByRole("button", { name: "Отправить" }).click();
    await page.getByText("Спасибо :)").waitFor();
    await page.getByRole("alertdialog").waitFor({ state: "detached" });
    await launcher.close();
  });

  it("ignores presses outside the dialog and closes on Escape", async () => {
    const launcher = await openReport();
    const { page } = launcher;
    await page.mouse.click(10, 690);
    expect(await page.getByRole("alertdialog").isVisible()).toBe(true);
    await page.keyboard.press("Escape");
    await page.getByRole("alertdialog").waitFor({ state: "detached" });
    expect(launcher.reports).toEqual([]);
    await launcher.close();
  });
});
