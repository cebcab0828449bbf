/** The header's logo, the asset the splash page shows as well. */
export const LOGO_SRC = "./assets/logo.svg";

let loading: Promise<void> | undefined;
let image: HTMLImageElement | undefined;
let decoded = false;

/**
 * Loads and decodes the logo once; the promise resolves when it is ready to draw or has failed. The decoded
 * image stays referenced, so an element showing the same address draws it at once.
 */
export function loadLogo(): Promise<void> {
  if (!loading) {
    image = new Image();
    image.src = LOGO_SRC;
    loading =
      typeof image.decode === "function"
        ? image.decode().then(
            () => void (decoded = true),
            () => undefined,
          )
        : Promise.resolve();
  }
  return loading;
}

/** Whether loadLogo has finished with a logo ready to draw. */
export function logoDecoded(): boolean {
  return decoded;
}
