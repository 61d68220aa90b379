// Downloads one of the game's big files, which the site holds gzipped (kestrune.wasm.gz,
// kestrune.data.gz) so that the page is small from any host, also one that sends files as they
// are. Reports the bytes as they arrive and returns the unpacked contents. A host that marks the
// file as gzip-encoded has the browser unpack it on the way: then the bytes arrive unpacked and
// are used as they are (neither the program nor the data package starts with gzip's 1f 8b).
"use strict";
window.kestruneDownload = async function (name, onProgress) {
  const response = await fetch(name);
  if (!response.ok) throw new Error(name + ": " + response.status + " " + response.statusText);
  const total = Number(response.headers.get("Content-Length")) || 0;
  const reader = response.body.getReader();
  const parts = [];
  let done = 0;
  for (;;) {
    const next = await reader.read();
    if (next.done) break;
    parts.push(next.value);
    done += next.value.length;
    onProgress(done, Math.max(total, done));
  }
  const packed = new Blob(parts);
  const head = new Uint8Array(await packed.slice(0, 2).arrayBuffer());
  if (head[0] !== 0x1f || head[1] !== 0x8b) return packed.arrayBuffer();
  return new Response(packed.stream().pipeThrough(new DecompressionStream("gzip"))).arrayBuffer();
};
