import { afterEach, beforeEach, describe, expect, it, vi } from "vitest";
import { holdIdleRunner, type Runner } from "./idle-runner";

// A runner resting since time 0 whose next blink is due at 1000 ms, with the game's 3 waiting frames a second.
function restingRunner() {
  const runner: Runner = {
    activated: false,
    raqId: 7,
    drawPending: true,
    time: 0,
    raq: vi.fn(),
    tRex: { animStartTime: 0, blinkDelay: 1000, msPerFrame: 1000 / 3, update: vi.fn() },
  };
  return runner;
}

function setHidden(hidden: boolean) {
  Object.defineProperty(document, "hidden", { configurable: true, get: () => hidden });
  document.dispatchEvent(new Event("visibilitychange"));
}

describe("holdIdleRunner", () => {
  let end: () => void = () => {};

  beforeEach(() => {
    vi.useFakeTimers({
      toFake: ["setTimeout", "clearTimeout", "performance", "requestAnimationFrame", "cancelAnimationFrame"],
    });
  });

  afterEach(() => {
    end();
    setHidden(false);
    vi.useRealTimers();
  });

  it("stops the game's own frame loop and wakes the runner only when its blink is due", () => {
    const runner = restingRunner();
    const cancel = vi.spyOn(window, "cancelAnimationFrame");
    end = holdIdleRunner(runner);
    expect(cancel).toHaveBeenCalledWith(7);
    expect(runner).toMatchObject({ raqId: 0, drawPending: false });

    // Like the game's runner, this one ends its blink on its second waiting frame and starts the next delay.
    vi.mocked(runner.tRex.update).mockImplementation(() => {
      if (vi.mocked(runner.tRex.update).mock.calls.length === 2)
        runner.tRex.animStartTime = performance.now();
    });
    vi.advanceTimersByTime(999);
    expect(runner.tRex.update).not.toHaveBeenCalled();
    vi.advanceTimersByTime(1);
    expect(runner.tRex.update).toHaveBeenCalledTimes(1);
    vi.advanceTimersByTime(334);
    expect(runner.tRex.update).toHaveBeenCalledTimes(2);
    vi.advanceTimersByTime(999);
    expect(runner.tRex.update).toHaveBeenCalledTimes(2);
    expect(runner.raq).not.toHaveBeenCalled();
  });

  it("does nothing while the page is hidden and picks up again when it is shown", () => {
    const runner = restingRunner();
    end = holdIdleRunner(runner);
    setHidden(true);
    vi.advanceTimersByTime(10_000);
    expect(runner.tRex.update).not.toHaveBeenCalled();
    setHidden(false);
    vi.advanceTimersByTime(334);
    expect(runner.tRex.update).toHaveBeenCalledTimes(1);
  });

  it.each([
    { name: "a key that leaves the game resting keeps it held", event: "keydown", activates: false },
    { name: "the key that starts the game hands it its loop", event: "keydown", activates: true },
    { name: "the touch that starts the game hands it its loop", event: "touchstart", activates: true },
  ])("$name", ({ event, activates }) => {
    const runner = restingRunner();
    end = holdIdleRunner(runner);
    vi.advanceTimersByTime(500);
    runner.activated = activates;
    document.dispatchEvent(new Event(event));
    expect(runner.raq).toHaveBeenCalledTimes(activates ? 1 : 0);
    if (activates) expect(runner.time).toBe(performance.now());
    vi.advanceTimersByTime(5000);
    expect(vi.mocked(runner.tRex.update).mock.calls.length > 0).toBe(!activates);
    // Once handed over, further presses are the game's own business.
    document.dispatchEvent(new Event(event));
    expect(runner.raq).toHaveBeenCalledTimes(activates ? 1 : 0);
  });
});
