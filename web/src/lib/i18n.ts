import i18n from "i18next";
import HttpBackend from "i18next-http-backend";
import { initReactI18next } from "react-i18next";

/**
 * Configures the text table and starts loading it. No language is set and none is detected, so every lookup
 * goes through the fallback language. A failed load is retried a few times (server errors and network
 * failures only); after that the interface shows the keys in place of the texts.
 */
export function initI18n(): typeof i18n {
  void i18n
    .use(HttpBackend)
    .use(initReactI18next)
    .init({
      // Fetch the table now rather than on a later tick or at the first component that asks for a text, so
      // it loads beside the logo and the first render.
      initAsync: false,
      fallbackLng: "ru",
      ns: ["common"],
      defaultNS: "common",
      interpolation: { escapeValue: false },
      maxRetries: 2,
      retryTimeout: 250,
      backend: {
        loadPath: "./locales/{{lng}}/{{ns}}.json",
        requestOptions: { mode: "cors", credentials: "same-origin", cache: "default" },
      },
    });
  return i18n;
}
