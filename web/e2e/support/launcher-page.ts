import { readFile } from "node:fs/promises";
import { extname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { chromium, type Browser, type Page } from "playwright-core";
import {
  defaultAnswers,
  installBridge,
  RELEASE_FACTS,
  type Answer,
  type BridgeScript,
  type RecordedCall,
} from "./bridge";

export const ORIGIN = "http://launcher.test";
export const REPORT_URL = "https://collect.mirravel.games/webhook/mrv-system-report";
const DIST = fileURLToPath(new URL("../../dist", import.meta.url));

const TYPES: Record<string, string> = {
  ".html": "text/html",
  ".js": "text/javascript",
  ".css": "text/css",
  ".json": "application/json",
  ".svg": "image/svg+xml",
};

export function launchBrowser(): Promise<Browser> {
  return chromium.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    args: [
      "--headless",
      "--no-sandbox",
      "--disable-gpu",
      "--disable-background-networking",
      "--disable-component-update",
      "--no-first-run",
    ],
  });
}

export interface PageOptions {
  answers?: Record<string, Answer>;
  colorScheme?: "light" | "dark";
  storage?: Record<string, string>;
  /** Serve the text table the way the host answers a missing asset: the main page, as JSON. */
  withoutTextTable?: boolean;
  /** The report endpoint refuses the connection, as with the network down. */
  networkDown?: boolean;
  /** The browser's time zone (an IANA name); the machine's own when not given. */
  timezoneId?: string;
  /** The logo asset answers with an error, as a damaged asset table would. */
  withoutLogo?: boolean;
  /** Runs in the page before its own scripts, after the bridge is installed. */
  beforeLoad?: () => void;
}

export interface LauncherPage {
  page: Page;
  /** Bodies of the requests that reached the report endpoint. */
  reports: string[];
  calls(): Promise<RecordedCall[]>;
  close(): Promise<void>;
}

/**
 * Opens the built main page in a fresh context, served the way the host serves it (unknown paths answer the
 * main page, keeping the type of the name asked for), with the scripted bridge in place of the host's.
 */
export async function openLauncher(browser: Browser, options: PageOptions = {}): Promise<LauncherPage> {
  const context = await browser.newContext({
    viewport: { width: 1000, height: 700 },
    colorScheme: options.colorScheme ?? "light",
    timezoneId: options.timezoneId,
  });
  const page = await context.newPage();
  const reports: string[] = [];
  await context.route(`${ORIGIN}/**`, async (route) => {
    const path = new URL(route.request().url()).pathname;
    const type = TYPES[extname(path)] ?? "text/html";
    let file = path === "/" ? "/index.html" : path;
    if (options.withoutTextTable && file.startsWith("/locales/")) file = "/index.html";
    if (options.withoutLogo && file === "/assets/logo.svg") return route.fulfill({ status: 404, body: "" });
    const body = await readFile(join(DIST, file)).catch(() => readFile(join(DIST, "index.html")));
    await route.fulfill({ status: 200, contentType: type, body });
  });
  await context.route(REPORT_URL, async (route) => {
    if (options.networkDown) return route.abort("connectionrefused");
    reports.push(route.request().postData() ?? "");
    return route.fulfill({ status: 200, body: "" });
  });
  const script: BridgeScript = {
    label: "main",
    facts: RELEASE_FACTS,
    answers: { ...defaultAnswers(), ...options.answers },
  };
  await context.addInitScript(installBridge, script);
  if (options.storage) {
    await context.addInitScript((entries: Record<string, string>) => {
      for (const [key, value] of Object.entries(entries)) localStorage.setItem(key, value);
    }, options.storage);
  }
  if (options.beforeLoad) await context.addInitScript(options.beforeLoad);
  await page.goto(`${ORIGIN}/`);
  return {
    page,
    reports,
    calls: () =>
      page.evaluate(() => (window as unknown as { __bridge: { calls: RecordedCall[] } }).__bridge.calls),
    close: () => context.close(),
  };
}
