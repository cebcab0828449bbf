// Lets an element marked with data-tauri-drag-region stand in for a title bar: a left-button
// press on the element itself (not on anything inside it) moves the window once the pointer
// moves with the button held, and a double-click there toggles maximisation. A value of "false"
// switches the behaviour off for that element.
//
// The move starts on the first motion rather than on the press: a window manager's move grab
// swallows the release and the next press, which would turn every double-click into two moves.
(() => {
  const attribute = "data-tauri-drag-region";
  // Pointer travel, in CSS pixels, that turns a press into a move (a click may jitter a little).
  const threshold = 4;
  let pressed = null;

  const invoke = (command) => {
    const bridge = window.__TAURI_INTERNALS__;
    if (bridge) bridge.invoke(command).catch(() => {});
  };

  document.addEventListener("mousedown", (event) => {
    pressed = null;
    const target = event.target;
    if (event.button !== 0 || !(target instanceof Element)) return;
    if (!target.hasAttribute(attribute) || target.getAttribute(attribute) === "false") return;
    // Keep the press from selecting text or moving the focus.
    event.preventDefault();
    // Every second press of a quick series is a double-click, as on a native title bar.
    if (event.detail % 2 === 0) {
      invoke("plugin:window|internal_toggle_maximize");
    } else {
      pressed = { x: event.screenX, y: event.screenY };
    }
  });

  document.addEventListener("mousemove", (event) => {
    if (!pressed) return;
    if ((event.buttons & 1) === 0) {
      pressed = null;
      return;
    }
    if (Math.hypot(event.screenX - pressed.x, event.screenY - pressed.y) < threshold) return;
    pressed = null;
    invoke("plugin:window|start_dragging");
  });

  document.addEventListener("mouseup", () => {
    pressed = null;
  });
})();
