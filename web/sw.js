// The page's service worker: it keeps one build of the whole site (the page, the program, its
// data, the documents, the icons) in one cache named after that build, and answers the page's
// requests from it, so the game starts at once on a second visit and plays with no network.
//
// scripts/web-worker.mjs writes the build's record in front of this text when it writes the site:
//   const BUILD = { version: "<hash of all the site's files>",
//                   files: [{ path: "kestrune.wasm", size: 123, sha256: "<hex>" }, ...] };
// so a new build is a new worker (the browser compares the worker's bytes) with a new cache.
//
// - Install: every file is downloaded and checked against its size and hash before anything is
//   stored; the cache is filled, then marked complete. Any failure (a network error, a file of
//   another build because the host is half updated) deletes the new cache and fails the install:
//   the running build is left as it was, and the browser tries again later.
// - The new worker then waits. The page offers a restart at a calm moment and asks it to take
//   over; otherwise it takes over when no page of the old one is open any more.
// - Activate: only now, with the new cache complete, are the older builds' caches deleted.
// - Fetch: the cached copy, whatever the query string; what the build does not hold goes to the
//   network as usual.
"use strict";

const PREFIX = "kestrune-";
const CACHE = PREFIX + BUILD.version;
const SCOPE = self.registration.scope;
// Stored last: a cache of this build without it was left by an install that did not finish.
const COMPLETE = new URL("build-complete", SCOPE).href;

const hex = (buffer) => Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, "0")).join("");

// One file of the build, checked. The browser's own cache may answer first (the page has just
// downloaded most of these files); a copy from another build is downloaded again.
async function download(file) {
  const url = new URL(file.path, SCOPE).href;
  let why = "";
  for (const cache of ["default", "reload"]) {
    let response;
    try {
      response = await fetch(url, { cache });
    } catch (e) {
      throw new Error(`${file.path}: ${e.message}`);
    }
    if (!response.ok) throw new Error(`${file.path}: HTTP ${response.status}`);
    const bytes = await response.arrayBuffer();
    if (bytes.byteLength === file.size && hex(await crypto.subtle.digest("SHA-256", bytes)) === file.sha256) {
      const headers = { "Content-Type": response.headers.get("Content-Type") || "application/octet-stream",
                        "Content-Length": String(bytes.byteLength) };
      return [url, new Response(bytes, { headers })];
    }
    why = `${file.path}: ${bytes.byteLength} bytes that are not this build's`;
  }
  throw new Error(why);
}

async function isComplete(name) {
  return (await caches.has(name)) && Boolean(await (await caches.open(name)).match(COMPLETE));
}

async function install() {
  if (await isComplete(CACHE)) return;
  await caches.delete(CACHE);
  try {
    const files = await Promise.all(BUILD.files.map(download));
    const cache = await caches.open(CACHE);
    for (const [url, response] of files) await cache.put(url, response);
    await cache.put(COMPLETE, new Response(BUILD.version));
  } catch (e) {
    await caches.delete(CACHE);
    console.warn(`Kestrune: build ${BUILD.version} was not kept for offline play: ${e.message}`);
    throw e;
  }
}

self.addEventListener("install", (event) => event.waitUntil(install()));

self.addEventListener("activate", (event) => event.waitUntil((async () => {
  for (const name of await caches.keys()) {
    if (name.startsWith(PREFIX) && name !== CACHE) await caches.delete(name);
  }
  // A first visit's page is served from the cache from now on, without a reload.
  await self.clients.claim();
})()));

self.addEventListener("message", (event) => {
  if (event.data && event.data.type === "take-over") self.skipWaiting();
  if (event.data && event.data.type === "version") event.source.postMessage({ type: "version", version: BUILD.version });
});

async function answer(request) {
  const url = new URL(request.url);
  let key = url.origin + url.pathname;
  if (key.endsWith("/")) key += "index.html";
  const cache = (await caches.has(CACHE)) ? await caches.open(CACHE) : null;
  const hit = cache && await cache.match(key);
  return hit || fetch(request);
}

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET" || !event.request.url.startsWith(SCOPE)) return;
  event.respondWith(answer(event.request));
});
