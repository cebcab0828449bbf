import { useEffect, useState } from "react";
import type { HostWindow } from "@/lib/host/window";

/**
 * Whether the window is maximised or full-screen: asked at mount and again after every resize. A failed
 * query keeps the last answer.
 */
export function useWindowEnlarged(appWindow: HostWindow): boolean {
  const [enlarged, setEnlarged] = useState(false);
  useEffect(() => {
    let live = true;
    let unlisten: (() => void) | undefined;
    const refresh = () => {
      Promise.all([appWindow.isMaximized(), appWindow.isFullscreen()]).then(
        ([maximized, fullscreen]) => live && setEnlarged(maximized || fullscreen),
        () => undefined,
      );
    };
    refresh();
    appWindow.onResized(refresh).then(
      (stop) => (live ? (unlisten = stop) : stop()),
      () => undefined,
    );
    return () => {
      live = false;
      unlisten?.();
    };
  }, [appWindow]);
  return enlarged;
}
