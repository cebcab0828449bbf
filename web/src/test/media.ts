// jsdom has no matchMedia; this one answers the dark-scheme query from a switch the test flips.

type Listener = (event: MediaQueryListEvent) => void;

let dark = false;
const listeners = new Set<Listener>();

export function setSystemDark(value: boolean): void {
  dark = value;
  for (const listener of listeners) listener({ matches: value } as MediaQueryListEvent);
}

export function installMatchMedia(): void {
  listeners.clear();
  dark = false;
  window.matchMedia = (query: string) =>
    ({
      media: query,
      get matches() {
        return dark;
      },
      addEventListener: (_type: string, listener: Listener) => listeners.add(listener),
      removeEventListener: (_type: string, listener: Listener) => listeners.delete(listener),
    }) as unknown as MediaQueryList;
}
