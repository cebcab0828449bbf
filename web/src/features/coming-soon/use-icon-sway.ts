import { useEffect, useRef } from "react";
import { driveSway } from "./sway-drive";
import { CYCLE_MS, swayFrames } from "./sway-frames";

/**
 * Sways the element forever in 3 s cycles, drawing exactly the frames of `swayFrames` from a timer
 * (`sway-drive.ts`), paused while the page is hidden. Working those frames out takes a few milliseconds, so it
 * waits until the page has painted and reported itself ready; until then the icon rests in the pose the sway
 * starts from.
 */
export function useIconSway<T extends HTMLElement>() {
  const ref = useRef<T>(null);
  useEffect(() => {
    const element = ref.current;
    if (!element) return;
    let stop: (() => void) | undefined;
    const start = setTimeout(() => {
      stop = driveSway(element, swayFrames(), CYCLE_MS);
    });
    return () => {
      clearTimeout(start);
      stop?.();
    };
  }, []);
  return ref;
}
