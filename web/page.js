// The page around the game: checks what the browser offers, downloads the program and the data
// with a progress bar, says clearly what went wrong, and stands in for the desktop's windows:
// full screen, the goodbye window as an overlay, message boxes and the page shown at the end.
"use strict";
(function () {
  const $ = (id) => document.getElementById(id);
  const stage = $("stage"), canvas = $("canvas");
  const params = new URLSearchParams(location.search);
  let failed = false;

  function problem(text) {
    failed = true;
    $("loading").hidden = true;
    $("problem-text").textContent = text;
    $("problem").hidden = false;
    console.error("Kestrune: " + text);
  }

  // Progress: the program's bytes and the data's bytes together.
  const progress = { wasm: [0, 0], data: [0, 0] };
  function showProgress() {
    const done = progress.wasm[0] + progress.data[0], total = progress.wasm[1] + progress.data[1];
    if (total > 0) $("progress").value = done / total;
    if (total > 0) $("status").textContent =
      "Loading Kestrune\u2026 " + (done / 1048576).toFixed(1) + " of " + (total / 1048576).toFixed(1) + " MB";
  }

  // Full screen where the browser has it (Safari on an iPhone has none for pages: its buttons are
  // hidden rather than offered to fail). On a phone, full screen also holds the picture sideways.
  const fullScreenElement = () => document.fullscreenElement || document.webkitFullscreenElement || null;
  const fullScreenAvailable = !!(document.fullscreenEnabled || document.webkitFullscreenEnabled);
  function setFullScreen(on) {
    try {
      if (on && !fullScreenElement()) {
        const request = stage.requestFullscreen ? stage.requestFullscreen() : stage.webkitRequestFullscreen();
        Promise.resolve(request).then(() => {
          if (screen.orientation && screen.orientation.lock && matchMedia("(pointer: coarse)").matches)
            screen.orientation.lock("landscape").catch(() => {});
        }).catch(() => {});
      } else if (!on && fullScreenElement()) {
        Promise.resolve(document.exitFullscreen ? document.exitFullscreen() : document.webkitExitFullscreen()).catch(() => {});
      }
      return true;
    } catch (e) {
      return false;
    }
  }
  for (const button of document.querySelectorAll(".full-screen")) {
    if (!fullScreenAvailable) button.hidden = true;
    button.addEventListener("click", () => { setFullScreen(true); canvas.focus(); });
  }

  // The goodbye window: its picture in a canvas over the game, its mouse handed back to it.
  const goodbye = $("goodbye");
  function overlayScale() { return canvas.getBoundingClientRect().width / canvas.width; }
  function overlayPoint(e) {
    const r = goodbye.getBoundingClientRect();
    return [Math.floor((e.clientX - r.left) * goodbye.width / r.width),
            Math.floor((e.clientY - r.top) * goodbye.height / r.height)];
  }
  goodbye.addEventListener("mousemove", (e) => {
    const [x, y] = overlayPoint(e);
    Module._kestrune_overlay_event(0, x, y, 1);
  });
  goodbye.addEventListener("click", (e) => {
    const [x, y] = overlayPoint(e);
    Module._kestrune_overlay_event(1, x, y, Math.max(1, e.detail));
  });

  const page = {
    setFullScreen,
    message(title, text) {
      $("message-title").textContent = title;
      $("message-text").textContent = text;
      $("message").hidden = false;
    },
    isFullScreen: () => !!fullScreenElement(),
    openOverlay(title, width, height) {
      goodbye.width = width;
      goodbye.height = height;
      goodbye.title = title;
      const s = overlayScale();
      goodbye.style.width = width * s + "px";
      goodbye.style.height = height * s + "px";
      $("overlay").hidden = false;
      return true;
    },
    drawOverlay(rgba, width, height) {
      goodbye.getContext("2d").putImageData(new ImageData(new Uint8ClampedArray(rgba), width, height), 0, 0);
    },
    closeOverlay() { $("overlay").hidden = true; },
    persisted(ok) { window.kestruneSaves = (window.kestruneSaves || 0) + (ok ? 1 : 0); },
    ended(code) {
      $("overlay").hidden = true;
      if (code !== 0) $("thanks-text").textContent =
        "The game ended with an error (see the message shown before). Your saved files are kept.";
      $("thanks").hidden = false;
      window.kestruneEnded = code;
    },
  };
  $("message-ok").addEventListener("click", () => { $("message").hidden = true; canvas.focus(); });
  $("play-again").addEventListener("click", () => location.reload());

  // What the game needs from the browser, said before anything is downloaded.
  if (typeof WebAssembly !== "object" || typeof WebAssembly.instantiate !== "function") {
    problem("This browser cannot run WebAssembly, which the game is made of. " +
            "A current Firefox, Chromium, Chrome, Edge or Safari can.");
    return;
  }
  if (typeof DecompressionStream !== "function") {
    problem("This browser cannot unpack the game's downloads (it lacks DecompressionStream). " +
            "A current Firefox, Chromium, Chrome, Edge or Safari can.");
    return;
  }
  const probe = document.createElement("canvas");
  if (!(probe.getContext("webgl2") || probe.getContext("webgl"))) {
    problem("This browser offers no WebGL, which the game draws with. " +
            "Turn on hardware acceleration (or WebGL) in the browser's settings, or try another browser.");
    return;
  }

  window.onerror = (message) => {
    if (!failed) problem("The game stopped: " + message);
  };

  window.Module = {
    canvas,
    kestrunePage: page,
    // The browser tests run replays only: no game starts.
    kestruneReplayOnly: params.has("replay"),
    // ?record: the session is recorded as a replay script (Module._kestrune_stop_recording).
    kestruneRecord: params.has("record"),
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    monitorRunDependencies(left) {
      if (left === 0 && !failed) { $("loading").hidden = true; canvas.focus(); }
    },
    onAbort(what) { problem("The game stopped: " + what); },
    onRuntimeInitialized() { window.kestruneReady = true; },
    locateFile: (path) => path,
  };

  // The program and the data package, downloaded together (gzipped: see download.js) with
  // their progress and a clear message when one fails; the package's loader in kestrune.js takes
  // the data from here instead of downloading it itself.
  const part = (name, what, key) => kestruneDownload(name, (done, total) => {
    progress[key] = [done, total];
    showProgress();
  }).catch((error) => {
    throw new Error("The game's " + what + " (" + name + ") could not be downloaded (" + error.message + ")");
  });
  Promise.all([part("kestrune.wasm.gz", "program", "wasm"), part("kestrune.data.gz", "data", "data")]).then(([program, data]) => {
    Module.wasmBinary = program;
    Module.getPreloadedPackage = () => data;
    const script = document.createElement("script");
    script.src = "kestrune.js";
    script.onerror = () => problem("The game's program (kestrune.js) could not be downloaded. Check the connection and reload.");
    document.body.appendChild(script);
  }).catch((error) => problem(error.message + ". Check the connection and reload the page."));

  // A tab in the background gets no frames, and a phone held upright shows its message: the game
  // pauses, and its sound, which the browser plays on its own, is held too until it comes back.
  const audioContext = () => (window.Module && Module.SDL2 && Module.SDL2.audioContext) || null;
  let away = false;
  function holdSound() {
    const nowAway = document.hidden || !!(page.away && page.away());
    if (nowAway === away) return;
    away = nowAway;
    const audio = audioContext();
    if (!audio) return;
    if (away) audio.suspend();
    else audio.resume();
  }
  page.awayChanged = holdSound;
  document.addEventListener("visibilitychange", holdSound);

  // Browsers start sound only in answer to a gesture, and phones count a tap's end (pointerup,
  // touchend, click), not its start. Each of these resumes the sound until it runs, and again
  // after the browser suspended it (a call, a locked screen).
  function resumeSound() {
    const audio = audioContext();
    if (audio && audio.state !== "running" && !away) audio.resume().catch(() => {});
  }
  for (const type of ["pointerup", "touchend", "click", "keydown"])
    document.addEventListener(type, resumeSound, true);

  // Closing the tab saves the game as leaving it does.
  window.addEventListener("pagehide", () => {
    if (window.Module && Module._kestrune_page_closing) Module._kestrune_page_closing();
  });

  // Keys typed on the page go to the game.
  document.addEventListener("keydown", (e) => { if (document.activeElement !== canvas) canvas.focus(); }, true);
})();
