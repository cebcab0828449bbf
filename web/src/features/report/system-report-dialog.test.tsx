import { act, render, screen, waitFor } from "@testing-library/react";
import userEvent from "@testing-library/user-event";
import { beforeEach, describe, expect, it } from "vitest";
import { Button } from "@/components/ui/button";
import { Toaster } from "@/components/ui/sonner";
import { deferred, installTestBridge } from "@/test/bridge";
import { initTestI18n } from "@/test/i18n";
import { SystemReportDialog } from "./system-report-dialog";

const FACTS = {
  eol: "\r\n",
  os_type: "windows",
  platform: "windows",
  family: "windows",
  version: "10.0.22631",
  arch: "x86_64",
  exe_extension: "exe",
};
const SYSTEM = {
  arch: "x86_64",
  platform: "windows",
  type: "windows",
  version: "10.0.22631",
  locale: "ru-RU",
};
const CPU = { name: "CPU" };
const GPU = [{ name: "GPU" }];
const MEMORY = { total_memory: 1 };

type Handlers = Parameters<typeof installTestBridge>[0];

function answers(overrides: Handlers = {}): Handlers {
  return {
    "plugin:os|locale": () => "ru-RU",
    "plugin:system-info|cpu_info": () => CPU,
    list_gpus: () => GPU,
    "plugin:system-info|memory_info": () => MEMORY,
    ...overrides,
  };
}

function renderDialog(handlers: Handlers) {
  const bridge = installTestBridge(handlers);
  render(
    <>
      <SystemReportDialog trigger={<Button>open</Button>} />
      <Toaster />
    </>,
  );
  return bridge;
}

const user = () => userEvent.setup();
const sendButton = () => screen.getByRole("button", { name: "Отправить" });
const preview = () => JSON.parse(document.querySelector("[data-slot=report-preview]")?.textContent ?? "null");
const toggle = (title: string) => user().click(screen.getByRole("checkbox", { name: title }));

async function openWithPreview() {
  await user().click(screen.getByRole("button", { name: "open" }));
  await user().click(await screen.findByRole("button", { name: "Показать отправляемые данные" }));
}

describe("SystemReportDialog", () => {
  beforeEach(() => {
    initTestI18n();
    window.__TAURI_OS_PLUGIN_INTERNALS__ = FACTS;
  });

  it("gathers every group at mount, one call after the other, into a report keyed system, cpu, gpu, memory", async () => {
    const bridge = renderDialog(answers());
    await act(async () => undefined);
    expect(bridge.commands()).toEqual([
      "plugin:os|locale",
      "plugin:system-info|cpu_info",
      "list_gpus",
      "plugin:system-info|memory_info",
    ]);
    await openWithPreview();
    const text = document.querySelector("[data-slot=report-preview]")?.textContent;
    expect(text).toBe(JSON.stringify({ system: SYSTEM, cpu: CPU, gpu: GPU, memory: MEMORY }, null, 2));
    expect(Object.keys(preview().system)).toEqual(["arch", "platform", "type", "version", "locale"]);
  });

  it("lets only the latest gathering write the report and keeps Send disabled until it ends", async () => {
    const cpuAnswers = [deferred<unknown>(), deferred<unknown>()];
    let cpuCalls = 0;
    const bridge = renderDialog(
      answers({ "plugin:system-info|cpu_info": () => cpuAnswers[cpuCalls++]!.promise }),
    );
    await user().click(screen.getByRole("button", { name: "open" }));
    await toggle("Информация о видеокарте");
    expect(bridge.commands()).not.toContain("list_gpus");

    // The first run (all groups) finishes while the second is still waiting for its processor facts.
    await act(async () => cpuAnswers[0]!.resolve({ name: "stale" }));
    await waitFor(() => expect(bridge.commands()).toContain("plugin:system-info|memory_info"));
    expect(sendButton()).toHaveProperty("disabled", true);
    expect(screen.getByRole("button", { name: "Собираем информацию" })).toHaveProperty("disabled", true);

    await act(async () => cpuAnswers[1]!.resolve(CPU));
    await waitFor(() => expect(sendButton()).toHaveProperty("disabled", false));
    await user().click(screen.getByRole("button", { name: "Показать отправляемые данные" }));
    expect(preview()).toEqual({ system: SYSTEM, cpu: CPU, gpu: null, memory: MEMORY });
  });

  it("gives four nulls and disables Send when nothing is selected", async () => {
    const bridge = renderDialog(answers());
    await openWithPreview();
    for (const title of [
      "Информация о системе",
      "Информация о процессоре",
      "Информация об оперативной памяти",
    ]) {
      await toggle(title);
    }
    await waitFor(() => expect(preview()).toEqual({ system: null, cpu: null, gpu: GPU, memory: null }));
    const callsBefore = bridge.calls.length;
    await toggle("Информация о видеокарте");
    await waitFor(() => expect(preview()).toEqual({ system: null, cpu: null, gpu: null, memory: null }));
    expect(sendButton()).toHaveProperty("disabled", true);
    expect(bridge.calls.length).toBe(callsBefore);
  });

  it("reports a failed gathering and keeps the previous report, less the groups no longer selected", async () => {
    let failing = false;
    renderDialog(
      answers({
        "plugin:system-info|cpu_info": () => (failing ? Promise.reject("boom") : CPU),
      }),
    );
    await openWithPreview();
    await waitFor(() => expect(preview()).toEqual({ system: SYSTEM, cpu: CPU, gpu: GPU, memory: MEMORY }));

    failing = true;
    await toggle("Информация об оперативной памяти");
    expect(await screen.findByText("Не удалось собрать данные. Попробуйте ещё раз.")).toBeTruthy();
    await waitFor(() => expect(sendButton()).toHaveProperty("disabled", false));
    expect(preview()).toEqual({ system: SYSTEM, cpu: CPU, gpu: GPU, memory: null });
  });
});
