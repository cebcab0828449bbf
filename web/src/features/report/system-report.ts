import { locale, platformFacts } from "@/lib/host/os";
import { cpuInfo, listGpus, memoryInfo, type HostRecord } from "@/lib/host/system-info";

export type Category = "system" | "cpu" | "gpu" | "memory";
export type Selection = Record<Category, boolean>;

export interface SystemFacts {
  arch: string;
  platform: string;
  type: string;
  version: string;
  locale: string | null;
}

/** The report's keys are in this order, which differs from the order the categories are listed on screen. */
export interface SystemReport {
  system: SystemFacts | null;
  cpu: HostRecord | null;
  gpu: HostRecord[] | null;
  memory: HostRecord | null;
}

export const CATEGORIES: { key: Category; title: string }[] = [
  { key: "system", title: "Информация о системе" },
  { key: "cpu", title: "Информация о процессоре" },
  { key: "memory", title: "Информация об оперативной памяти" },
  { key: "gpu", title: "Информация о видеокарте" },
];

export const ALL_SELECTED: Selection = { system: true, cpu: true, gpu: true, memory: true };

export function nothingSelected(selection: Selection): boolean {
  return !selection.system && !selection.cpu && !selection.gpu && !selection.memory;
}

async function systemFacts(): Promise<SystemFacts> {
  const facts = platformFacts();
  const { arch, platform, os_type: type, version } = facts;
  return { arch, platform, type, version, locale: await locale() };
}

/** Gathers the selected categories one after the other, each host call waiting for the previous answer. */
export async function gatherReport(selection: Selection): Promise<SystemReport> {
  const system = selection.system ? await systemFacts() : null;
  const cpu = selection.cpu ? await cpuInfo() : null;
  const gpu = selection.gpu ? await listGpus() : null;
  const memory = selection.memory ? await memoryInfo() : null;
  return { system, cpu, gpu, memory };
}

/** The report without the categories the selection leaves out. */
export function withinSelection(report: SystemReport, selection: Selection): SystemReport {
  return {
    system: selection.system ? report.system : null,
    cpu: selection.cpu ? report.cpu : null,
    gpu: selection.gpu ? report.gpu : null,
    memory: selection.memory ? report.memory : null,
  };
}

export const REPORT_ENDPOINT: string =
  import.meta.env.VITE_REPORT_ENDPOINT || "https://collect.mirravel.games/webhook/mrv-system-report";

/**
 * Posts the report as compact JSON in a simple cross-origin request: a text body and no custom headers, so no
 * preflight and no credentials. The answer is never read, and a failure is not reported.
 */
export function sendReport(report: SystemReport | null, endpoint: string = REPORT_ENDPOINT): void {
  fetch(endpoint, {
    method: "POST",
    body: JSON.stringify(report),
    mode: "no-cors",
    credentials: "omit",
  }).catch(() => undefined);
}
