import { StrictMode, useEffect, useRef } from "react";
import { Toaster } from "@/components/ui/sonner";
import { ComingSoonCard } from "@/features/coming-soon/coming-soon-card";
import { LauncherHeader } from "@/features/header/launcher-header";
import { ThemeProvider } from "@/features/theme/theme-provider";
import { setComplete } from "@/lib/host/launcher";

/**
 * The page's root. Components that show table texts suspend until the table has loaded and no placeholder
 * exists, so the first commit already carries the texts; only then is the host told the front-end is ready.
 */
export function App() {
  const ready = useRef(false);
  useEffect(() => {
    if (ready.current) return;
    ready.current = true;
    setComplete("frontend").catch(() => undefined);
  }, []);
  return (
    <StrictMode>
      <ThemeProvider>
        <LauncherHeader />
        <ComingSoonCard />
        <Toaster />
      </ThemeProvider>
    </StrictMode>
  );
}
