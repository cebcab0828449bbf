import { Maximize2Icon, Minimize2Icon, MinusIcon, SettingsIcon, XIcon } from "lucide-react";
import { useMemo } from "react";
import { Avatar, AvatarFallback, AvatarImage } from "@/components/ui/avatar";
import { Button, type ButtonProps } from "@/components/ui/button";
import { SettingsDialog } from "@/features/settings/settings-dialog";
import { useWindowEnlarged } from "./use-window-enlarged";
import { LOGO_SRC, logoDecoded } from "./logo";
import { getCurrentWindow } from "@/lib/host/window";

// Spreads the remaining props so it can also serve as a dialog's trigger element.
function WindowButton({ label, ...props }: ButtonProps & { label: string }) {
  return <Button variant="ghost" size="icon" className="cursor-pointer" aria-label={label} {...props} />;
}

const ignore = () => undefined;

/** The window's own title bar: the bar's bare background moves the window, the buttons act on it. */
export function LauncherHeader() {
  const appWindow = useMemo(getCurrentWindow, []);
  const enlarged = useWindowEnlarged(appWindow);
  return (
    <header
      data-tauri-drag-region="true"
      className="bg-background fixed top-0 right-0 left-0 z-50 flex h-12 w-full items-center justify-between border-b px-4 shadow-sm select-none"
    >
      <div className="flex items-center gap-3">
        <Avatar>
          {/* The page renders once the logo is decoded (main.tsx), so it is drawn in the first frame; the kit's
              image would load it again and show the fallback meanwhile. */}
          {logoDecoded() ? (
            <img
              data-slot="avatar-image"
              className="aspect-square size-full"
              src={LOGO_SRC}
              alt="Логотип Mirravel"
              decoding="sync"
            />
          ) : (
            <>
              <AvatarImage src={LOGO_SRC} alt="Логотип Mirravel" />
              <AvatarFallback className="text-xs font-medium">MRV</AvatarFallback>
            </>
          )}
        </Avatar>
        <span className="text-lg font-semibold whitespace-nowrap">Mirravel - Launcher</span>
      </div>
      <div className="flex items-center gap-2">
        <SettingsDialog
          trigger={
            <WindowButton label="Настройки">
              <SettingsIcon />
            </WindowButton>
          }
        />
        <WindowButton label="Свернуть" onClick={() => appWindow.minimize().catch(ignore)}>
          <MinusIcon />
        </WindowButton>
        <WindowButton
          label={enlarged ? "Восстановить" : "Развернуть"}
          onClick={() => appWindow.toggleMaximize().catch(ignore)}
        >
          {enlarged ? <Minimize2Icon /> : <Maximize2Icon />}
        </WindowButton>
        <WindowButton label="Закрыть" onClick={() => appWindow.close().catch(ignore)}>
          <XIcon />
        </WindowButton>
      </div>
    </header>
  );
}
