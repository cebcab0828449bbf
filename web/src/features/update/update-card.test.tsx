import { act, render, screen } from "@testing-library/react";
import userEvent from "@testing-library/user-event";
import { afterEach, describe, expect, it } from "vitest";
import { Toaster } from "@/components/ui/sonner";
import type { Update } from "@/lib/host/updater";
import { deferred, installTestBridge } from "@/test/bridge";
import { UpdateCard } from "./update-card";

const UPDATE: Update = {
  rid: 3,
  currentVersion: "0.1.36",
  version: "0.1.37",
  date: "2025-12-31T20:00:00Z",
  body: "Первая строка\nВторая   строка",
  rawJson: {},
};

type Handlers = Parameters<typeof installTestBridge>[0];

function renderCard(handlers: Handlers, update: Update = UPDATE) {
  const bridge = installTestBridge(handlers);
  render(
    <>
      <UpdateCard update={update} />
      <Toaster />
    </>,
  );
  return bridge;
}

const button = (name: string) => screen.getByRole("button", { name });

describe("UpdateCard", () => {
  const zone = process.env.TZ;
  afterEach(() => {
    // Assigning undefined would set the text "undefined", which Node reads as UTC.
    if (zone === undefined) delete process.env.TZ;
    else process.env.TZ = zone;
  });

  it("shows the versions, the release date in local time and the notes with their line breaks", () => {
    process.env.TZ = "Asia/Tokyo";
    renderCard({});
    expect(screen.getByText("🔄 Доступно обновление")).toBeTruthy();
    expect(screen.getByText("0.1.36").getAttribute("data-slot")).toBe("badge");
    expect(screen.getByText("Дата выпуска: 01.01.2026")).toBeTruthy();
    expect(screen.getByText(/Первая строка/).textContent).toBe(UPDATE.body);
    expect(screen.getByText(/Первая строка/).className).toContain("whitespace-pre-line");
  });

  it("shows only the version line without a date and notes", () => {
    renderCard({}, { ...UPDATE, date: null, body: null });
    expect(screen.queryByText(/Дата выпуска/)).toBeNull();
    expect(screen.queryByText("📝 Заметка:")).toBeNull();
  });

  it("goes from download to restart, installing only once the package id is known", async () => {
    const download = deferred<number>();
    const install = deferred<null>();
    const bridge = renderCard({
      "plugin:updater|download": () => download.promise,
      "plugin:updater|install": () => install.promise,
      "plugin:process|restart": () => null,
    });
    await userEvent.click(button("Обновить"));
    expect(screen.getByText("🔄 Загрузка")).toBeTruthy();
    expect(bridge.calls[0]?.args).toEqual({ onEvent: expect.stringMatching(/^__CHANNEL__:\d+$/), rid: 3 });

    act(() =>
      bridge.send("plugin:updater|download", { event: "Started", data: { contentLength: 10485760 } }),
    );
    act(() => bridge.send("plugin:updater|download", { event: "Progress", data: { chunkLength: 1572864 } }));
    expect(screen.getByText("Загружено 1.50MB из 10.00MB (15.0%)")).toBeTruthy();
    expect(screen.getByRole("progressbar")).toBeTruthy();

    // The signature is checked after "Finished": until download answers, there is nothing to install.
    act(() => bridge.send("plugin:updater|download", { event: "Finished" }));
    expect(button("Установить")).toHaveProperty("disabled", true);
    await act(async () => download.resolve(9));
    expect(button("Установить")).toHaveProperty("disabled", false);

    await userEvent.click(button("Установить"));
    expect(button("Установка")).toHaveProperty("disabled", true);
    expect(bridge.calls.at(-1)).toEqual({
      cmd: "plugin:updater|install",
      args: { updateRid: 3, bytesRid: 9 },
    });
    await act(async () => install.resolve(null));
    await userEvent.click(button("Перезапустить приложение"));
    expect(bridge.commands().at(-1)).toBe("plugin:process|restart");
  });

  it.each<{ name: string; handlers: Handlers; toast: string; retry: string }>([
    {
      name: "a failed download offers the download again",
      handlers: { "plugin:updater|download": () => Promise.reject("The signature verification failed") },
      toast: "Не удалось загрузить обновление: The signature verification failed",
      retry: "Обновить",
    },
    {
      name: "a failed installation offers the installation again",
      handlers: {
        "plugin:updater|download": () => 9,
        "plugin:updater|install": () => Promise.reject("The resource id 9 is invalid."),
      },
      toast: "Не удалось установить обновление: The resource id 9 is invalid.",
      retry: "Установить",
    },
  ])("$name", async ({ handlers, toast, retry }) => {
    const bridge = renderCard(handlers);
    await userEvent.click(button("Обновить"));
    if (retry === "Установить") {
      act(() => bridge.send("plugin:updater|download", { event: "Finished" }));
      await act(async () => undefined);
      await userEvent.click(button("Установить"));
    }
    expect(await screen.findByText(toast)).toBeTruthy();
    expect(button(retry)).toHaveProperty("disabled", false);
  });
});
