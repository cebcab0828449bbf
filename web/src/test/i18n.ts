import i18n from "i18next";
import { initReactI18next } from "react-i18next";
import table from "../../public/locales/ru/common.json";

/** The real text table, loaded in memory so components render at once. */
export function initTestI18n(): void {
  if (i18n.isInitialized) return;
  void i18n.use(initReactI18next).init({
    fallbackLng: "ru",
    ns: ["common"],
    defaultNS: "common",
    resources: { ru: { common: table } },
    interpolation: { escapeValue: false },
  });
}
