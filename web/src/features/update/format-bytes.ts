const UNITS = ["B", "KB", "MB", "GB", "TB"] as const;

/** A byte count in binary units with two decimals, as in "1.50MB"; TB is the largest unit. */
export function formatBytes(bytes: number): string {
  let value = bytes;
  let unit = 0;
  while (value >= 1024 && unit < UNITS.length - 1) {
    value /= 1024;
    unit += 1;
  }
  return `${value.toFixed(2)}${UNITS[unit]}`;
}
