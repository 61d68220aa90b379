// The page as a phone shows it: a 844 x 390 touch screen held sideways (the strict autoplay policy
// of a phone's browser, see browser-tests.mjs), driven only by taps and held touches; and a desktop
// without touch, where the pads stay hidden. Each check waits for what it looks for with a generous
// limit and never times the game.
const PHONE = { width: 844, height: 390, deviceScaleFactor: 1, isMobile: true, hasTouch: true, isLandscape: true };
const UPRIGHT = { width: 390, height: 844, deviceScaleFactor: 1, isMobile: true, hasTouch: true, isLandscape: false };
const DESKTOP = { width: 1000, height: 800, deviceScaleFactor: 1 };
const PATIENCE = 120000;
const LABELS = ["Steer left", "Steer right", "Accelerate", "Brake", "Fire", "Nitro", "Handbrake", "Horn", "Pause", "Back"];
// The game's screens and overlays as its state reports them.
const SCREEN = { intro: 1, menu: 2, cars: 3, highScores: 5, race: 7 };
const OVERLAY = { none: 0, exitToMenu: 2, pause: 5, nameEntry: 8 };

export function phoneChecks({ browser, base, problems, sleep, fail, shot, nativeReplay, state, waitForState }) {
  async function open(viewport, query = "") {
    const page = await browser.newPage();
    await page.setViewport(viewport);
    page.on("console", (m) => { if (m.type() === "error") problems.push(`console error: ${m.text()}`); });
    page.on("pageerror", (e) => problems.push(`page error: ${e.message}`));
    page.on("requestfailed", (r) => problems.push(`request failed: ${r.url()} ${r.failure()?.errorText}`));
    await page.goto(base + query, { waitUntil: "load" });
    return page;
  }
  // The game's state, and a wait for it to show something, as the desktop checks have them.
  const waitFor = waitForState;
  async function waitForPage(page, condition, what, arg) {
    await page.waitForFunction(condition, { timeout: PATIENCE, polling: 100 }, arg).catch(async () => {
      await shot(page, "phone-failed.png");
      fail(`${what} did not happen within ${PATIENCE / 1000} s`);
    });
  }
  // Does something (a tap) until the state shows it took effect, as a player would: a menu
  // ignores taps while it fades in, longer on a slow machine.
  async function until(page, action, test, what) {
    const end = Date.now() + PATIENCE;
    let last = null;
    while (Date.now() < end) {
      await action();
      const settle = Date.now() + 2000;
      while (Date.now() < settle) {
        last = await state(page).catch(() => null);
        if (last && test(last)) return last;
        await sleep(100);
      }
    }
    await shot(page, "phone-failed.png");
    fail(`${what} did not happen; the state: ${JSON.stringify(last)}`);
  }

  // The centre of a control found by its accessible name, as a screen reader finds it.
  async function control(page, label) {
    const box = await page.evaluate((name) => {
      const e = document.querySelector(`[aria-label="${name}"]`);
      if (!e) return null;
      const r = e.getBoundingClientRect();
      const shown = getComputedStyle(e).visibility !== "hidden" && r.width > 0 && r.height > 0;
      return shown ? { x: r.left, y: r.top, width: r.width, height: r.height } : null;
    }, label);
    if (!box) fail(`no control named "${label}" is shown`);
    return { ...box, cx: box.x + box.width / 2, cy: box.y + box.height / 2 };
  }
  const tapControl = async (page, label) => {
    const c = await control(page, label);
    await page.touchscreen.tap(c.cx, c.cy);
  };
  // A tap on the 800 x 600 picture at a point of the picture.
  async function tapPicture(page, x, y) {
    const r = await page.evaluate(() => {
      const b = document.getElementById("canvas").getBoundingClientRect();
      return { x: b.left, y: b.top, width: b.width, height: b.height };
    });
    await page.touchscreen.tap(r.x + (x * r.width) / 800, r.y + (y * r.height) / 600);
  }
  // A finger put down and held; several at once. Returns what lifts or slides it.
  async function touch(page, x, y) {
    const handle = await page.touchscreen.touchStart(x, y);
    if (!handle || !handle.end) fail("this puppeteer cannot hold several touches at once (24 or later can)");
    return handle;
  }
  const audioState = (page) => page.evaluate(() =>
    (window.Module && Module.SDL2 && Module.SDL2.audioContext ? Module.SDL2.audioContext.state : "none"));

  // The taps of the menus: intro's Continue, the main menu's New game, the car choice's Start.
  async function tapIntoRace(page) {
    await waitFor(page, (s) => s.Screen === SCREEN.intro, "the intro screen");
    await until(page, () => tapPicture(page, 254 + 60, 504 + 12), (s) => s.Screen === SCREEN.menu, "the main menu after tapping Continue");
    await until(page, () => tapPicture(page, 284 + 60, 27 + 25), (s) => s.Screen === SCREEN.cars, "the car choice after tapping New game");
    return until(page, () => tapPicture(page, 222 + 60, 475 + 20), (s) => s.Screen === SCREEN.race, "the race after tapping Start");
  }
  const heading = (s) => ((s.Heading % 256) + 256) % 256;
  // The heading's turn from a to b, -128..127 (256ths of a full turn, clockwise positive).
  const turn = (a, b) => ((b - a + 384) % 256) - 128;

  // The high-score table and its check line in the options file, as the game writes them; scores
  // below zero make any race's score (0 too) a new high score.
  function savedTable(rows) {
    const length = Math.max(...rows.map((r) => r.name.length));
    const check = new Array(length).fill(32);
    const fold = (text) => {
      for (let j = 0; j < Math.min(text.length, length); ++j) check[j] = ((check[j] + text.charCodeAt(j)) % 224) + 32;
    };
    for (const r of rows) { fold(r.name); fold(String(r.score)); }
    const hs = rows.map((r) => `${r.name}\r\n${r.score}\r\n`).join("");
    const options = [..."0\r\n1\r\n1\r\n_______\r\n"].map((c) => c.charCodeAt(0)).concat(check, [13, 10]);
    return { hs, options };
  }

  // The pads beside the picture: each named control shown, at least 48 CSS px, on the screen and
  // off the picture; the picture as high as the screen (or, with large pads, as wide as the room
  // between them) with its shape kept.
  async function checkLayout(page, fullHeight) {
    const layout = await page.evaluate((labels) => {
      const box = (e) => { const r = e.getBoundingClientRect(); return { x: r.left, y: r.top, width: r.width, height: r.height }; };
      // No scrolling, zooming, selecting or long-press menu where the fingers go.
      const loose = [document.getElementById("canvas"), ...document.querySelectorAll(".pad, .pad button")]
        .filter((e) => getComputedStyle(e).touchAction !== "none" || getComputedStyle(e).userSelect !== "none")
        .map((e) => e.getAttribute("aria-label") || e.id || e.className);
      return { canvas: box(document.getElementById("canvas")), touch: document.body.classList.contains("touch"), loose,
               controls: labels.map((l) => { const e = document.querySelector(`[aria-label="${l}"]`); return e ? { label: l, ...box(e) } : { label: l }; }),
               page: { width: innerWidth, height: innerHeight } };
    }, LABELS);
    if (!layout.touch) fail("the pads are not shown on a touch screen");
    if (layout.loose.length > 0) fail(`the browser may scroll, zoom or select on: ${layout.loose.join(", ")}`);
    const c = layout.canvas;
    if (Math.abs(c.width * 3 - c.height * 4) > 4 || (fullHeight && c.height < layout.page.height - 2))
      fail(`the picture is ${c.width} x ${c.height}, not the screen's height with its shape kept`);
    for (const b of layout.controls) {
      if (b.width === undefined) fail(`no control named "${b.label}"`);
      if (b.width < 48 || b.height < 48) fail(`"${b.label}" is ${b.width} x ${b.height} CSS px, under 48`);
      const overlaps = b.x < c.x + c.width && b.x + b.width > c.x && b.y < c.y + c.height && b.y + b.height > c.y;
      if (overlaps) fail(`"${b.label}" lies over the picture`);
      if (b.x < 0 || b.y < 0 || b.x + b.width > layout.page.width || b.y + b.height > layout.page.height)
        fail(`"${b.label}" is off the screen`);
    }
    return layout;
  }

  return {
    // The whole way from the intro to driving, by taps and held touches only; the pads beside the
    // picture, each named and large enough for a thumb; sound that a tap starts.
    async "phone-race"() {
      const page = await open(PHONE);
      await waitFor(page, (s) => s.Screen === SCREEN.intro, "the intro screen");
      // Other phones held sideways: a small one (the picture narrower than the screen is high) and
      // a large one.
      for (const [width, height] of [[667, 375], [932, 430]]) {
        await page.setViewport({ ...PHONE, width, height });
        const layout = await checkLayout(page, width >= 800);
        console.log(`${width} x ${height}: picture ${layout.canvas.width} x ${layout.canvas.height}`);
      }
      await page.setViewport(PHONE);
      await checkLayout(page, true);
      await shot(page, "phone-intro.png");

      // Sound: suspended until a tap (a phone's rule). Headless Chromium may start it anyway; the
      // context is then suspended here as a phone's would be, and the tap must resume it.
      let before = await audioState(page);
      if (before === "running") {
        await page.evaluate(() => Module.SDL2.audioContext.suspend());
        await waitForPage(page, () => Module.SDL2.audioContext.state === "suspended", "the sound suspended");
        before = "running at the start, suspended by the check";
      }
      // A phone's browser counts only the end of a tap (pointerup, touchend, click) as the
      // gesture that allows sound: a resume at its start (touchstart, mousedown) is refused here
      // as it would be there, and the events that resumed it are noted.
      await page.evaluate(() => {
        const audio = Module.SDL2.audioContext, resume = audio.resume.bind(audio);
        window.resumedBy = [];
        audio.resume = () => {
          const type = window.event ? window.event.type : "none";
          if (type === "touchstart" || type === "mousedown") return Promise.resolve();
          window.resumedBy.push(type);
          return resume();
        };
      });
      const race = await tapIntoRace(page);
      await waitForPage(page, () => Module.SDL2.audioContext.state === "running", "the sound running after the first tap");
      const resumedBy = await page.evaluate(() => [...new Set(window.resumedBy)]);
      if (!resumedBy.some((t) => t === "pointerup" || t === "touchend"))
        fail(`the sound was not resumed at the end of a tap (resumed by: ${resumedBy.join(", ") || "nothing"})`);
      console.log(`sound: ${before} before the first tap, running after it (resumed on ${resumedBy.join(", ")})`);

      // Accelerate held with one thumb, steering with the other: left, then sliding across to
      // the right without lifting.
      await waitFor(page, (s) => s.Overlay === OVERLAY.none, "the race running (the level announced)");
      const pedal = await control(page, "Accelerate");
      const gas = await touch(page, pedal.cx, pedal.cy);
      const moving = await waitFor(page, (s) => s.Speed > 0 && s.MapRowOffset !== race.MapRowOffset, "the car driving while Accelerate is held");
      const left = await control(page, "Steer left"), right = await control(page, "Steer right");
      const thumb = await touch(page, left.cx, left.cy);
      const start = heading(moving);
      const steeredLeft = await waitFor(page, (s) => turn(start, heading(s)) <= -4, "the car turning left");
      await thumb.move((left.cx + right.cx) / 2, right.cy);
      await thumb.move(right.cx, right.cy);
      const steeredRight = await waitFor(page, (s) => turn(heading(steeredLeft), heading(s)) >= 4, "the car turning right after the thumb slid across");
      await thumb.end();
      await shot(page, "phone-race.png");
      // Fire with a third finger while both are on the pads: the car takes the fire key within
      // two of the game's frames (counted in the browser's frames, one more allowed for whether
      // the page's count runs before or after the game's frame; not a time).
      const fire = await control(page, "Fire");
      const thumb2 = await touch(page, left.cx, left.cy);
      await page.evaluate(() => {
        window.fireFrames = null;
        document.querySelector('[aria-label="Fire"]').addEventListener("pointerdown", () => {
          let frames = 0;
          const count = () => {
            ++frames;
            const s = JSON.parse(Module.UTF8ToString(Module._kestrune_game_state()));
            if (s.KeyFire) window.fireFrames = frames;
            else if (frames < 600) requestAnimationFrame(count);
          };
          requestAnimationFrame(count);
        }, { once: true });
      });
      const finger = await touch(page, fire.cx, fire.cy);
      await waitFor(page, (s) => s.KeyFire === true && s.Speed > 0, "the car taking the fire key with three touches down");
      await waitForPage(page, () => window.fireFrames !== null, "the frames to the fire key counted");
      const fireFrames = await page.evaluate(() => window.fireFrames);
      if (fireFrames > 3) fail(`the fire key reached the car ${fireFrames} frames after the touch`);
      await finger.end();
      await waitFor(page, (s) => s.KeyFire === false, "the fire key let go");
      await thumb2.end();
      await gas.end();
      console.log(`fire reached the car in ${fireFrames} browser frames`);
      console.log(`drove: heading ${start} -> ${heading(steeredLeft)} (left) -> ${heading(steeredRight)} (right), road row ${race.MapRowOffset} -> ${steeredRight.MapRowOffset}`);
      for (const [label, key] of [["Nitro", "KeyNitro"], ["Handbrake", "KeyHandbrake"], ["Horn", "KeyHorn"]]) {
        const b = await control(page, label);
        const f = await touch(page, b.cx, b.cy);
        await waitFor(page, (s) => s[key] === true, `the car taking ${label}`);
        await f.end();
        await waitFor(page, (s) => s[key] === false, `${label} let go`);
      }

      // Pause and resume; Back asks whether to leave the race, and No (tapped) stays.
      await until(page, () => tapControl(page, "Pause"), (s) => s.Overlay === OVERLAY.pause, "the pause after tapping Pause");
      await until(page, () => tapControl(page, "Pause"), (s) => s.Overlay === OVERLAY.none, "the race again after tapping Pause");
      await until(page, () => tapControl(page, "Back"), (s) => s.Overlay === OVERLAY.exitToMenu, "the exit question after tapping Back");
      await shot(page, "phone-exit-question.png");
      await until(page, () => tapPicture(page, 386 + 40, 296 + 20), (s) => s.Overlay === OVERLAY.none && s.Screen === SCREEN.race, "the race again after tapping No");
      console.log("pause, back and the exit question by taps");
    },

    // A new high score's name entered with the letter picker, by touch and by a game pad, and the
    // table showing it.
    async "phone-name"() {
      // The saves first, from a page that runs no game: ten rows below zero.
      const rows = Array.from({ length: 10 }, (_, i) => ({ name: "ANONYMOUS", score: -1 - i }));
      const saved = savedTable(rows);
      const setup = await open(PHONE, "?replay");
      await setup.waitForFunction("window.kestruneReady === true", { timeout: PATIENCE });
      await setup.evaluate(({ hs, options }) => new Promise((resolve, reject) => {
        try { FS.mkdir("/save"); } catch (e) { /* there already */ }
        FS.mount(IDBFS, {}, "/save");
        FS.writeFile("/save/hs", hs);
        FS.writeFile("/save/options", new Uint8Array(options));
        FS.syncfs(false, (err) => (err ? reject(err) : resolve()));
      }), saved);
      await setup.close();

      const page = await open(PHONE);
      const loaded = await waitFor(page, (s) => s.Screen === SCREEN.intro, "the intro screen");
      if (loaded.HighScores[0].Score !== -1) fail(`the prepared table was not taken: ${JSON.stringify(loaded.HighScores)}`);
      await tapIntoRace(page);
      await waitFor(page, (s) => s.Overlay === OVERLAY.none, "the race running");
      await until(page, () => tapControl(page, "Back"), (s) => s.Overlay === OVERLAY.exitToMenu, "the exit question");
      // The score the race ended with (0 unless the car scored while the taps were on their way).
      const entry = await until(page, () => tapPicture(page, 237 + 40, 296 + 20), (s) => s.Overlay === OVERLAY.nameEntry,
                                "the name entry after Yes");
      await waitForPage(page, () => !document.getElementById("picker").hidden, "the letter picker");
      await shot(page, "phone-picker.png");
      // A game pad (a stand-in the page and the game both read, as a browser's would be): down
      // moves from A to K, A picks it, B deletes it, A picks it again. The game itself must not
      // take the pad's A as Enter meanwhile, which would end the entry.
      await page.evaluate(() => {
        const buttons = Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 }));
        window.testPad = { id: "Test pad (STANDARD GAMEPAD)", index: 0, connected: true, mapping: "standard",
                           axes: [0, 0, 0, 0], buttons, get timestamp() { return performance.now(); } };
        navigator.getGamepads = () => [window.testPad];
        const connected = new Event("gamepadconnected");
        connected.gamepad = window.testPad;
        window.dispatchEvent(connected);
      });
      await waitForPage(page, () => !document.body.classList.contains("touch"), "the pads hidden when a game pad connects");
      await waitForPage(page, () => !document.getElementById("picker").hidden, "the picker still open for the pad");
      const padPress = async (button) => {
        await page.evaluate((b) => { testPad.buttons[b].pressed = true; testPad.buttons[b].value = 1; }, button);
        await sleep(400);
        await page.evaluate((b) => { testPad.buttons[b].pressed = false; testPad.buttons[b].value = 0; }, button);
        await sleep(400);
      };
      for (const [button, name] of [[13, ""], [0, "K"], [1, ""], [0, "K"]]) {
        await padPress(button);
        await waitFor(page, (s) => s.Overlay === OVERLAY.nameEntry && s.PlayerName === name, `the name "${name}" after pad button ${button}`);
      }
      const word = ["E", "S", "Delete", "S", "T", "R", "U", "N"];
      for (const label of word) await tapControl(page, label);
      await waitFor(page, (s) => s.PlayerName === "KESTRUN", "the name KESTRUN typed with the picker");
      // A key types as before (the game takes text now) and puts the picker away; a tap on the
      // picture brings it back, and the pad's Start enters the name.
      await page.keyboard.type("E");
      await waitFor(page, (s) => s.PlayerName === "KESTRUNE", "the E typed on the keyboard");
      await waitForPage(page, () => document.getElementById("picker").hidden, "the picker put away by a key");
      await tapPicture(page, 400, 500);
      await waitForPage(page, () => !document.getElementById("picker").hidden, "the picker back after a tap");
      // The tap is a click in the game too, which would press the table's Back if it came after
      // the name were entered: a few frames for the game to take it first.
      await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(() => requestAnimationFrame(r)))));
      await padPress(9);
      const table = await waitFor(page, (s) => s.Screen === SCREEN.highScores, "the high-score table after Done");
      if (table.HighScores[0].Name !== "KESTRUNE" || table.HighScores[0].Score !== entry.Score)
        fail(`the table does not show the new name first: ${JSON.stringify(table.HighScores[0])}`);
      await waitForPage(page, () => document.getElementById("picker").hidden, "the picker closed");
      await sleep(1500);
      await shot(page, "phone-high-scores.png");
      console.log(`the table's first row: ${table.HighScores[0].Name} ${table.HighScores[0].Score}`);
    },

    // Every screen by taps on the picture: options, help pages, high scores, the car choice's
    // arrows, the exit question both ways, and the goodbye window closed by its button.
    async "phone-screens"() {
      const page = await open(PHONE);
      const at = (x, y) => () => tapPicture(page, x, y);
      const start = await waitFor(page, (s) => s.Screen === SCREEN.intro, "the intro screen");
      await until(page, at(254 + 60, 504 + 12), (s) => s.Screen === SCREEN.menu, "the main menu");
      await until(page, at(56 + 60, 342 + 25), (s) => s.Screen === 4, "the options after tapping Options");
      await until(page, at(118 + 100, 375 + 25), (s) => s.SoundOn !== start.SoundOn, "the sound switched by a tap");
      await until(page, at(345 + 40, 513 + 20), (s) => s.Screen === SCREEN.menu, "the menu after the options' Back");
      await until(page, at(512 + 60, 342 + 25), (s) => s.Screen === 6, "the help after tapping Help");
      await until(page, at(622 + 30, 435 + 20), (s) => s.Selected === 2, "the help's next page tapped");
      await until(page, at(345 + 40, 513 + 20), (s) => s.Screen === SCREEN.menu, "the menu after the help's Back");
      await until(page, at(323 + 60, 133 + 25), (s) => s.Screen === SCREEN.highScores, "the high scores after tapping them");
      await until(page, at(52 + 60, 457 + 20), (s) => s.Screen === SCREEN.menu, "the menu after the table's Back");
      await until(page, at(284 + 60, 27 + 25), (s) => s.Screen === SCREEN.cars, "the car choice");
      await until(page, at(568 + 20, 328 + 30), (s) => s.Selected === 2, "the car choice's right arrow tapped");
      await until(page, at(198 + 20, 330 + 30), (s) => s.Selected === 1, "the car choice's left arrow tapped");
      await until(page, at(410 + 60, 475 + 20), (s) => s.Screen === SCREEN.menu, "the menu after the car choice's Back");
      await until(page, at(282 + 60, 498 + 25), (s) => s.Overlay === 1, "the exit question after tapping Exit");
      await until(page, at(386 + 40, 296 + 20), (s) => s.Overlay === OVERLAY.none, "the menu again after No");
      await until(page, at(282 + 60, 498 + 25), (s) => s.Overlay === 1, "the exit question again");
      await tapPicture(page, 237 + 40, 296 + 20);
      await waitForPage(page, () => !document.getElementById("overlay").hidden, "the goodbye window after Yes");
      await sleep(1000);
      await shot(page, "phone-goodbye.png");
      const r = await (await page.$("#goodbye")).boundingBox();
      const end = Date.now() + PATIENCE;
      while (!(await page.evaluate(() => window.kestruneEnded === 0)) && Date.now() < end) {
        await page.touchscreen.tap(r.x + (152 * r.width) / 320, r.y + (264 * r.height) / 300);
        await sleep(1000);
      }
      await waitForPage(page, () => !document.getElementById("thanks").hidden, "the thanks page after the goodbye window's Close");
      console.log("options, help, high scores, car choice, exit question and goodbye window by taps");
    },

    // Held upright, the phone shows its message over the paused game; turned back, it resumes.
    async "phone-portrait"() {
      const page = await open(PHONE);
      await tapIntoRace(page);
      await waitFor(page, (s) => s.Overlay === OVERLAY.none && s.TimeLeft > 0, "the race running");
      await page.setViewport(UPRIGHT);
      await waitForPage(page, () => !document.getElementById("turn").hidden, "the turn-your-phone message");
      await sleep(500);
      const paused = await state(page);
      await shot(page, "phone-portrait.png");
      await sleep(3000);
      const later = await state(page);
      if (later.TimeLeft !== paused.TimeLeft) fail(`the race ran on upright: time left ${paused.TimeLeft} -> ${later.TimeLeft}`);
      await page.setViewport(PHONE);
      await waitForPage(page, () => document.getElementById("turn").hidden, "the message gone when turned back");
      await waitFor(page, (s) => s.TimeLeft < later.TimeLeft, "the race running again");
      console.log(`time left stayed ${later.TimeLeft} over 3 s upright, and runs again sideways`);
    },

    // A session recorded in the page with touch controls replays natively to the same state and,
    // run again in the page, to the same summary and frame hash.
    async "phone-replay"() {
      const page = await open(PHONE, "?record");
      await tapIntoRace(page);
      await waitFor(page, (s) => s.Overlay === OVERLAY.none, "the race running");
      const pedal = await control(page, "Accelerate"), left = await control(page, "Steer left");
      const gas = await touch(page, pedal.cx, pedal.cy);
      await waitFor(page, (s) => s.Speed > 0, "the car driving");
      const thumb = await touch(page, left.cx, left.cy);
      const start = await state(page);
      await waitFor(page, (s) => turn(heading(start), heading(s)) <= -4, "the car turning");
      await thumb.end();
      await gas.end();
      await sleep(500);
      const script = await page.evaluate(() => Module.UTF8ToString(Module._kestrune_stop_recording()));
      const live = await state(page);
      if (!/keydown 0x26/.test(script) || !/keydown 0x25/.test(script)) fail(`the recording holds no pad keys:\n${script}`);
      const native = nativeReplay(script);
      const fields = ["Screen", "Overlay", "Level", "Score", "Speed", "Heading", "MapRowOffset", "MapColumnOffset", "TimeLeft"];
      for (const f of fields)
        if (JSON.stringify(native[f]) !== JSON.stringify(live[f]))
          fail(`${f} is ${JSON.stringify(live[f])} in the page and ${JSON.stringify(native[f])} replayed natively`);
      const inPage = JSON.parse(await page.evaluate((s) => Module.ccall("kestrune_run_replay", "string", ["string"], [s]), script));
      delete inPage.wall_ms;
      if (JSON.stringify(inPage) !== JSON.stringify(native))
        fail(`the page's replay differs from the native one:\npage:   ${JSON.stringify(inPage)}\nnative: ${JSON.stringify(native)}`);
      console.log(`${script.split("\n").length} lines recorded; native replay: frame hash ${native.LastFrameHash}, road row ${native.MapRowOffset}, heading ${native.Heading}`);
    },

    // The touch settings: left-handed swaps the sides, auto-accelerate drives with no finger on
    // the pedal, and both are still there after a reload (kept with the saves).
    async "phone-settings"() {
      const page = await open(PHONE);
      await waitFor(page, (s) => s.Screen === SCREEN.intro, "the intro screen");
      // A key hides the pads (the picture takes the room), the next touch brings them back.
      await page.keyboard.press("Shift");
      await waitForPage(page, () => !document.body.classList.contains("touch"), "the pads hidden after a key");
      await tapPicture(page, 400, 100);
      await waitForPage(page, () => document.body.classList.contains("touch"), "the pads shown again after a touch");
      for (const size of ["small", "large", "medium"]) {
        await page.evaluate((v) => { const e = document.getElementById("pad-size"); e.value = v; e.dispatchEvent(new Event("change")); }, size);
        const layout = await checkLayout(page, size !== "large");
        console.log(`${size} pads: picture ${layout.canvas.width} x ${layout.canvas.height}`);
      }
      const steerBefore = await control(page, "Steer left");
      await tapControl(page, "Touch settings");
      await waitForPage(page, () => !document.getElementById("touch-settings").hidden, "the settings");
      for (const id of ["left-handed", "auto-accelerate"]) {
        const box = await (await page.$(`#${id}`)).boundingBox();
        await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
      }
      await page.select("#pad-size", "large");
      await shot(page, "phone-settings.png");
      const close = await (await page.$("#touch-settings-close")).boundingBox();
      await page.touchscreen.tap(close.x + close.width / 2, close.y + close.height / 2);
      await waitForPage(page, () => document.getElementById("touch-settings").hidden, "the settings closed");
      const steerAfter = await control(page, "Steer left");
      if (!(steerAfter.x > steerBefore.x + 300)) fail(`left-handed did not move the steering to the right (${steerBefore.x} -> ${steerAfter.x})`);
      await shot(page, "phone-left-handed.png");
      const race = await tapIntoRace(page);
      await waitFor(page, (s) => s.Overlay === OVERLAY.none, "the race running");
      await waitFor(page, (s) => s.Speed > 0 && s.MapRowOffset !== race.MapRowOffset, "the car driving by itself with auto-accelerate");
      const brake = await control(page, "Brake");
      const foot = await touch(page, brake.cx, brake.cy);
      const braking = await state(page);
      await waitFor(page, (s) => s.Speed < braking.Speed, "the car slowing while Brake is held");
      await foot.end();
      await waitForPage(page, () => (window.kestruneSaves || 0) > 0 && !Module.kestruneSaving, "the settings written to the browser's storage");
      await page.reload({ waitUntil: "load" });
      await waitFor(page, (s) => s.Screen === SCREEN.intro, "the intro screen after the reload");
      await waitForPage(page, () => document.body.classList.contains("left-handed") && document.body.dataset.pads === "large" &&
                        document.getElementById("auto-accelerate").checked, "the settings after the reload");
      console.log("left-handed, large pads and auto-accelerate, still set after a reload");
    },

    // A desktop without touch shows no pads (and its full-screen button); a browser without full
    // screen (an iPhone) shows no full-screen button at all.
    async "phone-desktop"() {
      const page = await open(DESKTOP);
      await waitFor(page, (s) => s.Screen === SCREEN.intro, "the intro screen");
      const shown = await page.evaluate((labels) => labels.filter((l) => {
        const r = document.querySelector(`[aria-label="${l}"]`).getBoundingClientRect();
        return r.width > 0 && r.height > 0;
      }), LABELS);
      if (shown.length > 0) fail(`pads shown on a desktop without touch: ${shown.join(", ")}`);
      if (!(await page.$eval("#full-screen", (b) => b.getBoundingClientRect().width > 0))) fail("no full-screen button on the desktop");
      const phone = await browser.newPage();
      await phone.setViewport(PHONE);
      await phone.evaluateOnNewDocument(() => {
        Object.defineProperty(Document.prototype, "fullscreenEnabled", { get: () => false });
        Object.defineProperty(Document.prototype, "webkitFullscreenEnabled", { get: () => false });
      });
      await phone.goto(base, { waitUntil: "load" });
      const offered = await phone.evaluate(() => [...document.querySelectorAll(".full-screen")].filter((b) => b.getBoundingClientRect().width > 0).length);
      if (offered > 0) fail("a full-screen button is offered where the browser has no full screen");
      await shot(phone, "phone-no-full-screen.png");
      console.log("no pads on the desktop; no full-screen button without full screen");
    },
  };
}
