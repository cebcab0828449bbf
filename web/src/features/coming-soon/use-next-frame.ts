import { useEffect, useState } from "react";

/** False on the first render, true from the next animation frame on; unmounting first cancels the frame. */
export function useNextFrame(): boolean {
  const [reached, setReached] = useState(false);
  useEffect(() => {
    const frame = requestAnimationFrame(() => setReached(true));
    return () => cancelAnimationFrame(frame);
  }, []);
  return reached;
}
