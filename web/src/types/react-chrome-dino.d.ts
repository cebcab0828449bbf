declare module "react-chrome-dino" {
  import type { ComponentType } from "react";

  const ChromeDinoGame: ComponentType;
  export default ChromeDinoGame;
}
