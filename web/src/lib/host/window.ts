import { currentWindowLabel, invoke } from "./core";
import { listen, type HostEvent, type UnlistenFn } from "./event";

export type WindowTheme = "light" | "dark";

/** Commands and events of one window, addressed by its label. */
export class HostWindow {
  constructor(readonly label: string) {}

  private call<T>(command: string): Promise<T> {
    return invoke<T>(`plugin:window|${command}`, { label: this.label });
  }

  minimize(): Promise<void> {
    return this.call("minimize");
  }

  toggleMaximize(): Promise<void> {
    return this.call("toggle_maximize");
  }

  close(): Promise<void> {
    return this.call("close");
  }

  isMaximized(): Promise<boolean> {
    return this.call("is_maximized");
  }

  isFullscreen(): Promise<boolean> {
    return this.call("is_fullscreen");
  }

  theme(): Promise<WindowTheme | null> {
    return this.call("theme");
  }

  onResized(handler: () => void): Promise<UnlistenFn> {
    return listen("tauri://resize", handler, { kind: "WebviewWindow", label: this.label });
  }

  onThemeChanged(handler: (theme: WindowTheme) => void): Promise<UnlistenFn> {
    return listen("tauri://theme-changed", (event: HostEvent<WindowTheme>) => handler(event.payload), {
      kind: "WebviewWindow",
      label: this.label,
    });
  }
}

export function getCurrentWindow(): HostWindow {
  return new HostWindow(currentWindowLabel());
}
