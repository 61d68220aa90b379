// Makes the page an app that installs and plays offline: registers the service worker (sw.js),
// which keeps the whole build in the browser's cache, and, when a newer build has been installed
// beside the running one, says so at a calm moment (outside a race) and offers a restart. The
// page never reloads by itself.
// For the tests: window.kestruneOffline.state is "off" (no service workers here), "waiting" (for
// the game to start), "registering", "ready" (this build is cached and serves the page) or
// "update" (a newer build is cached and waits for a restart); .version is the serving build's.
"use strict";
(function () {
  const offline = (window.kestruneOffline = { state: "off", version: "" });
  // The browser tests' replay pages run no game; they stay out of the way.
  if (!("serviceWorker" in navigator) || new URLSearchParams(location.search).has("replay")) return;
  offline.state = "waiting";

  const gameState = () => {
    try {
      return JSON.parse(Module.UTF8ToString(Module._kestrune_game_state()));
    } catch (e) {
      return null;
    }
  };
  // Calm: a menu screen with no question open, or the game has ended. Never in a race.
  const calm = () => {
    if (window.kestruneEnded !== undefined) return true;
    const s = gameState();
    return s !== null && s.Screen >= 1 && s.Screen <= 6 && s.Overlay === 0;
  };

  function askVersion() {
    const worker = navigator.serviceWorker.controller;
    if (worker) worker.postMessage({ type: "version" });
  }
  navigator.serviceWorker.addEventListener("message", (event) => {
    if (event.data && event.data.type === "version") offline.version = event.data.version;
  });

  // The notice: a small bar over the top of the game, shown only while the game is calm.
  let notice = null, waiting = null, dismissed = false, restarting = false;
  function buildNotice() {
    notice = document.createElement("div");
    notice.id = "update";
    notice.hidden = true;
    notice.innerHTML = '<span>A new version of Kestrune is ready.</span>' +
      '<button id="update-restart">Restart now</button><button id="update-later">Later</button>';
    document.getElementById("stage").appendChild(notice);
    document.getElementById("update-later").addEventListener("click", () => {
      dismissed = true;
      notice.hidden = true;
      document.getElementById("canvas").focus();
    });
    document.getElementById("update-restart").addEventListener("click", restart);
  }
  setInterval(() => {
    if (notice && waiting && !restarting) notice.hidden = dismissed || !calm();
  }, 500);

  function updateReady(worker) {
    waiting = worker;
    offline.state = "update";
    if (!notice) buildNotice();
  }

  // Saves the game as leaving it does, waits for the save to reach the browser's storage, then
  // lets the new build take over and loads it.
  async function restart() {
    restarting = true;
    notice.hidden = true;
    if (window.Module && Module._kestrune_page_closing) Module._kestrune_page_closing();
    for (let i = 0; i < 100 && window.Module && Module.kestruneSaving; ++i) await new Promise((r) => setTimeout(r, 50));
    navigator.serviceWorker.addEventListener("controllerchange", () => location.reload());
    if (waiting.state === "installed") waiting.postMessage({ type: "take-over" });
    else location.reload();
  }

  async function register() {
    offline.state = "registering";
    const registration = await navigator.serviceWorker.register("sw.js");
    const watch = (worker) => worker && worker.addEventListener("statechange", () => {
      if (worker.state === "installed" && navigator.serviceWorker.controller) updateReady(worker);
    });
    if (registration.waiting && navigator.serviceWorker.controller) updateReady(registration.waiting);
    watch(registration.installing);
    registration.addEventListener("updatefound", () => watch(registration.installing));
    // A page that stays open for hours still hears of new builds.
    setInterval(() => registration.update().catch(() => {}), 30 * 60 * 1000);
    await navigator.serviceWorker.ready;
    if (!navigator.serviceWorker.controller) {
      await new Promise((r) => navigator.serviceWorker.addEventListener("controllerchange", r, { once: true }));
    }
    askVersion();
    if (offline.state === "registering") offline.state = "ready";
  }

  // The worker's download of the whole site waits until the game runs, so that it does not
  // compete with the page's own downloads.
  const start = setInterval(() => {
    if (!window.kestruneReady) return;
    clearInterval(start);
    register().catch((e) => {
      offline.state = "failed";
      console.warn("Kestrune: offline play is not available: " + e.message);
    });
  }, 200);
})();
