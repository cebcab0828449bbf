import { useEffect, useRef } from "react";
import { CYCLE_MS, swayFrames } from "./sway-frames";

/**
 * Sways the element forever in 3 s cycles. The engine runs the animation itself (no script per frame) and
 * suspends it while the window is minimised or hidden. Each keyframe holds its pose until the next one
 * ("step-end"), so the engine draws exactly the frames of `swayFrames` and nothing in between. Working those
 * out takes a few milliseconds, so it waits until the page has painted and reported itself ready; until then
 * the icon rests in the pose the sway starts from.
 */
export function useIconSway<T extends HTMLElement>() {
  const ref = useRef<T>(null);
  useEffect(() => {
    const element = ref.current;
    if (!element?.animate) return;
    let animation: Animation | undefined;
    const start = setTimeout(() => {
      const keyframes = swayFrames().map(({ offset, pose }) => ({
        offset,
        scale: String(pose.scale),
        rotate: `${pose.rotate}deg`,
        easing: "step-end",
      }));
      animation = element.animate(keyframes, { duration: CYCLE_MS, iterations: Infinity });
    });
    return () => {
      clearTimeout(start);
      animation?.cancel();
    };
  }, []);
  return ref;
}
