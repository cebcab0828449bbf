import { type Pose, type SwayFrame } from "./sway-frames";

/** The CSS transform that stands an element in the pose: rotated about its centre, then scaled evenly. */
export function transformOf(pose: Pose): string {
  return `rotate(${pose.rotate}deg) scale(${pose.scale})`;
}

/**
 * Shows the frames on the element, one cycle after another, each from its moment until the next one's, by
 * setting its inline transform from a timer that wakes once per frame. No animation runs, so the web view's
 * display-refresh clock stays asleep between frames, where any running CSS or Web Animation keeps it ticking
 * 60 times a second. The timer follows the clock rather than counting its own wake-ups, so a late one never
 * puts the sway out of step. While the page is hidden (window minimised or covered) nothing is scheduled; on
 * showing again the sway picks up where the clock stands. Returns a function that ends the drive.
 */
export function driveSway(element: HTMLElement, frames: readonly SwayFrame[], cycleMs: number): () => void {
  const started = performance.now();
  let timer: ReturnType<typeof setTimeout> | undefined;

  const tick = () => {
    timer = undefined;
    if (document.hidden) return;
    const elapsed = (performance.now() - started) % cycleMs;
    // The frame on show is the last one whose moment has come; the next one's moment is the next wake-up.
    let next = frames.findIndex((frame) => frame.offset * cycleMs > elapsed);
    if (next < 0) next = frames.length;
    const shown = frames[Math.max(next - 1, 0)]!;
    const transform = transformOf(shown.pose);
    if (element.style.transform !== transform) element.style.transform = transform;
    const wake = next < frames.length ? frames[next]!.offset * cycleMs : cycleMs;
    // Rounded up, so the wake-up never comes before the frame's moment and finds nothing to show.
    timer = setTimeout(tick, Math.max(Math.ceil(wake - elapsed), 1));
  };
  const onVisibility = () => {
    clearTimeout(timer);
    tick();
  };

  document.addEventListener("visibilitychange", onVisibility);
  tick();
  return () => {
    clearTimeout(timer);
    document.removeEventListener("visibilitychange", onVisibility);
  };
}
