import { afterEach, beforeEach, describe, expect, it, vi } from "vitest";
import { driveSway, transformOf } from "./sway-drive";
import { type SwayFrame } from "./sway-frames";

// A 1 s cycle of four frames; the last stands where the first does, as the sway's cycle ends where it began.
const CYCLE = 1000;
const FRAMES: SwayFrame[] = [
  { offset: 0, pose: { scale: 1, rotate: 0 } },
  { offset: 0.25, pose: { scale: 1.1, rotate: 5 } },
  { offset: 0.6, pose: { scale: 1.2, rotate: -5 } },
  { offset: 1, pose: { scale: 1, rotate: 0 } },
];

function setHidden(hidden: boolean) {
  Object.defineProperty(document, "hidden", { configurable: true, get: () => hidden });
  document.dispatchEvent(new Event("visibilitychange"));
}

describe("driveSway", () => {
  let element: HTMLElement;
  let stop: () => void = () => {};

  beforeEach(() => {
    vi.useFakeTimers({ toFake: ["setTimeout", "clearTimeout", "performance"] });
    element = document.createElement("span");
  });

  afterEach(() => {
    stop();
    setHidden(false);
    vi.useRealTimers();
  });

  it("stands the element in a rotation about its centre, then an even scale", () => {
    expect(transformOf({ scale: 1.2, rotate: -10 })).toBe("rotate(-10deg) scale(1.2)");
  });

  it.each([
    { at: 0, frame: 0 },
    { at: 249, frame: 0 },
    { at: 250, frame: 1 },
    { at: 599, frame: 1 },
    { at: 600, frame: 2 },
    { at: 999, frame: 2 },
    // The next cycle starts over, however many have gone by.
    { at: 1000, frame: 0 },
    { at: 3250, frame: 1 },
  ])("shows frame $frame at $at ms", ({ at, frame }) => {
    stop = driveSway(element, FRAMES, CYCLE);
    vi.advanceTimersByTime(at);
    expect(element.style.transform).toBe(transformOf(FRAMES[frame]!.pose));
  });

  it("wakes once per frame, not once per display refresh", () => {
    const timeout = vi.spyOn(globalThis, "setTimeout");
    stop = driveSway(element, FRAMES, CYCLE);
    vi.advanceTimersByTime(5 * CYCLE);
    // Frames 0, 1 and 2 of each cycle (the last frame's moment is the next cycle's first), and the start.
    expect(timeout.mock.calls.length).toBeLessThanOrEqual(5 * 3 + 1);
  });

  it("schedules nothing while the page is hidden and picks up where the clock stands when shown", () => {
    stop = driveSway(element, FRAMES, CYCLE);
    setHidden(true);
    expect(vi.getTimerCount()).toBe(0);
    vi.advanceTimersByTime(2300);
    expect(element.style.transform).toBe(transformOf(FRAMES[0]!.pose));
    setHidden(false);
    expect(element.style.transform).toBe(transformOf(FRAMES[1]!.pose));
    expect(vi.getTimerCount()).toBe(1);
  });

  it("changes nothing once stopped", () => {
    stop = driveSway(element, FRAMES, CYCLE);
    stop();
    vi.advanceTimersByTime(400);
    setHidden(false);
    expect(element.style.transform).toBe(transformOf(FRAMES[0]!.pose));
    expect(vi.getTimerCount()).toBe(0);
  });
});
