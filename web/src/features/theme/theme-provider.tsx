import { useCallback, useEffect, useLayoutEffect, useMemo, useState, type ReactNode } from "react";
import { getCurrentWindow, type WindowTheme } from "@/lib/host/window";
import { ThemeContext } from "./theme-context";
import {
  applyToDocument,
  DARK_QUERY,
  initialThemeState,
  resolveTheme,
  THEME_DEFAULTS,
  writeStored,
  type Palette,
  type ResolvedTheme,
  type Theme,
  type ThemeDefaults,
} from "./theme-state";

export interface ThemeProviderProps extends Partial<ThemeDefaults> {
  children: ReactNode;
}

function isWindowTheme(value: unknown): value is WindowTheme {
  return value === "light" || value === "dark";
}

/**
 * While the theme is "system", both the media query and the window's own theme (asked once, then followed
 * through its theme-changed event) feed the resolved theme; whichever reports last decides. A new `request`
 * (the system mode chosen again) asks the window again, since the media query alone may disagree with it.
 */
function useSystemFollowing(
  active: boolean,
  request: number,
  setResolved: (theme: ResolvedTheme) => void,
): void {
  useEffect(() => {
    if (!active) return;
    const media = window.matchMedia(DARK_QUERY);
    const onMedia = (event: MediaQueryListEvent) => setResolved(event.matches ? "dark" : "light");
    media.addEventListener("change", onMedia);

    let live = true;
    let unlisten: (() => void) | undefined;
    const fromWindow = (value: unknown) => {
      if (live && isWindowTheme(value)) setResolved(value);
    };
    try {
      const current = getCurrentWindow();
      current.theme().then(fromWindow, () => undefined);
      current.onThemeChanged(fromWindow).then(
        (stop) => (live ? (unlisten = stop) : stop()),
        () => undefined,
      );
    } catch {
      // Without the host bridge only the media query drives the system mode.
    }
    return () => {
      live = false;
      media.removeEventListener("change", onMedia);
      unlisten?.();
    };
  }, [active, request, setResolved]);
}

export function ThemeProvider({ children, ...props }: ThemeProviderProps) {
  const defaults: ThemeDefaults = { ...THEME_DEFAULTS, ...props };
  const [initial] = useState(() => initialThemeState(defaults));
  const [theme, setThemeState] = useState<Theme>(initial.theme);
  const [resolvedTheme, setResolvedTheme] = useState<ResolvedTheme>(initial.resolvedTheme);
  const [palette, setPaletteState] = useState<string>(initial.palette);
  const [systemRequest, setSystemRequest] = useState(0);
  const { themeStorageKey, paletteStorageKey } = defaults;

  // Applied before the browser paints, so the first frame the host shows is already themed.
  useLayoutEffect(() => applyToDocument(resolvedTheme, palette), [resolvedTheme, palette]);
  useSystemFollowing(theme === "system", systemRequest, setResolvedTheme);

  const setTheme = useCallback(
    (value: Theme) => {
      writeStored(themeStorageKey, value);
      setThemeState(value);
      setResolvedTheme(resolveTheme(value));
      if (value === "system") setSystemRequest((request) => request + 1);
    },
    [themeStorageKey],
  );

  const setPalette = useCallback(
    (value: Palette | string) => {
      setPaletteState(value);
      writeStored(paletteStorageKey, value);
    },
    [paletteStorageKey],
  );

  const value = useMemo(
    () => ({ theme, resolvedTheme, palette, setTheme, setPalette }),
    [theme, resolvedTheme, palette, setTheme, setPalette],
  );
  return <ThemeContext.Provider value={value}>{children}</ThemeContext.Provider>;
}
