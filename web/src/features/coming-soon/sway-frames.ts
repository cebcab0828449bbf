// The coming-soon icon's sway: scale 1 -> 1.2 -> 1 and rotation 0 -> 10 -> -10 -> 0 degrees, each list evenly
// spaced over one 3 s cycle with ease-in-out (framer-motion's "easeInOut", cubic-bezier(.42, 0, .58, 1)) between
// every two keyframes.
const SCALES = [1, 1.2, 1];
const ROTATIONS = [0, 10, -10, 0];
export const CYCLE_MS = 3000;

// Only the moments at which the icon has visibly moved are drawn: no point of the icon's 56 px box within 28 px
// of its centre (which holds every stroke of the glyph) moves by more than a pixel from one frame to the next.
// That is also the largest step of a sway drawn at a steady 20 frames a second, which moves that fast only
// mid-swing; near the turning points a frame can be held far longer, so the cycle needs 28 frames rather
// than 60, and in a web view that paints in software each frame costs about as much as the idle page.
export const ICON_RADIUS_PX = 28;
export const MAX_STEP_PX = 1;
const SEARCH_STEP = 10 / CYCLE_MS;

export interface Pose {
  scale: number;
  rotate: number; // degrees
}

// The point of the cubic Bezier curve from (0, 0) to (1, 1) with the given control coordinate, at parameter t.
function bezier(t: number, first: number, second: number): number {
  const u = 1 - t;
  return 3 * u * u * t * first + 3 * u * t * t * second + t * t * t;
}

/** The ease-in-out curve cubic-bezier(.42, 0, .58, 1) at time x in [0, 1]. */
export function easeInOut(x: number): number {
  let low = 0;
  let high = 1;
  for (let i = 0; i < 20; i++) {
    const middle = (low + high) / 2;
    if (bezier(middle, 0.42, 0.58) < x) low = middle;
    else high = middle;
  }
  return bezier((low + high) / 2, 0, 1);
}

// A list of keyframes evenly spaced over the cycle, eased between every two of them, at progress p in [0, 1].
function along(values: number[], p: number): number {
  const segments = values.length - 1;
  const index = Math.min(Math.floor(p * segments), segments - 1);
  const from = values[index]!;
  return from + (values[index + 1]! - from) * easeInOut(p * segments - index);
}

export interface SwayFrame {
  offset: number; // progress of the cycle, 0 to 1
  pose: Pose;
}

/** Where the sway stands at progress p of its cycle. */
export function poseAt(p: number): Pose {
  return { scale: along(SCALES, p), rotate: along(ROTATIONS, p) };
}

// How far a point at the icon's radius moves from one pose to the other, at worst.
function distance(a: Pose, b: Pose): number {
  const angleA = (a.rotate * Math.PI) / 180;
  const angleB = (b.rotate * Math.PI) / 180;
  const dx = a.scale * Math.cos(angleA) - b.scale * Math.cos(angleB);
  const dy = a.scale * Math.sin(angleA) - b.scale * Math.sin(angleB);
  return ICON_RADIUS_PX * Math.hypot(dx, dy);
}

/**
 * The moments of one cycle to draw, as progress from 0 to 1, with the pose at each: each frame is the latest
 * moment that is still within a step of the one before. The last one is the cycle's end.
 */
export function swayFrames(): SwayFrame[] {
  let shown: SwayFrame = { offset: 0, pose: poseAt(0) };
  const frames = [shown];
  const within = (offset: number) => distance(shown.pose, poseAt(offset)) <= MAX_STEP_PX;
  while (shown.offset < 1) {
    // Ten milliseconds at a time to the first moment too far away, then halving the last interval.
    let near = shown.offset;
    let far = Math.min(near + SEARCH_STEP, 1);
    while (far < 1 && within(far)) {
      near = far;
      far = Math.min(far + SEARCH_STEP, 1);
    }
    if (within(far)) {
      near = far;
    } else {
      for (let i = 0; i < 12; i++) {
        const middle = (near + far) / 2;
        if (within(middle)) near = middle;
        else far = middle;
      }
    }
    // However fast the icon moved, the cycle goes on.
    const offset = near > shown.offset ? near : far;
    shown = { offset, pose: poseAt(offset) };
    frames.push(shown);
  }
  return frames;
}
