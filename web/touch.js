// The touch controls beside the picture: a steering pad on one side, pedals and buttons on the
// other. They hold the game's own keys through the back end (Module._kestrune_virtual_key), so the
// race sees what a keyboard would give it. Shown on a touch device or at the first touch, hidden
// when a key is pressed or a game pad connects. Also the touch settings (pad size, left-handed,
// auto-accelerate), kept in the save folder with the game's own saves, and the "turn your phone"
// message of a phone held upright, during which the game is paused.
"use strict";
(function () {
  const $ = (id) => document.getElementById(id);
  const page = Module.kestrunePage;
  const canvas = $("canvas");
  const KEY_UP = 38, KEY_DOWN = 40;
  const SETTINGS_FILE = "/save/touch.cfg";
  const settings = { pads: "medium", hand: "right", accelerate: "hold" };

  // --- Keys held by the pads: a key is down while any holder (a finger, auto-accelerate) holds it.
  const holders = new Map();  // key -> Set of holder ids
  function send(key, down) {
    if (window.kestruneReady) Module._kestrune_virtual_key(key, down ? 1 : 0);
  }
  function hold(key, who) {
    if (!holders.has(key)) holders.set(key, new Set());
    const set = holders.get(key);
    if (set.has(who)) return;
    set.add(who);
    if (set.size === 1) send(key, true);
  }
  function release(key, who) {
    const set = holders.get(key);
    if (!set || !set.delete(who)) return;
    if (set.size === 0) send(key, false);
  }
  function releaseAll() {
    for (const [key, set] of holders) {
      if (set.size > 0) send(key, false);
      set.clear();
    }
  }
  const held = (key) => (holders.get(key) || new Set()).size > 0;

  // --- Showing the pads.
  let touchMode = matchMedia("(pointer: coarse)").matches || navigator.maxTouchPoints > 0;
  function showPads(on) {
    if (on === touchMode && document.body.classList.contains("touch") === on) return;
    touchMode = on;
    if (!on) releaseAll();
    document.body.classList.toggle("touch", on);
    update();
  }
  // At the end of the touch, so that the picture does not move under the finger mid-tap.
  document.addEventListener("pointerup", (e) => { if (e.pointerType === "touch") showPads(true); }, true);
  document.addEventListener("keydown", (e) => { if (e.isTrusted) showPads(false); }, true);
  window.addEventListener("gamepadconnected", () => showPads(false));

  // --- Buttons: each holds its key while a finger (or the mouse) is on it. Pointer capture keeps a
  // finger's key held when it slides off, until it lifts.
  function pressable(element, keyAt) {
    const fingers = new Map();  // pointer id -> key it holds
    element.addEventListener("pointerdown", (e) => {
      e.preventDefault();  // no focus taken from the game, no text selection
      element.setPointerCapture(e.pointerId);
      const key = keyAt(e);
      fingers.set(e.pointerId, key);
      element.classList.add("down");
      hold(key, e.pointerId);
    });
    // The steering pad: a finger sliding across its middle changes direction without lifting.
    element.addEventListener("pointermove", (e) => {
      if (!fingers.has(e.pointerId)) return;
      const key = keyAt(e), before = fingers.get(e.pointerId);
      if (key === before) return;
      hold(key, e.pointerId);
      release(before, e.pointerId);
      fingers.set(e.pointerId, key);
      markSteering();
    });
    const lift = (e) => {
      if (!fingers.has(e.pointerId)) return;
      release(fingers.get(e.pointerId), e.pointerId);
      fingers.delete(e.pointerId);
      if (fingers.size === 0) element.classList.remove("down");
      markSteering();
    };
    for (const type of ["pointerup", "pointercancel", "lostpointercapture"]) element.addEventListener(type, lift);
    element.addEventListener("contextmenu", (e) => e.preventDefault());
  }
  for (const button of document.querySelectorAll(".pad button[data-key]:not(.steer)")) {
    const key = Number(button.dataset.key);
    pressable(button, () => key);
  }
  const steer = $("steer");
  const [steerLeft, steerRight] = steer.querySelectorAll(".steer");
  pressable(steer, (e) => {
    const r = steer.getBoundingClientRect();
    return e.clientX < r.left + r.width / 2 ? Number(steerLeft.dataset.key) : Number(steerRight.dataset.key);
  });
  function markSteering() {
    steerLeft.classList.toggle("down", held(Number(steerLeft.dataset.key)));
    steerRight.classList.toggle("down", held(Number(steerRight.dataset.key)));
  }

  // --- The game's state as the page needs it: screen * 100 + overlay (-1 before the start).
  // (The program's functions exist before it has started; they may be called only once it has.)
  const mode = () => (window.kestruneReady ? Module._kestrune_shell_mode() : -1);
  const RACE = 7, NAME_ENTRY = 8;
  function racing(m) {
    return Math.floor(m / 100) === RACE && m % 100 !== NAME_ENTRY;
  }

  // --- Portrait: a phone held upright cannot show the picture beside its pads.
  const portrait = matchMedia("(orientation: portrait)");
  let settingsOpen = false;
  const turned = () => touchMode && portrait.matches;
  page.away = () => turned() || settingsOpen;

  // --- Settings: kept in the save folder, which the game writes back to the browser's storage.
  let settingsLoaded = false;
  function loadSettings() {
    try {
      const text = FS.readFile(SETTINGS_FILE, { encoding: "utf8" });
      for (const line of text.split("\n")) {
        const [name, value] = line.trim().split(/\s+/);
        if (name === "pads" && ["small", "medium", "large"].includes(value)) settings.pads = value;
        if (name === "hand" && ["left", "right"].includes(value)) settings.hand = value;
        if (name === "accelerate" && ["hold", "auto"].includes(value)) settings.accelerate = value;
      }
    } catch (e) {
      // No file yet: the defaults.
    }
    settingsLoaded = true;
    applySettings();
  }
  function saveSettings() {
    try {
      FS.writeFile(SETTINGS_FILE, `pads ${settings.pads}\nhand ${settings.hand}\naccelerate ${settings.accelerate}\n`);
    } catch (e) {
      console.warn("Kestrune: the touch settings could not be saved: " + e);
    }
  }
  function applySettings() {
    document.body.dataset.pads = settings.pads;
    document.body.classList.toggle("left-handed", settings.hand === "left");
    $("pad-size").value = settings.pads;
    $("left-handed").checked = settings.hand === "left";
    $("auto-accelerate").checked = settings.accelerate === "auto";
  }
  function openSettings(open) {
    settingsOpen = open;
    $("touch-settings").hidden = !open;
    if (open) releaseAll();
    update();
  }
  $("touch-settings-open").addEventListener("click", () => openSettings(true));
  $("touch-settings-close").addEventListener("click", () => { openSettings(false); canvas.focus(); });
  $("pad-size").addEventListener("change", (e) => { settings.pads = e.target.value; applySettings(); saveSettings(); });
  $("left-handed").addEventListener("change", (e) => {
    settings.hand = e.target.checked ? "left" : "right";
    applySettings();
    saveSettings();
  });
  $("auto-accelerate").addEventListener("change", (e) => {
    settings.accelerate = e.target.checked ? "auto" : "hold";
    applySettings();
    saveSettings();
  });
  // --- Once a frame: the portrait message, auto-accelerate, the settings once the saves are read.
  let wasAway = false;
  function update() {
    const m = mode();
    if (!settingsLoaded && m >= 0) loadSettings();
    $("turn").hidden = !turned();
    const isAway = page.away();
    if (isAway !== wasAway) {
      wasAway = isAway;
      if (isAway) releaseAll();
      if (page.awayChanged) page.awayChanged();
    }
    // Auto-accelerate holds the accelerator in a race unless the brake is held: it only presses
    // the key a player would, so a recording made with it replays the same.
    const auto = touchMode && !isAway && settings.accelerate === "auto" && racing(m) && !held(KEY_DOWN);
    if (auto) hold(KEY_UP, "auto");
    else release(KEY_UP, "auto");
  }
  function tick() {
    update();
    requestAnimationFrame(tick);
  }
  portrait.addEventListener("change", update);
  document.body.classList.toggle("touch", touchMode);
  applySettings();
  requestAnimationFrame(tick);

  window.kestruneTouch = { showPads, get shown() { return touchMode; }, mode, releaseAll };
})();
