import { describe, expect, it } from "vitest";
import { easeInOut, ICON_RADIUS_PX, MAX_STEP_PX, poseAt, swayFrames, type Pose } from "./sway-frames";

function moved(a: Pose, b: Pose): number {
  const point = (pose: Pose) => {
    const angle = (pose.rotate * Math.PI) / 180;
    return [pose.scale * Math.cos(angle), pose.scale * Math.sin(angle)] as const;
  };
  const [ax, ay] = point(a);
  const [bx, by] = point(b);
  return ICON_RADIUS_PX * Math.hypot(ax - bx, ay - by);
}

describe("the icon sway", () => {
  it.each([
    // The keyframes themselves, evenly spaced over the cycle.
    { p: 0, scale: 1, rotate: 0 },
    { p: 1 / 3, scale: 1 + 0.2 * easeInOut(2 / 3), rotate: 10 },
    { p: 1 / 2, scale: 1.2, rotate: 10 - 20 * easeInOut(1 / 2) },
    { p: 2 / 3, scale: 1.2 - 0.2 * easeInOut(1 / 3), rotate: -10 },
    { p: 1, scale: 1, rotate: 0 },
    // Between them each step is eased: a quarter of the way through the first turn it has gone 12.9 % of it.
    { p: 1 / 12, scale: 1 + 0.2 * easeInOut(1 / 6), rotate: 10 * 0.1291 },
  ])("stands at scale $scale and rotation $rotate at progress $p", ({ p, scale, rotate }) => {
    const pose = poseAt(p);
    expect(pose.scale).toBeCloseTo(scale, 3);
    expect(pose.rotate).toBeCloseTo(rotate, 2);
  });

  it("eases in and out like cubic-bezier(.42, 0, .58, 1)", () => {
    expect(easeInOut(0)).toBeCloseTo(0, 4);
    expect(easeInOut(0.5)).toBeCloseTo(0.5, 4);
    expect(easeInOut(1)).toBeCloseTo(1, 4);
    expect(easeInOut(0.25)).toBeCloseTo(0.1291, 3);
    expect(easeInOut(0.75)).toBeCloseTo(0.8709, 3);
  });

  it("draws each frame at its own moment's pose, never moving the icon more than a step", () => {
    const frames = swayFrames();
    expect(frames[0]?.offset).toBe(0);
    expect(frames.at(-1)?.offset).toBe(1);
    // Fewer frames than a steady 20 a second would draw, since near its turning points the icon hardly moves.
    expect(frames.length).toBeLessThan(60);
    frames.forEach((frame, index) => {
      expect(frame.pose).toEqual(poseAt(frame.offset));
      const next = frames[index + 1];
      if (!next) return;
      expect(next.offset).toBeGreaterThan(frame.offset);
      expect(moved(frame.pose, next.pose)).toBeLessThanOrEqual(MAX_STEP_PX + 1e-9);
      // Nor is the icon held longer than needed: what it shows until the next frame stays within a step.
      for (let p = frame.offset; p < next.offset; p += 0.001) {
        expect(moved(frame.pose, poseAt(p))).toBeLessThanOrEqual(MAX_STEP_PX + 0.01);
      }
    });
  });
});
