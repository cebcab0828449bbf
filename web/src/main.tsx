import { createRoot } from "react-dom/client";
import { App } from "@/app";
import { applyToDocument, initialThemeState } from "@/features/theme/theme-state";
import { initI18n } from "@/lib/i18n";
import { installInputGuards } from "@/lib/input-guards";
import "./index.css";

initI18n();
void installInputGuards();
// Theme the document before anything renders, so a dark system never sees a light frame.
const { resolvedTheme, palette } = initialThemeState();
applyToDocument(resolvedTheme, palette);
createRoot(document.getElementById("root")!).render(<App />);
