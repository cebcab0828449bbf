import { createRoot } from "react-dom/client";
import { App } from "@/app";
import { loadLogo } from "@/features/header/logo";
import { applyToDocument, initialThemeState } from "@/features/theme/theme-state";
import { initI18n } from "@/lib/i18n";
import { installInputGuards } from "@/lib/input-guards";
import "./index.css";

initI18n();
void installInputGuards();
// Theme the document before anything renders, so a dark system never sees a light frame.
const { resolvedTheme, palette } = initialThemeState();
applyToDocument(resolvedTheme, palette);
// The first render waits for the logo (while the text table loads beside it), so the first frame shows the
// logo rather than its fallback; a logo that fails to load does not hold the interface back.
void loadLogo().then(() => createRoot(document.getElementById("root")!).render(<App />));
