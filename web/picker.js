// The letter picker: a new high score's name entered without a keyboard, by touch, by mouse or
// by a game pad. It sends the characters a keyboard would type (Module._kestrune_virtual_char), so
// the game's own rules for the name (its length, the letters it allows) apply unchanged. It opens
// with the game's name entry unless the player was last seen on the keyboard; a key pressed
// hides it (keys type as before) and a tap or click on the picture brings it back.
"use strict";
(function () {
  const $ = (id) => document.getElementById(id);
  const page = Module.kestrunePage;
  const picker = $("picker"), keysBox = $("picker-keys");
  const NAME_ENTRY_MODE = 708;  // the race's screen (7) with the name entry (8) over it
  const BACKSPACE = 8, ENTER = 13;

  // The keys, ten to a row: letters, digits, then space, delete and done.
  const layout = [..."ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"].map((c) => ({ text: c, label: c, code: c.charCodeAt(0) }));
  layout.push({ text: "\u2423", label: "Space", code: 32 }, { text: "\u232B", label: "Delete", code: BACKSPACE },
              { text: "OK", label: "Done", code: ENTER, wide: true });
  const buttons = layout.map((k) => {
    const b = document.createElement("button");
    b.type = "button";
    b.textContent = k.text;
    b.setAttribute("aria-label", k.label);
    if (k.wide) b.className = "wide";
    b.addEventListener("pointerdown", (e) => e.preventDefault());  // the game keeps the focus
    b.addEventListener("click", () => type(k.code));
    keysBox.appendChild(b);
    return b;
  });
  function type(code) {
    if (window.kestruneReady) Module._kestrune_virtual_char(code);
    showName();
  }

  let open = false, dismissed = false, lastInput = "pointer";
  page.pickerOpen = () => open;
  document.addEventListener("keydown", (e) => {
    if (!e.isTrusted) return;
    lastInput = "key";
    if (open) dismissed = true;
  }, true);
  document.addEventListener("pointerdown", (e) => {
    lastInput = "pointer";
    if (e.target === $("canvas")) dismissed = false;
  }, true);
  window.addEventListener("gamepadconnected", () => { lastInput = "pad"; });

  function state() {
    try {
      return JSON.parse(Module.UTF8ToString(Module._kestrune_game_state()));
    } catch (e) {
      return null;
    }
  }
  function showName() {
    const s = state();
    if (!s) return;
    $("picker-score").textContent = `New high score: ${s.Score}. Your name:`;
    $("picker-name").textContent = s.PlayerName === "" ? "\u2014" : s.PlayerName;
  }

  // --- A game pad moves a highlight over the keys: the d-pad or the left stick moves it, A picks
  // the key, B deletes, Start is done. (The game does not see the pad while the picker is open.)
  let focus = 0, padBefore = {};
  const COLUMNS = 10;
  function padPressed(name, now) {
    const was = padBefore[name];
    padBefore[name] = now;
    return now && !was;
  }
  function readPad() {
    const pads = navigator.getGamepads ? [...navigator.getGamepads()].filter(Boolean) : [];
    const button = (i) => pads.some((p) => p.buttons[i] && p.buttons[i].pressed);
    const axis = (i, sign) => pads.some((p) => (p.axes[i] || 0) * sign > 0.5);
    const moves = [["up", 12, 1, -1, -COLUMNS], ["down", 13, 1, 1, COLUMNS], ["left", 14, 0, -1, -1], ["right", 15, 0, 1, 1]];
    let moved = false;
    for (const [name, b, a, sign, step] of moves) {
      if (padPressed(name, button(b) || axis(a, sign))) {
        focus = Math.min(buttons.length - 1, Math.max(0, focus + step));
        moved = true;
      }
    }
    if (moved) lastInput = "pad";
    if (padPressed("a", button(0))) buttons[focus].click();
    if (padPressed("b", button(1))) type(BACKSPACE);
    if (padPressed("start", button(9))) type(ENTER);
    buttons.forEach((b, i) => b.classList.toggle("focus", i === focus && lastInput === "pad"));
  }

  function tick() {
    const entering = window.kestruneReady && Module._kestrune_shell_mode() === NAME_ENTRY_MODE;
    if (!entering) dismissed = lastInput === "key";
    const show = entering && !dismissed && !(page.away && page.away());
    if (show !== open) {
      open = show;
      picker.hidden = !show;
      if (show) showName();
    }
    if (open) readPad();
    requestAnimationFrame(tick);
  }
  requestAnimationFrame(tick);
})();
