import { describe, expect, it } from "vitest";
import { installTestBridge } from "@/test/bridge";
import { installInputGuards } from "./input-guards";

// Each case gets a fresh event target, so listeners of one case cannot leak into the next.
function freshTarget(): Window {
  return new EventTarget() as unknown as Window;
}

function cancelled(target: Window, event: Event): boolean {
  target.dispatchEvent(event);
  return event.defaultPrevented;
}

const keydown = (key: string, shiftKey = false) =>
  new KeyboardEvent("keydown", { key, shiftKey, cancelable: true });

describe("installInputGuards", () => {
  it.each([
    ["0.1.36", true],
    ["0.2.0-dev.1", false],
    ["1.0.0+dev", false],
  ])("version %s installs guards: %s", async (version, installed) => {
    installTestBridge({ "plugin:app|version": () => version });
    const target = freshTarget();
    expect(await installInputGuards(target)).toBe(installed);
    expect(cancelled(target, new MouseEvent("contextmenu", { cancelable: true }))).toBe(installed);
    expect(cancelled(target, keydown("ContextMenu"))).toBe(installed);
    expect(cancelled(target, keydown("F10", true))).toBe(installed);
  });

  it.each([keydown("F10"), keydown("F5"), keydown("F12"), keydown("a", true)])(
    "lets $key pass in a release build",
    async (event) => {
      installTestBridge({ "plugin:app|version": () => "0.1.36" });
      const target = freshTarget();
      await installInputGuards(target);
      expect(cancelled(target, event)).toBe(false);
    },
  );

  it("installs nothing when the version cannot be read", async () => {
    installTestBridge({
      "plugin:app|version": () => Promise.reject("Command plugin:app|version not allowed by ACL"),
    });
    const target = freshTarget();
    expect(await installInputGuards(target)).toBe(false);
    expect(cancelled(target, new MouseEvent("contextmenu", { cancelable: true }))).toBe(false);
  });
});
