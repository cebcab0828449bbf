import { act, render, screen } from "@testing-library/react";
import userEvent from "@testing-library/user-event";
import { describe, expect, it } from "vitest";
import { useTheme } from "./use-theme";
import { installTestBridge, type TestBridge } from "@/test/bridge";
import { setSystemDark } from "@/test/media";
import { ThemeProvider } from "./theme-provider";

const root = document.documentElement;

function Probe() {
  const { theme, resolvedTheme, palette, setTheme } = useTheme();
  return (
    <div>
      <output>{`${theme}/${resolvedTheme}/${palette}`}</output>
      {(["light", "dark", "system"] as const).map((value) => (
        <button key={value} onClick={() => setTheme(value)}>
          {value}
        </button>
      ))}
    </div>
  );
}

function renderProvider(windowTheme: unknown = null): TestBridge {
  const bridge = installTestBridge({ "plugin:window|theme": () => windowTheme });
  render(
    <ThemeProvider>
      <Probe />
    </ThemeProvider>,
  );
  return bridge;
}

const shown = () => screen.getByRole("status").textContent;

describe("ThemeProvider", () => {
  it("starts dark and red on a first launch with a dark system", async () => {
    setSystemDark(true);
    renderProvider();
    await act(async () => undefined);
    expect(root.classList.contains("dark")).toBe(true);
    expect(root.getAttribute("data-theme")).toBe("red");
    expect(shown()).toBe("system/dark/red");
  });

  it("ignores the system under a fixed choice until the system mode is chosen again", async () => {
    const user = userEvent.setup();
    const bridge = renderProvider();
    await user.click(screen.getByText("dark"));
    expect(root.classList.contains("dark")).toBe(true);
    expect(localStorage.getItem("ui-theme")).toBe("dark");

    act(() => setSystemDark(false));
    act(() => bridge.emit("tauri://theme-changed", "light"));
    expect(shown()).toBe("dark/dark/red");

    await user.click(screen.getByText("system"));
    expect(shown()).toBe("system/light/red");
    act(() => setSystemDark(true));
    expect(root.classList.contains("dark")).toBe(true);
  });

  it("follows whichever of the media query and the window reports last", async () => {
    const bridge = renderProvider("dark");
    await act(async () => undefined);
    expect(shown()).toBe("system/dark/red");
    act(() => setSystemDark(false));
    expect(shown()).toBe("system/light/red");
    act(() => bridge.emit("tauri://theme-changed", "dark"));
    expect(shown()).toBe("system/dark/red");
    act(() => bridge.emit("tauri://theme-changed", "sepia"));
    expect(shown()).toBe("system/dark/red");
  });

  it("asks the window again each time the system mode is chosen", async () => {
    const user = userEvent.setup();
    const bridge = renderProvider("dark");
    await act(async () => undefined);
    act(() => setSystemDark(false));
    expect(shown()).toBe("system/light/red");
    for (const first of ["light", "system"]) {
      await user.click(screen.getByText(first));
      await user.click(screen.getByText("system"));
      expect(shown()).toBe("system/dark/red");
    }
    expect(bridge.calls.filter((call) => call.cmd === "plugin:window|theme")).toHaveLength(4);
  });

  it.each([
    ["a stored palette", { "ui-palette": "green" }, "green"],
    ["a palette name no rule knows", { "ui-palette": "blue" }, "blue"],
    ["an unknown stored theme", { "ui-theme": "sepia" }, "red"],
  ])("keeps %s", async (_name, stored, palette) => {
    for (const [key, value] of Object.entries(stored)) localStorage.setItem(key, value);
    renderProvider();
    await act(async () => undefined);
    expect(root.getAttribute("data-theme")).toBe(palette);
    expect(shown()).toBe(`system/light/${palette}`);
  });

  it("refuses use outside the provider", () => {
    expect(() => render(<Probe />)).toThrow("useTheme must be used within a ThemeProvider");
  });
});
