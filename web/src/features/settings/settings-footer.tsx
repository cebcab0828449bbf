import type { AppInfo } from "./use-app-info";

export const STUDIO_SITE = "https://mirravel.games";

/** The studio's site (opened in the system browser by the host's link interception) and the build line. */
export function SettingsFooter({ appInfo }: { appInfo: AppInfo | null }) {
  return (
    <footer
      data-slot="settings-footer"
      className="text-muted-foreground flex flex-col items-center gap-1 text-sm"
    >
      <span>
        Сайт студии:{" "}
        <a
          href={STUDIO_SITE}
          target="_blank"
          rel="noopener noreferrer"
          className="text-inherit font-medium underline-offset-4 hover:underline focus-visible:ring-ring rounded-[4px] outline-none focus-visible:ring-2"
        >
          mirravel.games
        </a>
      </span>
      {appInfo && (
        <span>
          {appInfo.name}, версия {appInfo.version} © {new Date().getFullYear()}
        </span>
      )}
    </footer>
  );
}
