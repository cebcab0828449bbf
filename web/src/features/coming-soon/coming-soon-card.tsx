import { motion } from "framer-motion";
import { CloudDownloadIcon } from "lucide-react";
import { useTranslation } from "react-i18next";
import { Button } from "@/components/ui/button";
import { Card, CardContent, CardFooter, CardHeader } from "@/components/ui/card";
import { SystemReportDialog } from "@/features/report/system-report-dialog";
import { RunnerGame } from "./runner-game";

const ICON_MOTION = { scale: [1, 1.2, 1], rotate: [0, 10, -10, 0] };
const ICON_TIMING = { duration: 3, ease: "easeInOut", repeat: Infinity } as const;

export function ComingSoonCard() {
  const { t } = useTranslation();
  return (
    <main className="flex min-h-screen items-center justify-center">
      <Card className="w-full max-w-xl rounded-2xl shadow-2xl">
        <CardHeader className="flex flex-col">
          <motion.div className="flex w-full justify-center" animate={ICON_MOTION} transition={ICON_TIMING}>
            <CloudDownloadIcon className="size-14 text-blue-400" />
          </motion.div>
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
