import { type ComponentType, useEffect } from "react";
import dinoModule from "react-chrome-dino";
import { useNextFrame } from "./use-next-frame";
import { holdIdleRunner, type Runner } from "./idle-runner";

// The package is a CommonJS module with an ES-module default; depending on the bundler's interop the
// default import is the component itself or the module object holding it.
const ChromeDinoGame: ComponentType =
  (dinoModule as unknown as { default?: ComponentType }).default ?? dinoModule;

/**
 * The runner mini-game, mounted one animation frame after the card so the card paints first. The game binds
 * itself to the element with class "interstitial-wrapper" and listens for its keys on the whole document.
 * Its box holds the game's space from the start (the package's 150 px canvas below a 50 px margin, 5 px in
 * windows up to 600 px high), so the card has its final size before the game mounts and never jumps.
 * The game's script creates its runner while the game mounts; until the player starts it, the runner is held
 * still rather than drawing the same scene 60 times a second.
 */
export function RunnerGame() {
  const mounted = useNextFrame();
  useEffect(() => {
    const runner = mounted && (window as { Runner?: { instance_?: Runner } }).Runner?.instance_;
    return runner ? holdIdleRunner(runner) : undefined;
  }, [mounted]);
  return (
    <div data-slot="runner-game" className="flow-root min-h-[200px] [@media(max-height:600px)]:min-h-[155px]">
      {mounted && <ChromeDinoGame />}
    </div>
  );
}
