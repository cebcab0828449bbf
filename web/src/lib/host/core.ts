// The page's side of the host bridge. The host injects `window.__TAURI_INTERNALS__` before the page's own
// scripts run; every host call of the interface goes through the functions here.

export type HostArgs = Record<string, unknown>;

interface HostInternals {
  invoke(cmd: string, args?: HostArgs): Promise<unknown>;
  transformCallback(callback: (message: unknown) => void, once?: boolean): number;
  unregisterCallback(id: number): void;
  metadata: {
    currentWindow: { label: string };
    currentWebview: { label: string };
  };
}

declare global {
  interface Window {
    __TAURI_INTERNALS__?: HostInternals;
  }
}

function internals(): HostInternals {
  const bridge = window.__TAURI_INTERNALS__;
  if (!bridge) throw new Error("the host bridge is not available in this page");
  return bridge;
}

/** Calls a host command; the promise rejects with the host's error message. */
export function invoke<T>(cmd: string, args: HostArgs = {}): Promise<T> {
  try {
    return internals().invoke(cmd, args) as Promise<T>;
  } catch (error) {
    return Promise.reject(error);
  }
}

/** Registers a page function the host may call; answers the number the host addresses it by. */
export function transformCallback<T>(callback: (message: T) => void, once = false): number {
  return internals().transformCallback(callback as (message: unknown) => void, once);
}

export function unregisterCallback(id: number): void {
  internals().unregisterCallback(id);
}

export function currentWindowLabel(): string {
  return internals().metadata.currentWindow.label;
}

/**
 * An ordered message stream from the host to the page. It travels in a command's arguments as the text
 * "__CHANNEL__:<id>"; toJSON gives that text, so it serialises the same whether passed as is or as text.
 */
export class Channel<T> {
  readonly id: number;

  constructor(onMessage: (message: T) => void) {
    this.id = transformCallback<T>(onMessage);
  }

  toJSON(): string {
    return `__CHANNEL__:${this.id}`;
  }
}
