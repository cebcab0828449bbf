/** The header's logo, the asset the splash page shows as well. */
export const LOGO_SRC = "./assets/logo.svg";

let loading: Promise<void> | undefined;
let image: HTMLImageElement | undefined;

/**
 * Loads and decodes the logo once; the promise resolves when it is ready to draw or has failed (the avatar
 * then shows its fallback). The image stays referenced, so the avatar's own load of the same address finds
 * it complete in the memory cache and draws it in the avatar's first frame.
 */
export function loadLogo(): Promise<void> {
  if (!loading) {
    image = new Image();
    image.src = LOGO_SRC;
    loading = typeof image.decode === "function" ? image.decode().catch(() => undefined) : Promise.resolve();
  }
  return loading;
}
