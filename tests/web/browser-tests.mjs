// The browser build in a real browser: Debian's headless Chromium driven through puppeteer-core
// (no browser download). One check per run, named on the command line:
//   node tests/web/browser-tests.mjs CHECK --site build-web/site --build build
// CHECK: intro | frame | keys | hidden | links | fullscreen | replay | options | problems | install |
// offline | update | progress | phone-race | phone-name | ... (the phone's checks are in
// phone-checks.mjs). --build is the native build folder (its
// kestrune-replay and Data/ give the native frames and summaries to compare with).
// Exits 77 (CTest's skip) with a line saying why when Chromium, puppeteer-core or the site is
// missing.
import { createRequire } from "node:module";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import { phoneChecks } from "./phone-checks.mjs";
import { fileURLToPath } from "node:url";

const SKIP = 77;
const args = process.argv.slice(2);
const check = args[0];
const option = (name, fallback) => {
  const i = args.indexOf(name);
  return i >= 0 ? args[i + 1] : fallback;
};
const site = path.resolve(option("--site", "build-web/site"));
const build = path.resolve(option("--build", "build"));
const chromium = process.env.CHROMIUM || "/usr/bin/chromium";
const cache = process.env.KESTRUNE_WEB_CACHE ||
  path.join(process.env.XDG_CACHE_HOME || path.join(os.homedir(), ".cache"), "kestrune-web");

// KESTRUNE_WEB_REQUIRED=1 (CI, after building the site): what would be a skip is a failure.
function skip(why) {
  if (process.env.KESTRUNE_WEB_REQUIRED === "1") {
    console.log(`FAIL: ${why}`);
    process.exit(1);
  }
  console.log(`SKIPPED: ${why}`);
  process.exit(SKIP);
}
if (!fs.existsSync(chromium)) skip(`no Chromium at ${chromium} (apt-get install chromium)`);
if (!fs.existsSync(path.join(site, "kestrune.js"))) skip(`no web build in ${site} (run bash scripts/web.sh)`);
let puppeteer;
try {
  puppeteer = createRequire(path.join(cache, "node", "package.json"))("puppeteer-core");
} catch (e) {
  skip(`puppeteer-core is not installed in ${path.join(cache, "node")} (scripts/web.sh installs it)`);
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
// How long a check waits for something to happen before it fails: long, since these are checks
// of what happens, not of how fast (a loaded machine may take many times the usual time; the
// speed targets are measured by bench/web/web-bench.mjs).
const PATIENCE_MS = 120000;
const fail = (message) => {
  throw new Error(message);
};

// The site from a small static server of our own, on a free port. server.root may be changed
// to serve another build from the same address.
const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm",
                ".data": "application/octet-stream", ".md": "text/plain", ".png": "image/png",
                ".webmanifest": "application/manifest+json" };
function serve(folder) {
  const server = http.createServer((req, res) => {
    const root = server.root;
    const name = decodeURIComponent(new URL(req.url, "http://x").pathname);
    const file = path.join(root, name.endsWith("/") ? name + "index.html" : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream",
                         "Content-Length": fs.statSync(file).size });
    fs.createReadStream(file).pipe(res);
  });
  server.root = folder;
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

// Runs kestrune-replay natively on a script; returns its summary (parsed).
function nativeReplay(script, extra = []) {
  const tool = path.join(build, "kestrune-replay");
  if (!fs.existsSync(tool)) fail(`no native ${tool} to compare with`);
  const file = path.join(os.tmpdir(), `kestrune-web-${process.pid}.txt`);
  fs.writeFileSync(file, script);
  try {
    return JSON.parse(execFileSync(tool, [file, ...extra], { cwd: build, encoding: "utf8" }));
  } finally {
    fs.rmSync(file, { force: true });
  }
}

const server = await serve(site);
const base = `http://127.0.0.1:${server.address().port}/`;
const profile = fs.mkdtempSync(path.join(os.tmpdir(), "kestrune-chromium-"));
const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  userDataDir: profile,
  timeout: PATIENCE_MS,
  // WebGL without a GPU; sound without a click (the tests press keys, but not first), except on
  // the phone, whose browser holds sound until a tap.
  args: ["--no-sandbox", "--enable-unsafe-swiftshader", "--use-angle=swiftshader",
         check && check.startsWith("phone-") ? "--autoplay-policy=user-gesture-required"
                                             : "--autoplay-policy=no-user-gesture-required",
         "--window-size=1000,800"],
});
const problems = [];
async function open(query = "", where = browser) {
  const page = await where.newPage();
  page.setDefaultTimeout(PATIENCE_MS);
  page.setDefaultNavigationTimeout(PATIENCE_MS);
  await page.setViewport({ width: 1000, height: 800, deviceScaleFactor: 1 });
  page.on("console", (m) => { if (m.type() === "error") problems.push(`console error: ${m.text()}`); });
  page.on("pageerror", (e) => problems.push(`page error: ${e.message}`));
  page.on("requestfailed", (r) => problems.push(`request failed: ${r.url()} ${r.failure()?.errorText}`));
  page.on("response", (r) => { if (r.status() >= 400) problems.push(`HTTP ${r.status()}: ${r.url()}`); });
  await page.goto(base + query, { waitUntil: "load" });
  return page;
}
const state = (page) => page.evaluate(() =>
  window.Module && Module._kestrune_game_state ? JSON.parse(Module.UTF8ToString(Module._kestrune_game_state())) : null);
async function waitForState(page, test, what, timeoutMs = PATIENCE_MS) {
  const end = Date.now() + timeoutMs;
  let last = null;
  while (Date.now() < end) {
    last = await state(page).catch(() => null);
    if (last && test(last)) return last;
    await sleep(50);
  }
  await shot(page, "failed.png");
  fail(`${what} did not happen within ${timeoutMs / 1000} s; the state: ${JSON.stringify(last)}`);
}
// The canvas shown at the picture's own size, so that page points are picture pixels.
const showCanvasAtOwnSize = (page) => page.evaluate(() => {
  const c = document.getElementById("canvas");
  c.style.width = "800px";
  c.style.height = "600px";
});
// With KESTRUNE_WEB_SHOTS naming a folder, pictures of the page at the checks' main steps.
const shot = async (page, name) => {
  if (process.env.KESTRUNE_WEB_SHOTS) await page.screenshot({ path: path.join(process.env.KESTRUNE_WEB_SHOTS, name) });
};
async function waitForPage(page, condition, what, timeoutMs = PATIENCE_MS) {
  try {
    await page.waitForFunction(condition, { timeout: timeoutMs });
  } catch (e) {
    await shot(page, "failed.png");
    fail(`${what} did not happen within ${timeoutMs / 1000} s`);
  }
}
const press = async (page, key, holdMs = 60) => {
  await page.keyboard.down(key);
  await sleep(holdMs);
  await page.keyboard.up(key);
  await sleep(120);
};
// Does something (a key press, a click) until the state shows it took effect, as a player
// would: a menu ignores choices while it is still fading in, longer on a slow machine.
async function until(page, action, test, what) {
  let last = null, tries = 0;
  const end = Date.now() + PATIENCE_MS;
  while (Date.now() < end) {
    await action();
    ++tries;
    const next = Math.min(end, Date.now() + 1500);
    while (Date.now() < next) {
      last = await state(page).catch(() => null);
      if (last && test(last)) return last;
      await sleep(50);
    }
  }
  fail(`${what} did not happen after ${tries} tries in ${PATIENCE_MS / 1000} s; the state: ${JSON.stringify(last)}`);
}

// The same for a condition on the page (a script expression) rather than the game's state.
async function untilPage(page, action, condition, what) {
  let tries = 0;
  const end = Date.now() + PATIENCE_MS;
  while (Date.now() < end) {
    await action();
    ++tries;
    const ok = await page.waitForFunction(condition, { timeout: Math.max(1, Math.min(3000, end - Date.now())) })
      .then(() => true, () => false);
    if (ok) return;
  }
  fail(`${what} did not happen after ${tries} tries in ${PATIENCE_MS / 1000} s`);
}

// The canvas as 16-bit pixels (each channel's top 5/6/5 bits: the back surface's own values,
// whatever the display widened them to), shown 1:1 on the page.
async function canvasPixels(page) {
  await showCanvasAtOwnSize(page);
  await sleep(200);
  const box = await (await page.$("#canvas")).boundingBox();
  const png = await page.screenshot({ clip: { x: Math.round(box.x), y: Math.round(box.y), width: 800, height: 600 },
                                      encoding: "base64" });
  return decode565(page, png);
}
// A PNG (base64) decoded by the browser itself into 16-bit pixel values.
function decode565(page, base64) {
  return page.evaluate(async (b64) => {
    const img = new Image();
    img.src = "data:image/png;base64," + b64;
    await img.decode();
    const c = document.createElement("canvas");
    c.width = img.width;
    c.height = img.height;
    const ctx = c.getContext("2d");
    ctx.drawImage(img, 0, 0);
    const d = ctx.getImageData(0, 0, c.width, c.height).data;
    const out = [];
    for (let i = 0; i < d.length; i += 4) out.push(((d[i] >> 3) << 11) | ((d[i + 1] >> 2) << 5) | (d[i + 2] >> 3));
    return { width: c.width, height: c.height, pixels: out };
  }, base64);
}

// Offline play (web/offline.js): waits for the page's state and returns the build it runs.
async function waitForOffline(page, wanted) {
  await waitForPage(page, `window.kestruneOffline && kestruneOffline.state === "${wanted}" && kestruneOffline.version !== ""`,
                    `offline play "${wanted}"`);
  return page.evaluate(() => window.kestruneOffline.version);
}
// Has the browser look for a new build now and returns, once any install has ended, whether a
// new build waits and which caches there are.
function lookForUpdate(page) {
  return page.evaluate(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    await registration.update().catch(() => {});
    while (registration.installing) await new Promise((r) => setTimeout(r, 100));
    return { waiting: Boolean(registration.waiting), caches: await caches.keys() };
  });
}
const workerScript = path.join(path.dirname(fileURLToPath(import.meta.url)), "..", "..", "scripts", "web-worker.mjs");

// From the intro to the options screen, where a click on the sound row switches the sound, and
// back to the main menu; returns the state before and after the switch.
async function switchTheSound(page) {
  const before = await waitForState(page, (s) => s.Screen === 1, "the intro screen");
  await until(page, () => press(page, "Escape"), (s) => s.Screen === 2, "the main menu");
  await showCanvasAtOwnSize(page);
  const box = await (await page.$("#canvas")).boundingBox();
  const at = (x, y) => page.mouse.click(box.x + x, box.y + y);
  await until(page, () => at(56 + 60, 342 + 25), (s) => s.Screen === 4, "the options screen");  // Options
  const changed = await until(page, () => at(118 + 100, 375 + 25), (s) => s.SoundOn !== before.SoundOn,
                              "the sound switched");  // the sound row
  await until(page, () => press(page, "Escape"), (s) => s.Screen === 2, "the main menu again");
  return { before, changed };
}

const checks = {
  // What the page says when the browser lacks WebGL or a download fails: a message, not a blank
  // page (these runs expect their errors, so the page's reports are not held against them).
  async problems() {
    const cases = [
      { what: "the program failing to download", block: /kestrune\.wasm\.gz$/, says: /program \(kestrune\.wasm\.gz\) could not be downloaded/ },
      { what: "the data failing to download", block: /kestrune\.data\.gz$/, says: /data \(kestrune\.data\.gz\) could not be downloaded/ },
      { what: "no WebGL", flags: ["--disable-3d-apis"], says: /WebGL/ },
    ];
    for (const c of cases) {
      const other = c.flags ? await puppeteer.launch({ executablePath: chromium, headless: true, timeout: PATIENCE_MS,
                                                       args: ["--no-sandbox", ...c.flags] }) : browser;
      const page = await other.newPage();
      page.setDefaultTimeout(PATIENCE_MS);
      page.setDefaultNavigationTimeout(PATIENCE_MS);
      if (c.block) {
        await page.setRequestInterception(true);
        page.on("request", (r) => (c.block.test(r.url()) ? r.abort() : r.continue()));
      }
      await page.goto(base, { waitUntil: "load" });
      await page.waitForFunction("!document.getElementById('problem').hidden", { timeout: PATIENCE_MS })
        .catch(() => fail(`no message for ${c.what}`));
      const text = await page.$eval("#problem", (e) => e.textContent);
      if (!c.says.test(text)) fail(`the message for ${c.what} does not say what failed: ${text}`);
      console.log(`${c.what}: ${text}`);
      if (other !== browser) await other.close();
      else await page.close();
    }
    problems.length = 0;
  },


  // The page loads without errors and shows the intro screen (how soon is measured by
  // bench/web/web-bench.mjs).
  async intro() {
    const start = Date.now();
    const page = await open();
    await waitForState(page, (s) => s.Screen === 1, "the intro screen");
    await sleep(500);
    console.log(`intro shown ${Date.now() - start} ms after the request`);
  },

  // The intro as the page shows it equals the native headless frame of the same screen.
  async frame() {
    const page = await open();
    await waitForState(page, (s) => s.Screen === 1, "the intro screen");
    const file = path.join(os.tmpdir(), `kestrune-web-intro-${process.pid}.png`);
    nativeReplay("frames 240\n", ["--screenshot", `240:${file}`]);
    const native = await decode565(page, fs.readFileSync(file).toString("base64"));
    fs.rmSync(file, { force: true });
    if (native.width !== 800 || native.height !== 600) fail(`native frame is ${native.width} x ${native.height}`);
    // The screen fades in first (longer on a slow machine): looked at until it has settled.
    let differing = 0, first = -1, shown = null;
    for (const end = Date.now() + PATIENCE_MS; Date.now() < end;) {
      await sleep(1500);
      shown = await canvasPixels(page);
      differing = 0;
      first = -1;
      for (let i = 0; i < native.pixels.length; ++i) {
        if (native.pixels[i] !== shown.pixels[i]) {
          if (first < 0) first = i;
          ++differing;
        }
      }
      if (differing === 0) break;
    }
    if (differing > 0) {
      fail(`${differing} pixels differ from the native frame, the first at (${first % 800}, ${Math.floor(first / 800)}): ` +
           `page ${shown.pixels[first].toString(16)}, native ${native.pixels[first].toString(16)}`);
    }
    console.log("the canvas equals the native frame of the intro screen");
  },

  // Keys typed into the page leave the intro, choose a car, start a race that then runs.
  async keys() {
    const page = await open();
    await waitForState(page, (s) => s.Screen === 1, "the intro screen");
    await until(page, () => press(page, "Escape"), (s) => s.Screen === 2, "the main menu after Esc");
    await until(page, () => press(page, "Enter"), (s) => s.Screen === 3, "the car choice after Enter");
    const race = await until(page, () => press(page, "Enter"), (s) => s.Screen === 7, "the race after Start");
    await page.keyboard.down("ArrowUp");
    const moving = await waitForState(page, (s) => s.Screen === 7 && s.Speed > 0 && s.MapRowOffset !== race.MapRowOffset,
                                      "the car driving on while Up is held");
    await page.keyboard.up("ArrowUp");
    console.log(`race level ${moving.Level}: speed ${moving.Speed}, road row ${race.MapRowOffset} -> ${moving.MapRowOffset}`);
  },

  // A tab in the background pauses the race as a window without focus does: its time left does
  // not run down meanwhile.
  async hidden() {
    const page = await open();
    await waitForState(page, (s) => s.Screen === 1, "the intro screen");
    await until(page, () => press(page, "Escape"), (s) => s.Screen === 2, "the main menu");
    await until(page, () => press(page, "Enter"), (s) => s.Screen === 3, "the car choice");
    await until(page, () => press(page, "Enter"), (s) => s.Screen === 7, "the race");
    await waitForState(page, (s) => s.Overlay === 0 && s.TimeLeft > 0, "the race running");
    const other = await browser.newPage();
    await other.bringToFront();
    await waitForPage(page, "document.hidden", "the tab going to the background");
    // The time left once the tab is hidden, and again after 4 s still hidden: no frame of the race
    // runs meanwhile (a frame already under way when the tab went may still end).
    const before = await state(page);
    await waitForPage(page, "!(Module.SDL2 && Module.SDL2.audioContext && Module.SDL2.audioContext.state === 'running')",
                      "the sound stopping in the background");
    await sleep(4000);
    const during = await state(page);
    const sound = await page.evaluate(() => (Module.SDL2 && Module.SDL2.audioContext ? Module.SDL2.audioContext.state : "none"));
    if (sound === "running") fail("the sound went on playing in the background");
    const spent = before.TimeLeft - during.TimeLeft;
    const aFrame = Math.max(before.FrameTimeMs, during.FrameTimeMs);
    if (spent > aFrame) {
      fail(`the race ran on in the background: ${spent} ms of its time went in 4 s (a frame is ${aFrame} ms): ${JSON.stringify(during)}`);
    }
    // Back in front, the race runs on.
    await page.bringToFront();
    await other.close();
    await waitForPage(page, "!document.hidden", "the tab coming back");
    const after = await waitForState(page, (s) => s.TimeLeft < during.TimeLeft, "the race running on once the tab is back");
    console.log(`time left ${before.TimeLeft} -> ${during.TimeLeft} over 4 s in the background, ${after.TimeLeft} once back; sound ${sound} meanwhile`);
  },

  // A link of the game opens the player's guide served beside the page, in a new tab.
  async links() {
    const page = await open();
    await waitForState(page, (s) => s.Screen === 1, "the intro screen");
    await showCanvasAtOwnSize(page);
    await sleep(300);
    const box = await (await page.$("#canvas")).boundingBox();
    // Clicked again until a tab opens: a click while the screen still fades in is not taken.
    const isGuide = (t) => /\/Docs\/guide\.html(#.*)?$/.test(t.url());
    let tab = null;
    for (const end = Date.now() + PATIENCE_MS; !tab && Date.now() < end;) {
      await page.mouse.move(box.x + 361 + 95, box.y + 311 + 10);
      await sleep(300);
      await page.mouse.click(box.x + 361 + 95, box.y + 311 + 10);
      tab = await browser.waitForTarget(isGuide, { timeout: 3000 }).catch(() => null);
    }
    if (!tab) fail("no tab opened the guide");
    const guide = await (await tab.page()).evaluate(() => document.title + " " + document.body.innerText.length);
    console.log(`the guide opened: ${tab.url()} (${guide})`);
  },

  // Alt+Enter in the game and the page's button both switch the page to full screen, where the
  // picture fills the screen's height with its shape kept.
  async fullscreen() {
    const page = await open();
    await waitForState(page, (s) => s.Screen === 1, "the intro screen");
    await page.keyboard.down("Alt");
    await press(page, "Enter");
    await page.keyboard.up("Alt");
    await waitForPage(page, "document.fullscreenElement && document.fullscreenElement.id === 'stage'", "full screen after Alt+Enter");
    const size = await page.evaluate(() => {
      const r = document.getElementById("canvas").getBoundingClientRect();
      return { width: r.width, height: r.height, screenHeight: window.innerHeight };
    });
    if (Math.abs(size.width * 3 - size.height * 4) > 4) fail(`the picture lost its shape: ${size.width} x ${size.height}`);
    await page.evaluate(() => document.exitFullscreen());
    await waitForPage(page, "!document.fullscreenElement", "the window again");
    await page.click("#full-screen");
    await waitForPage(page, "document.fullscreenElement && document.fullscreenElement.id === 'stage'", "full screen from the button");
    console.log(`full screen by Alt+Enter and by the button; picture ${size.width} x ${size.height}`);
  },

  // A replay script run by the browser build gives the native summary and frame hash.
  async replay() {
    const script = "seed 7\nframes 400\n@30 press Esc\n@90 press Enter\n@100 press Right\n@110 press Left\n" +
                   "@120 press Enter\n@260 keydown Up\n@330 press Space\n@400 keyup Up\n";
    const page = await open("?replay");
    await page.waitForFunction("window.kestruneReady === true", { timeout: PATIENCE_MS });
    const inPage = JSON.parse(await page.evaluate((s) => Module.ccall("kestrune_run_replay", "string", ["string"], [s]), script));
    if (inPage.error) fail(`the page refused the script: ${inPage.error}`);
    delete inPage.wall_ms;
    const native = nativeReplay(script);
    const a = JSON.stringify(inPage, null, 1), b = JSON.stringify(native, null, 1);
    if (a !== b) fail(`the page's summary differs from the native one:\npage:   ${a}\nnative: ${b}`);
    if (native.Screen !== 7) fail(`the script did not reach the race (Screen ${native.Screen})`);
    console.log(`same summary and frame hash ${native.LastFrameHash} in the page and natively`);
  },

  // An option changed in the page is still there after a reload: the game saves when it is
  // left (Esc, Yes, the goodbye window's Close) and the page keeps the files in IndexedDB.
  async options() {
    let page = await open();
    const { before, changed } = await switchTheSound(page);
    await until(page, () => press(page, "Escape"), (s) => s.Overlay !== 0, "the exit confirmation");
    await until(page, () => press(page, "KeyY"), (s) => s.Overlay === 0, "Yes");
    await waitForPage(page, "!document.getElementById('overlay').hidden", "the goodbye window in the page");
    await shot(page, "goodbye.png");
    await untilPage(page, () => press(page, "Escape"), "window.kestruneEnded === 0",
                    "the game's end after Esc closed the goodbye window");
    await waitForPage(page, "!document.getElementById('thanks').hidden", "the thanks page");
    await shot(page, "thanks.png");
    await waitForPage(page, "(window.kestruneSaves || 0) > 0 && !Module.kestruneSaving", "the saves written to the browser's storage");
    await page.reload({ waitUntil: "load" });
    const after = await waitForState(page, (s) => s.Screen === 1, "the intro screen after the reload");
    if (after.SoundOn !== changed.SoundOn) fail(`sound is ${after.SoundOn} after the reload, was set to ${changed.SoundOn}`);
    console.log(`sound ${before.SoundOn} -> ${changed.SoundOn}, still ${after.SoundOn} after the reload`);
  },

  // The page is an app a browser offers to install: no installability errors, and the
  // manifest's icons are drawn at the sizes it states.
  async install() {
    const page = await open();
    await waitForOffline(page, "ready");
    const cdp = await page.createCDPSession();
    const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
    if (installabilityErrors.length > 0) fail(`installability errors: ${JSON.stringify(installabilityErrors)}`);
    const manifest = await cdp.send("Page.getAppManifest");
    if (manifest.errors.length > 0) fail(`the manifest has errors: ${JSON.stringify(manifest.errors)}`);
    const icons = JSON.parse(manifest.data).icons;
    for (const icon of icons) {
      const size = await page.evaluate(async (src) => {
        const img = new Image();
        img.src = src;
        await img.decode();
        return `${img.naturalWidth}x${img.naturalHeight}`;
      }, icon.src);
      if (size !== icon.sizes) fail(`${icon.src} is ${size}, the manifest says ${icon.sizes}`);
    }
    console.log(`installable; icons ${icons.map((i) => `${i.src} ${i.sizes} ${i.purpose}`).join(", ")}`);
  },

  // After one visit, a second one (the server running) is answered by the service worker, and
  // with the server stopped the game starts and races, every request answered from the cache.
  async offline() {
    const first = await open();
    await waitForState(first, (s) => s.Screen === 1, "the intro screen");
    await waitForOffline(first, "ready");
    const start = Date.now();
    const page = await open();
    await waitForState(page, (s) => s.Screen === 1, "the intro screen on the second visit");
    const secondMs = Date.now() - start;
    const past = await page.evaluate(() => [...performance.getEntriesByType("navigation"), ...performance.getEntriesByType("resource")]
      .filter((e) => !e.name.startsWith("data:") && !(e.workerStart > 0)).map((e) => e.name));
    if (past.length > 0) fail(`the second visit downloaded past the service worker: ${past.join(", ")}`);
    console.log(`second visit: the intro after ${secondMs} ms, everything through the service worker`);
    await first.close();
    await new Promise((resolve) => {
      server.close(resolve);
      server.closeAllConnections();
    });
    const fromNetwork = [];
    page.on("response", (r) => { if (!r.url().startsWith("data:") && !r.fromServiceWorker()) fromNetwork.push(r.url()); });
    await page.reload({ waitUntil: "load" });
    await waitForState(page, (s) => s.Screen === 1, "the intro screen without a server");
    await shot(page, "offline-intro.png");
    await until(page, () => press(page, "Escape"), (s) => s.Screen === 2, "the main menu");
    await until(page, () => press(page, "Enter"), (s) => s.Screen === 3, "the car choice");
    const race = await until(page, () => press(page, "Enter"), (s) => s.Screen === 7, "the race");
    await page.keyboard.down("ArrowUp");
    await waitForState(page, (s) => s.Screen === 7 && s.Speed > 0 && s.MapRowOffset !== race.MapRowOffset,
                       "the car driving on without a server");
    await page.keyboard.up("ArrowUp");
    if (fromNetwork.length > 0) fail(`answered from elsewhere than the cache: ${fromNetwork.join(", ")}`);
    console.log("with the server stopped: the intro, the menus and a race, all from the cache");
  },

  // A new build replaces the cached one only whole: a host half updated (a file missing, a file
  // still of the older build, a file cut short) leaves the older build in use and its cache
  // alone; a complete one waits beside it, is offered outside races only, and after the restart
  // is the only one kept.
  async update() {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), "kestrune-builds-"));
    try {
      const older = path.join(folder, "older"), newer = path.join(folder, "newer");
      fs.cpSync(site, older, { recursive: true });
      fs.cpSync(site, newer, { recursive: true });
      fs.appendFileSync(path.join(newer, "page.css"), "\n/* a later build */\n");
      const writeWorker = (dir) => execFileSync(process.execPath, [workerScript, dir], { encoding: "utf8" }).trim();
      const newVersion = writeWorker(newer);
      server.root = older;
      const page = await open();
      await waitForState(page, (s) => s.Screen === 1, "the intro screen");
      const oldVersion = await waitForOffline(page, "ready");
      const halfway = [
        { what: "a file missing", change: (dir) => fs.rmSync(path.join(dir, "Docs", "guide.html")) },
        { what: "a file of the older build",
          change: (dir) => fs.copyFileSync(path.join(older, "page.css"), path.join(dir, "page.css")) },
        { what: "the data cut short",
          change: (dir) => fs.truncateSync(path.join(dir, "kestrune.data.gz"), Math.floor(fs.statSync(path.join(dir, "kestrune.data.gz")).size / 2)) },
      ];
      for (const c of halfway) {
        const broken = path.join(folder, "broken");
        fs.rmSync(broken, { recursive: true, force: true });
        fs.cpSync(newer, broken, { recursive: true });
        c.change(broken);
        server.root = broken;
        const after = await lookForUpdate(page);
        if (after.waiting || after.caches.join() !== `kestrune-${oldVersion}`) {
          fail(`with ${c.what} on the host: ${JSON.stringify(after)}`);
        }
        await page.reload({ waitUntil: "load" });
        await waitForState(page, (s) => s.Screen === 1, `the intro screen after ${c.what}`);
        const version = await waitForOffline(page, "ready");
        if (version !== oldVersion) fail(`with ${c.what}, the page came from build ${version}`);
        console.log(`${c.what}: build ${oldVersion} kept and still serving`);
      }
      server.root = newer;
      const waiting = await lookForUpdate(page);
      if (!waiting.waiting || waiting.caches.sort().join() !== [`kestrune-${newVersion}`, `kestrune-${oldVersion}`].sort().join()) {
        fail(`the complete build did not wait beside the older one: ${JSON.stringify(waiting)}`);
      }
      const notice = "!document.getElementById('update').hidden";
      await waitForPage(page, notice, "the notice of the new version on the intro screen");
      await shot(page, "update-notice.png");
      await until(page, () => press(page, "Escape"), (s) => s.Screen === 2, "the main menu");
      await until(page, () => press(page, "Enter"), (s) => s.Screen === 3, "the car choice");
      await until(page, () => press(page, "Enter"), (s) => s.Screen === 7, "the race");
      await waitForPage(page, `!(${notice})`, "the notice hidden during the race");
      await waitForState(page, (s) => s.Overlay === 0 && s.TimeLeft > 0, "the race running");
      await until(page, () => press(page, "Escape"), (s) => s.Overlay === 2, "the question to leave the race");
      await until(page, () => press(page, "KeyY"), (s) => s.Screen === 2, "the main menu after the race");
      await waitForPage(page, notice, "the notice again in the main menu");
      if (await page.evaluate(() => window.kestruneOffline.version) !== oldVersion) fail("the page changed build under the player");
      await page.click("#update-restart");
      await waitForState(page, (s) => s.Screen === 1, "the intro screen of the new build");
      const restarted = await waitForOffline(page, "ready");
      const caches = await page.evaluate(() => caches.keys());
      const style = await page.evaluate(() => fetch("page.css").then((r) => r.text()));
      if (restarted !== newVersion || caches.join() !== `kestrune-${newVersion}` || !style.includes("a later build")) {
        fail(`after the restart: build ${restarted}, caches ${caches.join()}, the later style ${style.includes("a later build")}`);
      }
      console.log(`build ${oldVersion} replaced whole by ${newVersion} after the restart; only its cache is left`);
    } finally {
      server.root = site;
      fs.rmSync(folder, { recursive: true, force: true });
    }
  },

  // Progress saved to a file and loaded into a fresh profile restores the saved files whole:
  // the options (the sound switched here) and the high-score table. (The table stays the default
  // one: a score good enough for it takes far longer than a check should.)
  async progress() {
    const downloads = fs.mkdtempSync(path.join(os.tmpdir(), "kestrune-downloads-"));
    const savedFiles = (page) => page.evaluate(() =>
      ["options", "hs"].map((name) => Array.from(Module.FS.readFile("/save/" + name)).join()).join("|"));
    try {
      const page = await open();
      await (await page.createCDPSession()).send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
      const { before, changed } = await switchTheSound(page);
      await shot(page, "progress-buttons.png");
      await page.click("#save-progress");
      const file = path.join(downloads, "kestrune-progress.json");
      for (const end = Date.now() + PATIENCE_MS; !fs.existsSync(file) && Date.now() < end;) await sleep(200);
      if (!fs.existsSync(file)) fail("no progress file was saved");
      const saved = await savedFiles(page);

      const context = await browser.createBrowserContext();
      const fresh = await open("", context);
      await waitForState(fresh, (s) => s.Screen === 1, "the intro screen in a fresh profile");
      const input = await fresh.$("#progress-file");
      await Promise.all([fresh.waitForNavigation({ waitUntil: "load" }), input.uploadFile(file)]);
      const after = await waitForState(fresh, (s) => s.Screen === 1, "the intro screen with the loaded progress");
      if (after.SoundOn !== changed.SoundOn) fail(`sound is ${after.SoundOn} after loading, was saved as ${changed.SoundOn}`);
      if (await savedFiles(fresh) !== saved) fail("the loaded files differ from the saved ones");
      console.log(`sound ${changed.SoundOn}, the options and the table saved to a file and loaded into a fresh profile`);
      await context.close();
    } finally {
      fs.rmSync(downloads, { recursive: true, force: true });
    }
  },
};

Object.assign(checks, phoneChecks({ browser, base, problems, sleep, fail, shot, nativeReplay, state, waitForState }));

let code = 0;
try {
  if (!checks[check]) fail(`no check "${check}" (${Object.keys(checks).join(", ")})`);
  await checks[check]();
  if (problems.length > 0) fail(`the page reported:\n  ${problems.join("\n  ")}`);
  console.log(`PASS ${check}`);
} catch (e) {
  console.log(`FAIL ${check}: ${e.message}`);
  if (problems.length > 0) console.log(`the page reported:\n  ${problems.join("\n  ")}`);
  code = 1;
} finally {
  await browser.close();
  server.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
process.exit(code);
