import type { ReactElement } from "react";
import {
  Dialog,
  DialogContent,
  DialogDescription,
  DialogHeader,
  DialogTitle,
  DialogTrigger,
} from "@/components/ui/dialog";
import { Separator } from "@/components/ui/separator";
import { ThemeSettings } from "@/features/theme/theme-settings";
import { UpdateCard } from "@/features/update/update-card";
import { UpdateCheckButton } from "@/features/update/update-check-button";
import { useAppInfo } from "./use-app-info";
import { useUpdateCheck } from "./use-update-check";
import { SettingsFooter } from "./settings-footer";

// Presses on the toast stack must not close the dialog, so toasts stay usable while it is open.
function isOnToaster(target: EventTarget | null): boolean {
  return target instanceof Element && target.closest("[data-sonner-toaster]") !== null;
}

/** The settings dialog. Its state lives here, in the header, so it outlasts closing the dialog. */
export function SettingsDialog({ trigger }: { trigger: ReactElement }) {
  const appInfo = useAppInfo();
  const { update, checking, runCheck } = useUpdateCheck();
  return (
    <Dialog>
      <DialogTrigger asChild>{trigger}</DialogTrigger>
      <DialogContent
        onOpenAutoFocus={(event) => event.preventDefault()}
        onInteractOutside={(event) => isOnToaster(event.target) && event.preventDefault()}
      >
        <DialogHeader>
          <DialogTitle>Настройки</DialogTitle>
          <DialogDescription>Здесь вы можете настроить всё под себя :)</DialogDescription>
        </DialogHeader>
        {update && <UpdateCard update={update} />}
        <ThemeSettings />
        <Separator />
        <UpdateCheckButton checking={checking} onCheck={runCheck} />
        <SettingsFooter appInfo={appInfo} />
      </DialogContent>
    </Dialog>
  );
}
