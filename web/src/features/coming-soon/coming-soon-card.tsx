import { CloudDownloadIcon } from "lucide-react";
import { useTranslation } from "react-i18next";
import { Button } from "@/components/ui/button";
import { Card, CardContent, CardFooter, CardHeader } from "@/components/ui/card";
import { SystemReportDialog } from "@/features/report/system-report-dialog";
import { useIconSway } from "./use-icon-sway";
import { RunnerGame } from "./runner-game";

export function ComingSoonCard() {
  const { t } = useTranslation();
  const icon = useIconSway<HTMLSpanElement>();
  return (
    <main className="flex min-h-screen items-center justify-center">
      <Card className="w-full max-w-xl rounded-2xl shadow-2xl">
        <CardHeader className="flex flex-col">
          {/* Only the icon's own box sways (the row is centred on it, so it looks the same): each frame repaints
              the icon, not a rotated card-wide row. */}
          <div className="flex w-full justify-center">
            <span ref={icon} data-slot="coming-soon-icon" className="inline-flex">
              <CloudDownloadIcon className="size-14 text-blue-400" />
            </span>
          </div>
          <h1 className="w-full text-center text-2xl font-semibold">{t("main.comingSoon")}</h1>
          <p className="text-muted-foreground w-full text-center text-sm">{t("main.description")}</p>
        </CardHeader>
        <CardContent>
          <RunnerGame />
        </CardContent>
        <CardFooter>
          <SystemReportDialog trigger={<Button className="cursor-pointer">{t("telemetry.button")}</Button>} />
        </CardFooter>
      </Card>
    </main>
  );
}
