import { CloudDownloadIcon } from "lucide-react";
import { useTranslation } from "react-i18next";
import { Button } from "@/components/ui/button";
import { Card, CardContent, CardFooter, CardHeader } from "@/components/ui/card";
import { SystemReportDialog } from "@/features/report/system-report-dialog";
import { RunnerGame } from "./runner-game";

export function ComingSoonCard() {
  const { t } = useTranslation();
  return (
    <main className="flex min-h-screen items-center justify-center">
      <Card className="w-full max-w-xl rounded-2xl shadow-2xl">
        <CardHeader className="flex flex-col">
          {/* Only the icon's own box sways (the row's centre is the icon's), so each frame repaints 56 px, not a
              card-wide row, and its own layer lets the compositor move it. */}
          <div className="flex w-full justify-center">
            <span
              data-slot="coming-soon-icon"
              className="animate-icon-sway inline-flex will-change-transform"
            >
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
