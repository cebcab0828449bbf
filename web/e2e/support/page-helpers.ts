import { mkdirSync } from "node:fs";
import { fileURLToPath } from "node:url";
import type { Page } from "playwright-core";

type Bridge = {
  emit(event: string, payload: unknown): void;
  send(cmd: string, message: unknown): void;
  release(cmd: string, answer: { value?: unknown; error?: string }): void;
};

/** Calls the scripted bridge's test controls inside the page. */
export function bridge(page: Page) {
  const run = <A extends unknown[]>(method: keyof Bridge, ...args: A) =>
    page.evaluate(
      ([name, params]) =>
        (
          (window as unknown as { __bridge: Record<string, (...a: unknown[]) => void> }).__bridge[name] as (
            ...a: unknown[]
          ) => void
        )(...params),
      [method, args] as const,
    );
  return {
    emit: (event: string, payload: unknown) => run("emit", event, payload),
    send: (cmd: string, message: unknown) => run("send", cmd, message),
    release: (cmd: string, answer: { value?: unknown; error?: string }) => run("release", cmd, answer),
  };
}

/** Waits until the interface is on screen with its texts. */
export async function waitForInterface(page: Page, text = "Помочь улучшить игру"): Promise<void> {
  await page.getByText(text).waitFor();
}

const OUTPUT = fileURLToPath(new URL("../output", import.meta.url));

/** Saves a picture of the page under e2e/output/ for a person to look at. */
export async function screenshot(page: Page, name: string): Promise<void> {
  mkdirSync(OUTPUT, { recursive: true });
  await page.screenshot({ path: `${OUTPUT}/${name}.png` });
}
