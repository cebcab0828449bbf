/** The parts of the game's runner (its `Runner.instance_`) that the idle drive reads and calls. */
export interface Runner {
  activated: boolean;
  raqId: number;
  drawPending: boolean;
  time: number;
  raq(): void;
  tRex: {
    animStartTime: number;
    blinkDelay: number;
    msPerFrame: number;
    update(elapsed: number): void;
  };
}

/**
 * Keeps the runner game still until the player starts it. The game's own loop asks for an animation frame 60
 * times a second from the moment it is created, although before the first jump it only draws the resting
 * runner's occasional blink over the still scene. This stops that loop and instead wakes the runner's own
 * waiting animation when its next blink is due (and every waiting frame while the blink lasts), never while
 * the page is hidden. The first key press or touch that activates the game hands it back its own loop, which
 * from then on runs, pauses and stops as the game decides. Returns a function that ends the drive.
 */
export function holdIdleRunner(runner: Runner): () => void {
  cancelAnimationFrame(runner.raqId);
  runner.raqId = 0;
  runner.drawPending = false;

  let timer: ReturnType<typeof setTimeout> | undefined;
  const schedule = () => {
    clearTimeout(timer);
    timer = undefined;
    if (document.hidden) return;
    const { tRex } = runner;
    const untilBlink = tRex.animStartTime + tRex.blinkDelay - performance.now();
    // While a blink is under way the runner changes its picture once per waiting frame.
    timer = setTimeout(tick, untilBlink > 0 ? untilBlink : Math.ceil(tRex.msPerFrame));
  };
  const tick = () => {
    const now = performance.now();
    runner.tRex.update(now - (runner.time || now));
    runner.time = now;
    schedule();
  };
  const onInput = () => {
    if (!runner.activated) return;
    end();
    // The game measures each frame from its last one; the first frame after the wait starts from now.
    runner.time = performance.now();
    runner.raq();
  };
  const end = () => {
    clearTimeout(timer);
    document.removeEventListener("visibilitychange", schedule);
    document.removeEventListener("keydown", onInput);
    document.removeEventListener("touchstart", onInput);
  };

  document.addEventListener("visibilitychange", schedule);
  // Registered after the game's own listeners on the document, so these see the state the press left.
  document.addEventListener("keydown", onInput);
  document.addEventListener("touchstart", onInput);
  runner.time = performance.now();
  schedule();
  return end;
}
