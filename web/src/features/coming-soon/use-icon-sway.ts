import { useEffect, useRef } from "react";

// Scale 1 -> 1.2 -> 1 and rotation 0 -> 10 -> -10 -> 0 degrees, each list evenly spaced over one cycle with
// ease-in-out (framer-motion's "easeInOut", cubic-bezier(.42, 0, .58, 1)) between every two keyframes.
const SCALE: Keyframe[] = [
  { scale: "1", easing: "ease-in-out" },
  { scale: "1.2", easing: "ease-in-out" },
  { scale: "1" },
];
const ROTATE: Keyframe[] = [
  { rotate: "0deg", easing: "ease-in-out" },
  { rotate: "10deg", easing: "ease-in-out" },
  { rotate: "-10deg", easing: "ease-in-out" },
  { rotate: "0deg" },
];
const CYCLE_MS = 3000;
// The cycle's progress advances in 20 steps a second, so the engine draws the sway at 20 frames a second
// rather than at the display's rate; each frame still shows the eased position of its moment. A gentle 3 s
// sway looks the same, and in a web view that paints in software each frame costs as much as the idle page.
const FRAMES_PER_CYCLE = 60;

/**
 * Sways the element forever in 3 s cycles. The engine runs the animation itself (no script per frame) and
 * suspends it while the window is minimised or hidden.
 */
export function useIconSway<T extends HTMLElement>() {
  const ref = useRef<T>(null);
  useEffect(() => {
    const element = ref.current;
    if (!element?.animate) return;
    const timing = { duration: CYCLE_MS, iterations: Infinity, easing: `steps(${FRAMES_PER_CYCLE}, end)` };
    const animations = [element.animate(SCALE, timing), element.animate(ROTATE, timing)];
    return () => animations.forEach((animation) => animation.cancel());
  }, []);
  return ref;
}
