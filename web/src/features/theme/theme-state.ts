export type Theme = "light" | "dark" | "system";
export type ResolvedTheme = "light" | "dark";
export const PALETTES = ["neutral", "violet", "red", "green", "yellow"] as const;
export type Palette = (typeof PALETTES)[number];

export const DARK_QUERY = "(prefers-color-scheme: dark)";

export interface ThemeDefaults {
  defaultTheme: Theme;
  defaultPalette: Palette;
  themeStorageKey: string;
  paletteStorageKey: string;
}

export const THEME_DEFAULTS: ThemeDefaults = {
  defaultTheme: "system",
  defaultPalette: "red",
  themeStorageKey: "ui-theme",
  paletteStorageKey: "ui-palette",
};

export interface ThemeSnapshot {
  theme: Theme;
  resolvedTheme: ResolvedTheme;
  /** Kept as stored even when no palette has that name: then only the neutral rules apply. */
  palette: string;
}

function isTheme(value: string | null): value is Theme {
  return value === "light" || value === "dark" || value === "system";
}

export function readStored(key: string): string | null {
  try {
    return window.localStorage.getItem(key);
  } catch {
    return null;
  }
}

export function writeStored(key: string, value: string): void {
  try {
    window.localStorage.setItem(key, value);
  } catch {
    // Storage may be unavailable; the choice then lasts only for this page.
  }
}

export function systemTheme(): ResolvedTheme {
  return window.matchMedia(DARK_QUERY).matches ? "dark" : "light";
}

export function resolveTheme(theme: Theme): ResolvedTheme {
  return theme === "system" ? systemTheme() : theme;
}

/**
 * The state a page starts with: the stored choices, else the root element's palette attribute, else the
 * defaults. A stored theme that is not one of the three names counts as absent.
 */
export function initialThemeState(defaults: ThemeDefaults = THEME_DEFAULTS): ThemeSnapshot {
  const stored = readStored(defaults.themeStorageKey);
  const theme = isTheme(stored) ? stored : defaults.defaultTheme;
  const palette =
    readStored(defaults.paletteStorageKey) ||
    document.documentElement.getAttribute("data-theme") ||
    defaults.defaultPalette;
  return { theme, resolvedTheme: resolveTheme(theme), palette };
}

export function applyToDocument(resolvedTheme: ResolvedTheme, palette: string): void {
  const root = document.documentElement;
  root.classList.toggle("dark", resolvedTheme === "dark");
  root.setAttribute("data-theme", palette);
}
