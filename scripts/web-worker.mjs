// Writes the site's service worker: web/sw.js with the record of this build in front of it, the
// path, size and SHA-256 of every file of the site and a version made of them all, so that any
// change to any file makes a new worker with its own cache.
//   node scripts/web-worker.mjs SITE_FOLDER      (scripts/web.sh runs it as its last step)
// Prints the build's version.
import crypto from "node:crypto";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const site = path.resolve(process.argv[2] || "build-web/site");
const template = path.join(path.dirname(fileURLToPath(import.meta.url)), "..", "web", "sw.js");

function list(folder, prefix = "") {
  return fs.readdirSync(folder, { withFileTypes: true }).flatMap((entry) => {
    const name = prefix + entry.name;
    if (entry.isDirectory()) return list(path.join(folder, entry.name), name + "/");
    return name === "sw.js" ? [] : [name];
  });
}

const files = list(site).sort().map((name) => {
  const bytes = fs.readFileSync(path.join(site, name));
  return { path: name.split("/").map(encodeURIComponent).join("/"), size: bytes.length,
           sha256: crypto.createHash("sha256").update(bytes).digest("hex") };
});
const version = crypto.createHash("sha256")
  .update(files.map((f) => `${f.path} ${f.size} ${f.sha256}\n`).join("")).digest("hex").slice(0, 16);
const record = `const BUILD = ${JSON.stringify({ version, files }, null, 1)};\n`;
fs.writeFileSync(path.join(site, "sw.js"), record + fs.readFileSync(template, "utf8"));
console.log(version);
