/** The text of a failed host call: the bridge rejects with the host's message, as a string or an Error. */
export function errorText(reason: unknown): string {
  if (typeof reason === "string") return reason;
  if (reason instanceof Error) return reason.message;
  return String(reason);
}
