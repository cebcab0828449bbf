import { render, screen } from "@testing-library/react";
import userEvent from "@testing-library/user-event";
import { describe, expect, it } from "vitest";
import { installTestBridge } from "@/test/bridge";
import { ThemeProvider } from "./theme-provider";
import { ThemeSettings } from "./theme-settings";

function renderSettings() {
  installTestBridge({ "plugin:window|theme": () => null });
  render(
    <ThemeProvider>
      <ThemeSettings />
    </ThemeProvider>,
  );
}

const marked = () =>
  screen.getAllByRole("button", { pressed: true }).map((swatch) => swatch.getAttribute("aria-label"));

describe("ThemeSettings", () => {
  it("marks the current palette and stores a new choice", async () => {
    renderSettings();
    expect(marked()).toEqual(["red"]);
    await userEvent.click(screen.getByRole("button", { name: "neutral" }));
    expect(marked()).toEqual(["neutral"]);
    expect(localStorage.getItem("ui-palette")).toBe("neutral");
    expect(document.documentElement.getAttribute("data-theme")).toBe("neutral");
  });

  it("marks no swatch for a palette no rule knows", () => {
    localStorage.setItem("ui-palette", "blue");
    renderSettings();
    expect(screen.queryAllByRole("button", { pressed: true })).toEqual([]);
  });
});
