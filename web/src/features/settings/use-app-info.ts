import { useEffect, useState } from "react";
import { getName, getVersion } from "@/lib/host/app";

export interface AppInfo {
  name: string;
  version: string;
}

/** The application's name, then its version, asked once at mount; null until both answered or if one failed. */
export function useAppInfo(): AppInfo | null {
  const [appInfo, setAppInfo] = useState<AppInfo | null>(null);
  useEffect(() => {
    let live = true;
    (async () => {
      const name = await getName();
      const version = await getVersion();
      if (live) setAppInfo({ name, version });
    })().catch(() => undefined);
    return () => {
      live = false;
    };
  }, []);
  return appInfo;
}
