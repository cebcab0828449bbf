/// <reference types="vite/client" />

interface ImportMetaEnv {
  /** Where the system report is posted; test builds point it at a loopback server. */
  readonly VITE_REPORT_ENDPOINT?: string;
}

interface ImportMeta {
  readonly env: ImportMetaEnv;
}
