// Measures the browser build against the native game, in one run:
//   node bench/web/web-bench.mjs [--site build-web/site] [--build build]
// - the race frame at level 5 (a scripted drive, replayed headless in the page and natively by
//   kestrune-replay): the time of 600 more frames, page against native, as a ratio;
// - the site's download: kestrune.wasm + kestrune.data, unpacked and gzipped (as the site holds
//   them), and the whole site;
// - a new visitor, from a plain static server (python3 -m http.server on 127.0.0.1, which sends
//   every file uncompressed) with the network emulated at 10 Mbit/s and 40 ms latency: the bytes
//   transferred before the intro screen shows and the time from the request to the intro;
// - a second visit from the same browser, the page and the game coming from the service
//   worker's cache: the time from the request to the intro;
// - the time from the request to the intro screen in headless Chromium (fresh cache each time,
//   no network emulation).
// Each figure is the median of five runs. Needs what the browser tests need (scripts/web.sh).
import { createRequire } from "node:module";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import { spawn } from "node:child_process";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";

const args = process.argv.slice(2);
const option = (name, fallback) => (args.indexOf(name) >= 0 ? args[args.indexOf(name) + 1] : fallback);
const site = path.resolve(option("--site", "build-web/site"));
const build = path.resolve(option("--build", "build"));
const cache = process.env.KESTRUNE_WEB_CACHE ||
  path.join(process.env.XDG_CACHE_HOME || path.join(os.homedir(), ".cache"), "kestrune-web");
const puppeteer = createRequire(path.join(cache, "node", "package.json"))("puppeteer-core");
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const RUNS = 5;

// Download size: the program and the data package as the site holds them (gzipped).
let raw = 0, gz = 0;
for (const name of ["kestrune.wasm", "kestrune.data"]) {
  // (A site of an earlier build holds them unpacked: measured the same way, for comparison.)
  const gzipped = fs.existsSync(path.join(site, name + ".gz"));
  const bytes = gzipped ? zlib.gunzipSync(fs.readFileSync(path.join(site, name + ".gz"))) : fs.readFileSync(path.join(site, name));
  const packed = gzipped ? fs.readFileSync(path.join(site, name + ".gz")) : zlib.gzipSync(bytes, { level: 9 });
  console.log(`${name}: ${(bytes.length / 1048576).toFixed(2)} MB, gzip ${(packed.length / 1048576).toFixed(2)} MB`);
  raw += bytes.length;
  gz += packed.length;
}
console.log(`download: ${(raw / 1048576).toFixed(2)} MB, gzip ${(gz / 1048576).toFixed(2)} MB (target: at most 6 MB gzip)`);

let whole = 0;
const walk = (dir) => fs.readdirSync(dir, { withFileTypes: true }).forEach((e) =>
  (e.isDirectory() ? walk(path.join(dir, e.name)) : (whole += fs.statSync(path.join(dir, e.name)).size)));
walk(site);
console.log(`whole site: ${(whole / 1048576).toFixed(2)} MB uncompressed (target: at most 8 MB transferred)`);

const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm" };
const server = http.createServer((req, res) => {
  const file = path.join(site, decodeURIComponent(new URL(req.url, "http://x").pathname).replace(/\/$/, "/index.html"));
  if (!file.startsWith(site) || !fs.existsSync(file)) return res.writeHead(404).end();
  res.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream",
                       "Content-Length": fs.statSync(file).size });
  fs.createReadStream(file).pipe(res);
});
await new Promise((r) => server.listen(0, "127.0.0.1", r));
const base = `http://127.0.0.1:${server.address().port}/`;
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true,
  args: ["--no-sandbox", "--enable-unsafe-swiftshader", "--use-angle=swiftshader", "--autoplay-policy=no-user-gesture-required"],
});

// Waits for the intro screen, asking the page every 20 ms from here (a wait inside the page
// now and then missed it under load); when it does not come, says what the page shows instead.
async function atIntro(page) {
  let shown = "";
  for (const end = Date.now() + 120000; Date.now() < end; await sleep(20)) {
    shown = await page.evaluate(() => [document.visibilityState, document.getElementById("status").textContent,
      document.getElementById("problem-text").textContent,
      window.Module && Module._kestrune_game_state ? Module.UTF8ToString(Module._kestrune_game_state()) : "{}"].join(" | "))
      .catch((why) => why.message);
    if (/"Screen": ?1\b/.test(shown)) return;
  }
  throw new Error(`no intro screen within 120 s; the page: ${shown}`);
}

// Request to intro screen, each in a fresh context (nothing cached, no saved files).
const introMs = [];
for (let i = 0; i < RUNS; ++i) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  const start = Date.now();
  await page.goto(base);
  await atIntro(page);
  introMs.push(Date.now() - start);
  await context.close();
}
console.log(`request to intro screen: median ${median(introMs)} ms (runs: ${introMs.join(", ")}) (target: at most 10 s)`);

// A new visitor at 10 Mbit/s and 40 ms from a plain static server, then the same browser again.
const PORT = 18000 + (process.pid % 1000);
const plain = spawn("python3", ["-m", "http.server", "--bind", "127.0.0.1", String(PORT), "-d", site], { stdio: "ignore" });
const plainBase = `http://127.0.0.1:${PORT}/`;
for (let i = 0; i < 100; ++i) {
  const up = await new Promise((resolve) =>
    http.get(plainBase, (res) => resolve(res.resume() && true)).on("error", () => resolve(false)));
  if (up) break;
  await sleep(100);
}
const slowNetwork = { download: 10e6 / 8, upload: 10e6 / 8, latency: 40 };
const visit = { ms: [], bytes: [], againMs: [] };
const offline = fs.existsSync(path.join(site, "sw.js"));
for (let i = 0; i < RUNS; ++i) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1000, height: 800 });
  await page.emulateNetworkConditions(slowNetwork);
  const cdp = await page.createCDPSession();
  await cdp.send("Network.enable");
  let bytes = 0;
  cdp.on("Network.loadingFinished", (e) => { bytes += e.encodedDataLength; });
  const start = Date.now();
  await page.goto(plainBase);
  await atIntro(page);
  visit.ms.push(Date.now() - start);
  visit.bytes.push(bytes);
  // The second visit, once the service worker holds the build.
  if (!offline) {
    await context.close();
    continue;
  }
  await page.waitForFunction("window.kestruneOffline && kestruneOffline.state === 'ready'", { timeout: 300000 });
  await page.close();
  const again = await context.newPage();
  await again.setViewport({ width: 1000, height: 800 });
  await again.emulateNetworkConditions(slowNetwork);
  const startAgain = Date.now();
  await again.goto(plainBase);
  await atIntro(again);
  visit.againMs.push(Date.now() - startAgain);
  await context.close();
}
plain.kill();
console.log(`new visitor at 10 Mbit/s + 40 ms, plain static server: ${(median(visit.bytes) / 1048576).toFixed(2)} MB ` +
            `before the intro (target: at most 5 MB), intro after median ${median(visit.ms)} ms ` +
            `(runs: ${visit.ms.join(", ")}) (target: at most 6 s)`);
if (offline) console.log(`second visit, from the cache: intro after median ${median(visit.againMs)} ms ` +
            `(runs: ${visit.againMs.join(", ")}) (target: at most 1.5 s)`);

// The race frame at level 5: a drive of N frames, timed for two lengths; the difference is the
// cost of the extra frames alone (the start-up cancels out).
const script = (frames) => `seed 5\nrace 5 1\nframes ${frames}\n@10 keydown Up\n@200 keydown Left\n@260 keyup Left\n` +
  `@300 press Space\n@400 keydown Right\n@460 keyup Right\n`;
const SHORT = 300, LONG = 900;
const page = await browser.newPage();
await page.goto(base + "?replay");
await page.waitForFunction("window.kestruneReady === true", { timeout: 120000 });
const pageMs = async (frames) => JSON.parse(await page.evaluate((s) =>
  Module.ccall("kestrune_run_replay", "string", ["string"], [s]), script(frames))).wall_ms;
const nativeMs = (frames) => {
  const file = path.join(os.tmpdir(), `kestrune-bench-${process.pid}.txt`);
  fs.writeFileSync(file, script(frames));
  const start = process.hrtime.bigint();
  execFileSync(path.join(build, "kestrune-replay"), [file], { cwd: build, stdio: "ignore" });
  const ms = Number(process.hrtime.bigint() - start) / 1e6;
  fs.rmSync(file);
  return ms;
};
const perFrame = { page: [], native: [] };
for (let i = 0; i < RUNS; ++i) {
  perFrame.page.push(((await pageMs(LONG)) - (await pageMs(SHORT))) / (LONG - SHORT));
  perFrame.native.push((nativeMs(LONG) - nativeMs(SHORT)) / (LONG - SHORT));
}
const p = median(perFrame.page), n = median(perFrame.native);
console.log(`race frame, level 5 (headless replay, frame drawn and hashed): page ${p.toFixed(3)} ms, ` +
            `native ${n.toFixed(3)} ms, ratio ${(p / n).toFixed(2)} (target: at most 2)`);
await browser.close();
server.close();
