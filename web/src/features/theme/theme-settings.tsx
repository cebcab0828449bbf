import { MonitorIcon, MoonIcon, SunIcon } from "lucide-react";
import { Button } from "@/components/ui/button";
import {
  DropdownMenu,
  DropdownMenuContent,
  DropdownMenuRadioGroup,
  DropdownMenuRadioItem,
  DropdownMenuTrigger,
} from "@/components/ui/dropdown-menu";
import { useTheme } from "./use-theme";
import { cn } from "@/lib/utils";
import { PALETTES, type Theme } from "./theme-state";

const THEME_ICONS = { system: MonitorIcon, dark: MoonIcon, light: SunIcon } as const;

const THEME_CHOICES: { value: Theme; label: string }[] = [
  { value: "light", label: "Светлая" },
  { value: "dark", label: "Тёмная" },
  { value: "system", label: "Системная" },
];

export function ThemeSettings() {
  const { theme, resolvedTheme, palette, setTheme, setPalette } = useTheme();
  const ThemeIcon = THEME_ICONS[theme];
  return (
    <div className="flex flex-col gap-4">
      <DropdownMenu>
        <DropdownMenuTrigger asChild>
          <Button variant="ghost" className="w-full cursor-pointer">
            <ThemeIcon />
            Тема приложения
          </Button>
        </DropdownMenuTrigger>
        <DropdownMenuContent className="w-(--radix-dropdown-menu-trigger-width) min-w-0">
          <DropdownMenuRadioGroup value={theme} onValueChange={(value) => setTheme(value as Theme)}>
            {THEME_CHOICES.map((choice) => (
              <DropdownMenuRadioItem
                key={choice.value}
                value={choice.value}
                className={cn(choice.value !== theme && "cursor-pointer")}
              >
                {choice.label}
              </DropdownMenuRadioItem>
            ))}
          </DropdownMenuRadioGroup>
        </DropdownMenuContent>
      </DropdownMenu>
      <div className="flex items-center justify-center gap-3">
        {PALETTES.map((name) => {
          const current = name === palette;
          // Other swatches take their palette's light primary through their own data-theme attribute;
          // the neutral one follows the mode by hand, since no rule matches "neutral".
          const neutralFill = resolvedTheme === "light" ? "oklch(0.205 0 0)" : "oklch(0.922 0 0)";
          return (
            <button
              key={name}
              type="button"
              aria-label={name}
              aria-pressed={current}
              data-theme={name === "neutral" ? undefined : name}
              onClick={() => setPalette(name)}
              style={name === "neutral" ? { backgroundColor: neutralFill } : undefined}
              className={cn(
                "bg-primary size-8 rounded-full border transition-transform duration-200",
                current
                  ? "ring-ring scale-110 shadow-md ring-2"
                  : "cursor-pointer opacity-80 hover:opacity-100",
              )}
            />
          );
        })}
      </div>
    </div>
  );
}
