import { act, render, screen } from "@testing-library/react";
import { describe, expect, it, vi } from "vitest";
import table from "../public/locales/ru/common.json";
import { App } from "./app";
import { initI18n } from "./lib/i18n";
import { deferred, installTestBridge } from "./test/bridge";

describe("App", () => {
  it("reports the front-end once, only after the first commit shows the table's texts", async () => {
    const response = deferred<Response>();
    const fetch = vi.fn((_url: string) => response.promise);
    vi.stubGlobal("fetch", fetch);
    const bridge = installTestBridge({
      set_complete: () => null,
      "plugin:app|name": () => "Mirravel - Launcher",
      "plugin:app|version": () => "0.1.36",
      "plugin:window|is_maximized": () => false,
      "plugin:window|is_fullscreen": () => false,
      "plugin:window|theme": () => "light",
      "plugin:os|locale": () => "ru-RU",
      "plugin:system-info|cpu_info": () => ({}),
      "plugin:system-info|memory_info": () => ({}),
      list_gpus: () => [],
    });
    window.__TAURI_OS_PLUGIN_INTERNALS__ = {
      eol: "\n",
      os_type: "linux",
      platform: "linux",
      family: "unix",
      version: "12",
      arch: "x86_64",
      exe_extension: "",
    };
    const setCompleteCalls = () => bridge.calls.filter((call) => call.cmd === "set_complete");

    initI18n();
    const { container, rerender } = render(<App />);
    await act(async () => undefined);
    expect(fetch.mock.calls[0]?.[0]).toMatch(/locales\/ru\/common\.json$/);
    expect(container.innerHTML).toBe("");
    expect(setCompleteCalls()).toEqual([]);

    response.resolve(new Response(JSON.stringify(table)));
    expect(await screen.findByText("Здесь скоро что-то появится")).toBeTruthy();
    expect(screen.getByText("Mirravel - Launcher")).toBeTruthy();
    expect(setCompleteCalls()).toEqual([{ cmd: "set_complete", args: { task: "frontend" } }]);

    rerender(<App />);
    await act(async () => undefined);
    expect(setCompleteCalls()).toHaveLength(1);
  });
});
