import { getVersion } from "@/lib/host/app";

function blockContextMenu(event: Event): void {
  event.preventDefault();
}

function blockContextMenuKeys(event: KeyboardEvent): void {
  if (event.key === "ContextMenu" || (event.shiftKey && event.key === "F10")) event.preventDefault();
}

/**
 * Keeps the web view's context menu closed in release builds; development builds (a version containing
 * "dev") keep it for inspection. The listeners run in the capture phase, before any element's handlers.
 * Answers whether the guards were installed; a failed version query installs nothing.
 */
export async function installInputGuards(target: Window = window): Promise<boolean> {
  let version: string;
  try {
    version = await getVersion();
  } catch {
    return false;
  }
  if (version.includes("dev")) return false;
  target.addEventListener("contextmenu", blockContextMenu, { capture: true });
  target.addEventListener("keydown", blockContextMenuKeys, { capture: true });
  return true;
}
