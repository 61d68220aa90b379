// The player's progress beyond the browser's storage: asks the browser to keep the site's storage
// (some browsers clear it after weeks without a visit otherwise), and offers to save the progress
// (the options, the high-score table, the goodbye window's switch) to a file and to load it
// back, in this browser or another.
//
// A progress file is JSON: { "kestrune": "progress", "version": 1, "files": { NAME: BASE64 } },
// NAME one of the save folder's files. Loading one ends the running game (which saves as leaving
// does), writes the files in its place, stores them in the browser and reloads the page, which
// starts with them.
"use strict";
(function () {
  const FOLDER = "/save";
  const NAMES = ["options", "hs", "form"];
  const $ = (id) => document.getElementById(id);
  if (new URLSearchParams(location.search).has("replay")) return;

  const running = () => window.Module && Module.FS && Module._kestrune_write_saves_now;
  const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
  async function savesWritten() {
    for (let i = 0; i < 200 && Module.kestruneSaving; ++i) await sleep(50);
  }
  function say(title, text) {
    if (Module.kestrunePage) Module.kestrunePage.message(title, text);
  }
  const toBase64 = (bytes) => btoa(Array.from(bytes, (b) => String.fromCharCode(b)).join(""));
  const fromBase64 = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));

  async function saveToFile() {
    if (!running()) return;
    // The session's progress as leaving the game would save it; the game goes on.
    if (window.kestruneEnded === undefined) Module._kestrune_write_saves_now();
    await savesWritten();
    const files = {};
    for (const name of NAMES) {
      try {
        files[name] = toBase64(Module.FS.readFile(FOLDER + "/" + name));
      } catch (e) {
        // Not saved yet (a first visit): the game's defaults.
      }
    }
    const blob = new Blob([JSON.stringify({ kestrune: "progress", version: 1, files }, null, 1)],
                          { type: "application/json" });
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = "kestrune-progress.json";
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  }

  function readProgress(text) {
    const progress = JSON.parse(text);
    if (!progress || progress.kestrune !== "progress" || progress.version !== 1 || typeof progress.files !== "object") {
      throw new Error("it is not a Kestrune progress file");
    }
    const files = {};
    for (const [name, data] of Object.entries(progress.files)) {
      if (!NAMES.includes(name) || typeof data !== "string") throw new Error(`it holds an unknown file "${name}"`);
      files[name] = fromBase64(data);
    }
    return files;
  }

  async function loadFromFile(file) {
    if (!running()) return;
    let files;
    try {
      files = readProgress(await file.text());
    } catch (e) {
      say("Load progress", `${file.name} could not be loaded: ${e.message}. Your progress is unchanged.`);
      return;
    }
    // The running game saves as leaving it does first, so that nothing of it lands later over
    // the loaded files.
    if (Module._kestrune_page_closing) Module._kestrune_page_closing();
    await savesWritten();
    for (const name of NAMES) {
      const path = FOLDER + "/" + name;
      if (files[name]) Module.FS.writeFile(path, files[name]);
      else if (Module.FS.analyzePath(path).exists) Module.FS.unlink(path);
    }
    Module.FS.syncfs(false, (error) => {
      if (error) console.error("Kestrune: the loaded progress could not be stored in the browser: " + error);
      location.reload();
    });
  }

  // The two buttons, beside the page's other buttons.
  const input = document.createElement("input");
  input.type = "file";
  input.id = "progress-file";
  input.accept = ".json,application/json";
  input.hidden = true;
  input.addEventListener("change", () => {
    if (input.files.length > 0) loadFromFile(input.files[0]);
    input.value = "";
  });
  const button = (id, text, title, action) => {
    const b = document.createElement("button");
    b.id = id;
    b.textContent = text;
    b.title = title;
    b.addEventListener("click", action);
    return b;
  };
  const bar = $("bar");
  bar.insertBefore(input, bar.children[1] || null);
  bar.insertBefore(button("save-progress", "Save my progress to a file", "The options and the high-score table, to keep or to play on in another browser",
                          () => saveToFile().then(() => $("canvas").focus())), input);
  bar.insertBefore(button("load-progress", "Load progress from a file", "A file saved before replaces the progress in this browser (the game restarts)",
                          () => input.click()), input);

  // Once the game runs: the browser is asked to keep the saves.
  const start = setInterval(() => {
    if (!window.kestruneReady) return;
    clearInterval(start);
    if (navigator.storage && navigator.storage.persist) {
      navigator.storage.persist().then((kept) => { window.kestruneStorageKept = kept; }, () => {});
    }
  }, 200);
})();
