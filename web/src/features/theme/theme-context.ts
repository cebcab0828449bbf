import { createContext } from "react";
import type { ResolvedTheme, Theme } from "./theme-state";

export interface ThemeContextValue {
  theme: Theme;
  resolvedTheme: ResolvedTheme;
  palette: string;
  setTheme(value: Theme): void;
  setPalette(value: string): void;
}

export const ThemeContext = createContext<ThemeContextValue | null>(null);
