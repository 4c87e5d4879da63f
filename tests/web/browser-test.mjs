// Plays the browser build in headless Chromium: the page loads, the first
// scene matches the native game's first frame, held D keys walk the
// avatar, and F5, a reload of the page, then F9 bring the position back
// (the save lives in the browser's storage).
// usage: node browser-test.mjs URL NATIVE_FIRST_FRAME.png OUTPUT_FOLDER
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";
import { PNG } from "pngjs";

const [url, nativeFrame, outFolder] = process.argv.slice(2);
const failures = [];
function check(ok, what) {
  console.log((ok ? "ok   " : "FAIL ") + what);
  if (!ok) failures.push(what);
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), "zolt-chromium-"));
const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  headless: "new",
  userDataDir: profile,
  args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run", "--autoplay-policy=no-user-gesture-required"],
});
const page = await browser.newPage();
const errors = [];
page.on("console", (message) => {
  fs.appendFileSync(path.join(outFolder, "console.txt"), message.type() + ": " + message.text() + "\n");
  if (message.type() === "error" && /abort|exception|RuntimeError/i.test(message.text())) errors.push(message.text());
});
page.on("pageerror", (error) => errors.push(String(error)));

// The game runs once the avatar stands somewhere, then frames follow.
async function loadGame() {
  const started = Date.now();
  await page.goto(url, { waitUntil: "load" });
  await page.waitForFunction(() => typeof Module !== "undefined" && Module.calledRun &&
                                   Module.ccall("zolt_web_avatar", "string", [], []) !== "",
                             { timeout: 120000, polling: 100 });
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  return Date.now() - started;
}
const avatar = () => page.evaluate(() => Module.ccall("zolt_web_avatar", "string", [], []).split(" ").map(Number));
// A key held across a few frames, as a player's press is: the game reads
// the keys' state once a frame.
async function tap(key) {
  await page.keyboard.down(key);
  await new Promise((done) => setTimeout(done, 150));
  await page.keyboard.up(key);
}
const canvasPicture = async (name) => {
  const file = path.join(outFolder, name);
  await (await page.$("#canvas")).screenshot({ path: file });
  return PNG.sync.read(fs.readFileSync(file));
};
async function hold(key, milliseconds) {
  await page.keyboard.down(key);
  await new Promise((done) => setTimeout(done, milliseconds));
  await page.keyboard.up(key);
  // Walking ends on a tile: wait until the avatar stands still.
  let last = await avatar();
  for (;;) {
    await new Promise((done) => setTimeout(done, 300));
    const now = await avatar();
    if (now[0] === last[0] && now[1] === last[1]) return now;
    last = now;
  }
}

// Share of pixels whose channels differ by more than a small step: the
// browser rasterises through another GL, so edges may differ slightly.
// A picture shrunk by a whole factor, one pixel of each block kept: the
// documentation's pictures show the game at scale 2, every pixel doubled.
function atSizeOf(picture, target) {
  const factor = picture.width / target.width;
  if (!Number.isInteger(factor) || factor < 2 || picture.height !== target.height * factor) return picture;
  const data = Buffer.alloc(target.width * target.height * 4);
  for (let y = 0; y < target.height; y++)
    for (let x = 0; x < target.width; x++)
      picture.data.copy(data, (y * target.width + x) * 4, ((y * factor) * picture.width + x * factor) * 4,
                        ((y * factor) * picture.width + x * factor) * 4 + 4);
  return { width: target.width, height: target.height, data };
}

function differingShare(a, b) {
  if (a.width !== b.width || a.height !== b.height) return 1;
  let differing = 0;
  for (let i = 0; i < a.data.length; i += 4) {
    const d = Math.max(Math.abs(a.data[i] - b.data[i]), Math.abs(a.data[i + 1] - b.data[i + 1]),
                       Math.abs(a.data[i + 2] - b.data[i + 2]));
    if (d > 24) differing++;
  }
  return differing / (a.width * a.height);
}

try {
  const loadMs = await loadGame();
  console.log(`page load to first frame: ${loadMs} ms`);
  const first = await canvasPicture("browser-first-frame.png");
  const native = atSizeOf(PNG.sync.read(fs.readFileSync(nativeFrame)), first);
  const share = differingShare(first, native);
  console.log(`pixels differing from the native first frame: ${(share * 100).toFixed(2)} %`);
  check(share < 0.02, "the first scene matches the native game's first frame");
  const blank = differingShare(first, { width: first.width, height: first.height, data: Buffer.alloc(first.data.length) });
  check(blank > 0.2, "the first frame is not blank");

  // The idle first scene: the refresh interval the page keeps, and the
  // main thread's script time (the game's frames in WebAssembly) per frame.
  const before = await page.metrics();
  const frameMs = await page.evaluate(() => new Promise((done) => {
    const times = [];
    const step = (t) => { times.push(t); if (times.length < 121) requestAnimationFrame(step); else done((times[120] - times[0]) / 120); };
    requestAnimationFrame(step);
  }));
  const after = await page.metrics();
  const scriptMs = ((after.ScriptDuration - before.ScriptDuration) * 1000) / 120;
  console.log(`idle first scene: a frame every ${frameMs.toFixed(2)} ms, ${scriptMs.toFixed(2)} ms of script each`);
  await page.screenshot({ path: path.join(outFolder, "browser-page.png") });

  await page.focus("#canvas");
  const start = await avatar();
  const walked = await hold("KeyD", 700);
  // Positions are (row, column): walking right changes the column only.
  check(walked[1] > start[1] && walked[0] === start[0], `held D walks the avatar right (${start} -> ${walked})`);

  const storedBefore = await page.evaluate(() => Module.zoltSavesStored || 0);
  await tap("F5");
  await page.waitForFunction((n) => (Module.zoltSavesStored || 0) > n, { timeout: 20000 }, storedBefore);
  check(true, "F5 saved and the save reached the browser's storage");

  await loadGame();
  const afterReload = await avatar();
  check(afterReload[0] === start[0] && afterReload[1] === start[1], `a reload starts the game afresh (${afterReload})`);
  await page.focus("#canvas");
  await tap("F9");
  let restored = afterReload;
  for (let i = 0; i < 50 && !(restored[0] === walked[0] && restored[1] === walked[1]); i++) {
    await new Promise((done) => setTimeout(done, 200));
    restored = await avatar();
  }
  check(restored[0] === walked[0] && restored[1] === walked[1], `F9 after the reload restores the position (${restored})`);
  await canvasPicture("browser-after-load.png");
  check(errors.length === 0, "no errors in the page" + (errors.length ? ": " + errors.join(" | ") : ""));
} catch (error) {
  check(false, "the run finished: " + error);
} finally {
  await browser.close();
  fs.rmSync(profile, { recursive: true, force: true });
}
process.exit(failures.length ? 1 : 0);
