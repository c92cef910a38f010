// The game's web page in the system's headless Chromium, driven through the DevTools protocol:
// the page loads clean, every screen shows as on the desktop (the same checks, colours and places
// as tests/game/end_to_end.sh, on screenshots) under real key events, sound reaches the audio
// graph, the frames keep their pace, the mouse reads the pointer; phones in both orientations
// play through the touch controls, two scripted gamepads play; a slow network shows the load's
// progress, and the game played again starts afresh; then the frame's cost against the native
// one, the load time and the folder's size, and the page's word when the browser lacks
// WebAssembly or WebAudio. Then the library's five examples, each on its page as on the desktop
// (their pictures kept in OUTPUT_FOLDER/shots for the reference), and the getting-started program
// built against the web build's install (run.sh builds it into install-check/build).
// Usage: node web_test.mjs BASE_URL SITE_FOLDER NATIVE_BENCH_JSON OUTPUT_FOLDER
import puppeteer from 'puppeteer-core';
import {mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {inflateSync} from 'node:zlib';

const [base, site, nativeJson, out] = process.argv.slice(2);
const LOAD_LIMIT_MS = 1000, FOLDER_LIMIT = 1500000, FRAME_RATIO_LIMIT = 2;
const VIEW = {width: 960, height: 600};  // wider than 4:3, so the picture is centred between bars

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const figures = [];
let passed = 0;
function check(ok, what) {
  if (!ok) throw new Error(what);
  ++passed;
}

// ---- screenshots ----

// An 8-bit RGB or RGBA PNG, as Chromium writes its screenshots.
function decodePng(buf) {
  let pos = 8, width = 0, height = 0, depth = 0, type = 0, interlace = 0;
  const data = [];
  while (pos < buf.length) {
    const length = buf.readUInt32BE(pos), kind = buf.toString('latin1', pos + 4, pos + 8);
    const body = buf.subarray(pos + 8, pos + 8 + length);
    if (kind === 'IHDR') {
      [width, height, depth, type, interlace] = [body.readUInt32BE(0), body.readUInt32BE(4), body[8], body[9], body[12]];
    } else if (kind === 'IDAT') {
      data.push(body);
    } else if (kind === 'IEND') {
      break;
    }
    pos += 12 + length;
  }
  if (depth !== 8 || (type !== 2 && type !== 6) || interlace) throw new Error(`unexpected PNG layout ${depth}/${type}/${interlace}`);
  const bpp = type === 6 ? 4 : 3, stride = width * bpp, raw = inflateSync(Buffer.concat(data));
  const px = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)], line = y * (stride + 1) + 1, row = y * stride;
    for (let x = 0; x < stride; x++) {
      const a = x >= bpp ? px[row + x - bpp] : 0, b = y ? px[row - stride + x] : 0;
      const c = x >= bpp && y ? px[row - stride + x - bpp] : 0;
      let v = raw[line + x];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      px[row + x] = v & 255;
    }
  }
  return {width, height, bpp, px};
}

// A rectangle in 640 x 480 game coordinates, mapped the way the picture is scaled onto the page
// (centred, aspect kept), as whole screenshot pixels.
function area(shot, x, y, w, h) {
  const s = Math.min(shot.width / 640, shot.height / 480);
  const ox = (shot.width - 640 * s) / 2, oy = (shot.height - 480 * s) / 2;
  return [Math.trunc(ox + x * s), Math.trunc(oy + y * s), Math.trunc(w * s), Math.trunc(h * s)];
}

function countPixels(shot, x, y, w, h, colour) {
  const [ax, ay, aw, ah] = area(shot, x, y, w, h);
  let n = 0;
  for (let j = ay; j < ay + ah; j++)
    for (let i = ax; i < ax + aw; i++) {
      const at = (j * shot.width + i) * shot.bpp;
      if (colour(shot.px[at], shot.px[at + 1], shot.px[at + 2])) n++;
    }
  return n;
}

function sameArea(one, two, x, y, w, h) {
  const [ax, ay, aw, ah] = area(one, x, y, w, h);
  for (let j = ay; j < ay + ah; j++) {
    const from = (j * one.width + ax) * one.bpp, to = from + aw * one.bpp;
    if (one.px.compare(two.px, from, to, from, to) !== 0) return false;
  }
  return true;
}

const RED = (r, g, b) => r > 150 && g < 100 && b < 100;
const GOLD = (r, g, b) => r > 200 && g > 120 && b < 110;
const COURT_GREEN = (r, g, b) => r > 100 && r < 150 && g > 165 && g < 205 && b > 70 && b < 110;
const BLACK = (r, g, b) => r < 40 && g < 40 && b < 40;
const BLUE = (r, g, b) => b > 150 && r < 110;
const TEAL = (r, g, b) => r < 100 && g > 100 && g < 200 && b > 110;

// ---- the browser ----

const userData = mkdtempSync(join(tmpdir(), 'zarn-web-'));
const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  defaultViewport: VIEW,
  args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         `--user-data-dir=${userData}`, `--window-size=${VIEW.width},${VIEW.height}`]
});

async function openPage(url, prepare, before) {
  const page = await browser.newPage();
  const problems = [];
  page.on('console', (m) => { if (/^(error|warn)/.test(m.type())) problems.push(`console: ${m.text()}`); });
  page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
  page.on('requestfailed', (r) => problems.push(`request failed: ${r.url()}`));
  page.on('response', (r) => { if (r.status() >= 400) problems.push(`HTTP ${r.status()}: ${r.url()}`); });
  if (prepare) await page.evaluateOnNewDocument(prepare);
  if (before) await before(page);
  await page.goto(url);
  return {page, problems};
}

const menuShown = (page, timeout = 15000) =>
  page.waitForFunction(() => window.Module && Module.zarnStats && Module.zarnStats.firstFlipPainted > 0, {timeout});

// The loudest sample the test tap hears within three seconds, until it passes 0.02.
async function audioPeak(page) {
  let peak = 0;
  for (let i = 0; i < 60 && peak < 0.02; i++) {
    await sleep(50);
    peak = Math.max(peak, await page.evaluate(() => {
      if (!Module.zarnTap) return 0;
      const samples = new Float32Array(Module.zarnTap.fftSize);
      Module.zarnTap.getFloatTimeDomainData(samples);
      return samples.reduce((m, v) => Math.max(m, Math.abs(v)), 0);
    }));
  }
  return peak;
}

// Screenshots of the page, or of the picture alone (clip: where the canvas is on the page).
function screens(page, clip) {
  async function shot(name) {
    return decodePng(Buffer.from(await page.screenshot({path: join(out, `${name}.png`), clip})));
  }
  // Screenshots until every expectation holds (the page may be a frame or two behind the keys).
  async function expectScreen(name, expectations, wait = 4000) {
    const deadline = Date.now() + wait;
    for (;;) {
      const s = await shot(name);
      const missing = expectations
        .map(([x, y, w, h, colour, least, what, most]) => {
          const n = countPixels(s, x, y, w, h, colour);
          return (n >= least && (most === undefined || n <= most)) ? null : `${what}: ${n} matching pixels`;
        })
        .filter((m) => m);
      if (!missing.length) {
        passed += expectations.length;
        return s;
      }
      if (Date.now() > deadline) throw new Error(`${name}.png: ${missing.join('; ')}`);
      await sleep(100);
    }
  }
  return {shot, expectScreen};
}

// What the screens show, as the main session first checks it.
const MENU = [[60, 300, 20, 60, RED, 20, 'the pointer at item 1'],
              [60, 48, 520, 60, GOLD, 2000, 'the title'],
              [400, 300, 20, 60, RED, 0, 'no pointer at item 2', 4]];
const COURT = [[60, 120, 80, 80, COURT_GREEN, 3000, 'the court'],
               [0, 250, 24, 80, RED, 50, 'the left racquet'],
               [125, 20, 150, 14, BLACK, 40, 'the left score'],
               [400, 20, 160, 14, BLACK, 40, 'the right score']];
const RACQUETS = [[0, 0, 24, 100, RED, 50, 'the left racquet at the top'],
                  [0, 250, 24, 80, RED, 0, 'no left racquet in the middle', 4],
                  [616, 376, 24, 104, BLUE, 50, 'the right racquet at the bottom'],
                  [616, 250, 24, 80, BLUE, 0, 'no right racquet in the middle', 4]];
const PAUSED = [[160, 180, 336, 64, TEAL, 3000, 'the pause banner'],
                [260, 400, 150, 14, BLACK, 40, 'the pause text']];
const TITLE = [[60, 48, 520, 60, GOLD, 2000, 'the title']];

async function mainSession() {
  const {page, problems} = await openPage(`${base}/site/index.html?test`);
  const stats = (what) => page.evaluate(what);

  await menuShown(page);

  // A key held long enough for a once-a-frame snapshot to see it.
  async function press(key, hold = 150) {
    if (process.env.ZARN_WEB_DEBUG) log.push([key, await stats(() => performance.now())]);
    await page.keyboard.down(key);
    await sleep(hold);
    await page.keyboard.up(key);
    await sleep(200);
  }
  const log = [];
  const {shot, expectScreen} = screens(page);

  // A desktop without a touch screen shows no touch controls, and says to press a key.
  check(await stats(() => [...document.querySelectorAll('[data-key]')].every((e) => !e.getClientRects().length)),
        'the touch controls show on a desktop without a touch screen');
  check(/Press any key/.test(await stats(() => document.getElementById('hint').textContent)), 'the hint is not for a keyboard');

  // The main menu with the pointer at item 1, under the title.
  await expectScreen('menu', MENU);

  // The first key press starts the sound: the welcome, waiting since the menu showed, plays.
  await press('ArrowRight');
  await expectScreen('menu_right', [[400, 300, 20, 60, RED, 20, 'the pointer at item 2'],
                                    [60, 300, 20, 60, RED, 0, 'no pointer at item 1', 4]]);
  const peak = await audioPeak(page);
  figures.push(`audio peak ${peak.toFixed(3)} after the welcome sound`);
  check(peak >= 0.02, `the audio graph received only silence (peak ${peak})`);
  // A secure page (127.0.0.1 is one) plays through an AudioWorklet.
  check(await stats(() => Module.zarnOutput instanceof AudioWorkletNode), 'the sound does not go through an AudioWorklet');

  // F asks for full screen and F again leaves it; the keys the game uses are kept from scrolling
  // or leaving the page, the others are not.
  await stats(() => window.addEventListener('keydown', (e) => {
    (window.zarnPrevented = window.zarnPrevented || {})[e.code] = e.defaultPrevented;
  }));
  await press('KeyF');
  check(await stats(() => document.fullscreenElement === document.documentElement), 'F did not ask for full screen');
  await press('KeyF');
  check(await stats(() => !document.fullscreenElement), 'F again did not leave full screen');

  // Enter on item 2 opens the options: the pointer at the first speed, the normal speed boxed;
  // Down and Enter go back to the main menu, Left and Enter start a game.
  await press('Enter');
  await expectScreen('options', [[210, 240, 20, 60, RED, 20, 'the pointer at the slow speed'],
                                 [60, 48, 520, 60, GOLD, 1000, 'the title'],
                                 [400, 300, 20, 60, RED, 0, 'no main-menu pointer', 4]]);
  await press('ArrowDown');
  await press('Enter');
  await expectScreen('menu_back', [[400, 300, 20, 60, RED, 20, 'the pointer at item 2'],
                                   [60, 48, 520, 60, GOLD, 2000, 'the title']]);
  await press('ArrowLeft');
  await press('Enter');
  const frameFrom = (await stats(() => Module.zarnStats.frames.length));

  // The court, the racquets and both scores.
  const court = await expectScreen('court', COURT);

  // Space serves; holding still, the left player loses the point.
  await press('Space');
  await sleep(3000);
  // (The serve's angle is random: a racquet standing still may return the ball a few times.)
  const point = await expectScreen('point', [[140, 180, 384, 64, BLUE, 3000, "the right player's banner"]], 20000);
  check(!sameArea(court, point, 400, 20, 200, 20), 'the right score text did not change');

  // Space leaves the point screen for the right player's serve; A and Down move the racquets.
  await press('Space');
  await press('KeyA', 600);
  await press('ArrowDown', 600);
  await expectScreen('racquets', RACQUETS);

  // A key held while the page loses the keyboard is let go: the racquet stops.
  await page.keyboard.down('KeyZ');
  await sleep(150);
  await stats(() => window.dispatchEvent(new Event('blur')));
  await sleep(150);
  const blurred = await shot('blurred');
  await sleep(300);
  check(sameArea(blurred, await shot('blurred_later'), 0, 0, 24, 480), 'the left racquet kept moving after the blur');
  await page.keyboard.up('KeyZ');
  // Meta's release lets go of the keys pressed while it was held (macOS sends no release of them).
  await page.keyboard.down('MetaLeft');
  await page.keyboard.down('ArrowUp');
  await sleep(150);
  await page.keyboard.up('MetaLeft');
  await sleep(150);
  const afterMeta = await shot('after_meta');
  await sleep(300);
  check(sameArea(afterMeta, await shot('after_meta_later'), 616, 0, 24, 480), 'the right racquet kept moving after Meta');
  await page.keyboard.up('ArrowUp');
  const prevented = await stats(() => window.zarnPrevented);
  for (const code of ['ArrowLeft', 'ArrowDown', 'Space'])
    check(prevented[code] === true, `${code} was not kept from the page`);
  check(prevented.KeyF === false && prevented.KeyA === false, 'keys the page may use were kept from it');

  // Serve, then P pauses: the banner, and nothing moves; P again and the ball moves on.
  await press('Space');
  await press('KeyP');
  const paused = await expectScreen('paused', PAUSED);
  await sleep(300);
  check(sameArea(paused, await shot('paused_later'), 0, 0, 640, 480), 'the picture changed while paused');
  await press('KeyP');
  const moving = await shot('moving');
  await sleep(200);
  check(!sameArea(moving, await shot('moving_later'), 0, 0, 640, 480), 'nothing moved after the pause');

  // The frames of play keep their pace: none shorter than 20 ms, the median within 1 ms of it.
  const frames = await stats(() => Module.zarnStats.frames.slice());
  if (process.env.ZARN_WEB_DEBUG) {
    const long = frames.map((t, i) => [i ? t - frames[i - 1] : 0, t]).filter(([d]) => d > 25);
    console.log('long frames', JSON.stringify(long), 'log', JSON.stringify(log));
  }
  const periods = frames.slice(frameFrom).map((t, i, all) => (i ? t - all[i - 1] : null)).slice(1)
    .sort((a, b) => a - b);
  check(periods.length >= 100, `only ${periods.length} frames of play were recorded`);
  const median = periods[periods.length >> 1], shortest = periods[0];
  figures.push(`frame pacing median ${median.toFixed(2)} ms, shortest ${shortest.toFixed(2)} ms, ` +
               `longest ${periods[periods.length - 1].toFixed(2)} ms over ${periods.length} frames`);
  check(Math.abs(median - 20) <= 1, `the median frame took ${median} ms`);
  check(shortest >= 20, `a frame took ${shortest} ms`);

  // The mouse over the canvas as the game reads it: motion in the game's pixels (the canvas is
  // scaled in the page), slow motion kept rather than rounded away, the buttons and the wheel.
  const box = await stats(() => JSON.parse(JSON.stringify(document.getElementById('screen').getBoundingClientRect())));
  const at = (x, y) => [box.x + (x * box.width) / 640, box.y + (y * box.height) / 480];
  const take = () => stats(() => Array.from(Module.HEAP32.subarray(Module._web_mouse_take() >> 2).slice(0, 7)));
  await page.mouse.move(...at(100, 100));
  await take();
  await page.mouse.move(...at(300, 160), {steps: 7});
  await page.mouse.down({button: 'right'});
  await page.mouse.wheel({deltaY: -200});
  const held = await take();
  await page.mouse.up({button: 'right'});
  const [sx, sy] = at(300, 160);
  for (let i = 1; i <= 40; i++) await page.mouse.move(sx + i, sy);
  const slow = await take();
  const near = (got, want) => Math.abs(got - want) <= 1;
  check(near(held[0], 200) && near(held[1], 60) && held.slice(2).join() === '240,0,1,0,0' &&
        near(slow[0], (40 * 640) / box.width) && slow.slice(1).join() === '0,0,0,0,0,0',
        `the mouse read ${held} held and ${slow} after slow motion`);

  // Escape returns to the menu; Escape again fades out and the page says the game has ended.
  await press('Escape');
  check(await stats(() => window.zarnPrevented.Escape === true), 'Escape was not kept from the page');
  await expectScreen('menu_again', TITLE);
  await press('Escape');
  await page.waitForFunction(() => getComputedStyle(document.getElementById('ended')).display !== 'none',
                             {timeout: 10000});
  await shot('ended');
  check(problems.length === 0, `the page reported problems:\n  ${problems.join('\n  ')}`);
  await page.close();
}

// A phone held one way: the touch controls are there, inside the screen, named, off the picture,
// which keeps its 4:3; a game is played with them, both players at once with two fingers.
async function phoneSession(name, width, height) {
  const {page, problems} = await openPage(`${base}/site/index.html?test`, null,
    (p) => p.setViewport({width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 2}));
  await menuShown(page);
  const layout = await page.evaluate(() => {
    const box = (e) => JSON.parse(JSON.stringify(e.getBoundingClientRect()));
    return {screen: box(document.getElementById('screen')), view: [innerWidth, innerHeight],
            hint: document.getElementById('hint').textContent,
            keys: [...document.querySelectorAll('[data-key]')].map((e) => ({
              code: e.dataset.key, name: e.getAttribute('aria-label') || e.textContent, box: box(e)}))};
  });
  const {screen, keys} = layout, [vw, vh] = layout.view;
  const codes = keys.map((k) => k.code).sort().join();
  check(codes === 'ArrowDown,ArrowLeft,ArrowRight,ArrowUp,Enter,Escape,KeyA,KeyP,KeyZ,Space', `${name}: controls ${codes}`);
  for (const {code, name: label, box} of keys) {
    check(box.width >= 40 && box.height >= 40 && box.x >= 0 && box.y >= 0 && box.right <= vw && box.bottom <= vh,
          `${name}: ${code} is not a control inside the screen: ${JSON.stringify(box)}`);
    check(/\w/.test(label), `${name}: ${code} has no name`);
    const apart = box.right <= screen.x + 0.5 || box.x >= screen.right - 0.5 ||
                  box.bottom <= screen.y + 0.5 || box.y >= screen.bottom - 0.5;
    check(apart, `${name}: ${code} covers the picture`);
  }
  const near = (code, side) => keys.find((k) => k.code === code).box[side === 'left' ? 'x' : 'right'];
  const edge = vw * 0.05;
  check(near('KeyA', 'left') < edge && near('KeyZ', 'left') < edge && near('ArrowUp', 'right') > vw - edge &&
        near('ArrowDown', 'right') > vw - edge, `${name}: the racquets' controls are not at the edges`);
  check(Math.abs(screen.width * 3 - screen.height * 4) < 4 && screen.width >= Math.min(vw, vh) * 0.55,
        `${name}: the picture is ${screen.width} x ${screen.height}`);
  check(/Tap to start the sound/.test(layout.hint), `${name}: the hint says ${layout.hint}`);

  // Fingers through the DevTools protocol, each held on a control's centre, then all lifted.
  const cdp = await page.createCDPSession();
  const centre = (code) => {
    const b = keys.find((k) => k.code === code).box;
    return {x: b.x + b.width / 2, y: b.y + b.height / 2};
  };
  async function touch(held, hold = 150) {
    const touchPoints = held.map((code, i) => ({...centre(code), id: i + 1}));
    await cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints});
    await sleep(hold);
    await cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
    await sleep(200);
  }
  const clip = {x: screen.x, y: screen.y, width: screen.width, height: screen.height};
  const {shot, expectScreen} = screens(page, clip);
  await touch(['Enter']);
  await expectScreen(`${name}_court`, COURT);
  const peak = await audioPeak(page);
  check(peak >= 0.02, `${name}: the first touch did not start the sound (peak ${peak})`);
  await touch(['KeyA', 'ArrowDown'], 600);
  await expectScreen(`${name}_racquets`, RACQUETS);
  // A finger sliding off its control onto the picture lets go: the racquet stops.
  await cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [{...centre('KeyZ'), id: 1}]});
  await sleep(150);
  await cdp.send('Input.dispatchTouchEvent',
                 {type: 'touchMove', touchPoints: [{x: screen.x + screen.width / 2, y: screen.y + screen.height / 2, id: 1}]});
  await sleep(150);
  const slid = await shot(`${name}_slid`);
  await sleep(300);
  check(sameArea(slid, await shot(`${name}_slid_later`), 0, 0, 24, 480), `${name}: the racquet kept moving after the finger left`);
  await cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
  await touch(['Space']);
  const serve = await shot(`${name}_serve`);
  await sleep(200);
  check(!sameArea(serve, await shot(`${name}_serve_later`), 24, 40, 592, 400), `${name}: Space did not serve`);
  await touch(['KeyP']);
  await expectScreen(`${name}_paused`, PAUSED);
  await touch(['Escape']);
  await expectScreen(`${name}_menu`, TITLE);
  check(problems.length === 0, `${name}: the page reported problems:\n  ${problems.join('\n  ')}`);
  await page.close();
}

// Two gamepads scripted before the page's scripts: Start starts a game, the first pad's d-pad
// moves the left racquet, the second's the right one; a pad unplugged lets go of its keys.
async function padSession() {
  const {page, problems} = await openPage(`${base}/site/index.html?test`, () => {
    const pad = (index) => ({index, id: `scripted pad ${index}`, connected: true, mapping: 'standard', timestamp: 0,
                             axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))});
    window.zarnPads = [pad(0), pad(1)];
    Object.defineProperty(navigator, 'getGamepads', {value: () => window.zarnPads.slice()});
  });
  await menuShown(page);
  const button = async (pad, b, hold) => {
    await page.evaluate((p, i) => { Object.assign(window.zarnPads[p].buttons[i], {pressed: true, value: 1}); }, pad, b);
    await sleep(hold);
    await page.evaluate((p, i) => { Object.assign(window.zarnPads[p].buttons[i], {pressed: false, value: 0}); }, pad, b);
    await sleep(200);
  };
  const {shot, expectScreen} = screens(page);
  await expectScreen('pads_menu', MENU);
  await button(0, 9, 150);
  await expectScreen('pads_court', COURT);
  await button(0, 12, 600);
  await button(1, 13, 600);
  await expectScreen('pads_racquets', RACQUETS);
  await page.evaluate(() => { Object.assign(window.zarnPads[0].buttons[13], {pressed: true, value: 1}); });
  await sleep(150);
  await page.evaluate(() => { window.zarnPads[0] = null; });
  await sleep(150);
  const unplugged = await shot('pads_unplugged');
  await sleep(300);
  check(sameArea(unplugged, await shot('pads_unplugged_later'), 0, 0, 24, 480), 'the left racquet kept moving after its pad left');
  check(problems.length === 0, `the gamepad page reported problems:\n  ${problems.join('\n  ')}`);
  await page.close();
}

// About 400 kbit/s: the load's progress shows at once and moves until the main menu shows; the
// program ended with Escape is played again in the same page, afresh (the menu's pointer back at
// item 1, the welcome sound again).
async function slowSession() {
  const {page, problems} = await openPage(`${base}/site/index.html?test`, null, async (p) => {
    const cdp = await p.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
    await cdp.send('Network.emulateNetworkConditions',
                   {offline: false, latency: 40, downloadThroughput: 50000, uploadThroughput: 50000});
  });
  const seen = [];
  for (let i = 0; i < 1200; i++) {
    const now = await page.evaluate(() => ({
      shown: getComputedStyle(document.getElementById('loading')).display !== 'none',
      value: document.querySelector('#loading progress').value,
      text: document.querySelector('#loading span').textContent,
      menu: !!(window.Module && Module.zarnStats && Module.zarnStats.firstFlipPainted)}));
    if (now.menu) {
      check(!now.shown, 'the progress still shows over the main menu');
      break;
    }
    if (now.shown && (!seen.length || seen[seen.length - 1].text !== now.text)) seen.push(now);
    await sleep(100);
  }
  await menuShown(page, 1000);
  // The bytes counted grow at every change seen, and once both sizes are known, so does the share.
  const counted = seen.filter((s) => /\d/.test(s.text)).map((s) => +/Loading ([\d,]+)/.exec(s.text)[1].replace(/,/g, ''));
  const shares = seen.filter((s) => / of /.test(s.text)).map((s) => s.value);
  check(counted.length >= 5 && counted.every((v, i) => !i || v > counted[i - 1]) &&
        shares.length >= 3 && shares.every((v, i) => !i || v > shares[i - 1]),
        `the progress did not move: ${JSON.stringify(seen)}`);
  const early = await page.evaluate(() => {
    const paint = performance.getEntriesByName('first-contentful-paint')[0];
    const shown = performance.getEntriesByName('zarn-progress')[0];
    return paint && shown ? shown.startTime - paint.startTime : NaN;
  });
  figures.push(`at 400 kbit/s: the bytes to load counted ${early.toFixed(0)} ms after the first paint, ` +
               `${counted.length} steps seen up to ${counted[counted.length - 1]} kB`);
  check(early <= 300, `the progress counted no bytes until ${early} ms after the first paint`);

  const {expectScreen} = screens(page);
  await page.keyboard.press('ArrowRight', {delay: 150});
  await expectScreen('slow_menu_right', [[400, 300, 20, 60, RED, 20, 'the pointer at item 2']]);
  await page.keyboard.press('Escape', {delay: 150});
  await page.waitForFunction(() => getComputedStyle(document.getElementById('ended')).display !== 'none',
                             {timeout: 10000});
  await page.click('#again');
  await expectScreen('played_again', MENU);
  const peak = await audioPeak(page);
  check(peak >= 0.02, `played again, the welcome sound did not play (peak ${peak})`);
  check(problems.length === 0, `the slow page reported problems:\n  ${problems.join('\n  ')}`);
  await page.close();
}

// From the start of the page's load to the main menu on the screen, three times (the machine may
// be busy with other work): the quickest is the page's own time.
async function loadTime() {
  const loads = [];
  for (let i = 0; i < 3; i++) {
    const {page, problems} = await openPage(`${base}/site/index.html`);
    await page.waitForFunction(() => window.Module && Module.zarnStats && Module.zarnStats.firstFlipPainted > 0,
                               {timeout: 15000});
    loads.push(await page.evaluate(() => {
      const mark = (name) => (performance.getEntriesByName(name)[0] || {startTime: NaN}).startTime.toFixed(0);
      return {total: Module.zarnStats.firstFlipPainted,
              parts: `script run ${mark('zarn-script')}, game started ${mark('zarn-started')}, ` +
                     `first frame ${Module.zarnStats.firstFlip.toFixed(0)}`};
    }));
    check(problems.length === 0, `loading the page reported problems:\n  ${problems.join('\n  ')}`);
    await page.close();
  }
  const best = loads.reduce((a, b) => (b.total < a.total ? b : a));
  figures.push(`load to main menu ${best.total.toFixed(0)} ms (${best.parts}; limit ${LOAD_LIMIT_MS}), ` +
               `quickest of ${loads.map((l) => l.total.toFixed(0)).join(', ')}`);
  check(best.total <= LOAD_LIMIT_MS, `the main menu showed ${best.total.toFixed(0)} ms after the page began loading`);
}

// The cost of a frame of play in the page against the native headless frame in this run.
async function frameCost() {
  const {page, problems} = await openPage(`${base}/bench-site/index.html`);
  const line = await new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('the page benchmark printed nothing')), 120000);
    page.on('console', (m) => {
      if (m.text().startsWith('{')) {
        clearTimeout(timer);
        resolve(m.text());
      }
    });
  });
  const web = JSON.parse(line);
  const native = JSON.parse(readFileSync(nativeJson, 'utf8')).benchmarks
    .find((b) => b.name === 'BM_GameFrame_Play_Headless');
  // The native frame's processor time: the page's quickest batch is the one least disturbed by
  // whatever else the machine runs, so both sides leave that out.
  const nativeUs = native.cpu_time * {ns: 1e-3, us: 1, ms: 1e3}[native.time_unit];
  const ratio = web.frame_us / nativeUs;
  figures.push(`frame of play ${web.frame_us.toFixed(1)} us in the page, ${nativeUs.toFixed(1)} us native: ` +
               `ratio ${ratio.toFixed(2)} (limit ${FRAME_RATIO_LIMIT})`);
  figures.push(`paint of a shown picture into the canvas ${web.paint_us.toFixed(1)} us, once a display refresh`);
  check(ratio <= FRAME_RATIO_LIMIT, `a frame of play in the page costs ${ratio.toFixed(2)} times the native one`);
  check(problems.length === 0, `the benchmark page reported problems:\n  ${problems.join('\n  ')}`);
  await page.close();
}

// Without WebAssembly the page says so; without WebAudio the game plays silently and says so.
async function missingFeatures() {
  let {page} = await openPage(`${base}/site/index.html`, () => { delete window.WebAssembly; });
  await page.waitForFunction(() => getComputedStyle(document.getElementById('message')).display !== 'none');
  const said = await page.evaluate(() => document.getElementById('message').textContent);
  check(/WebAssembly/.test(said), `without WebAssembly the page said: ${said}`);
  await page.screenshot({path: join(out, 'no_webassembly.png')});
  await page.close();

  ({page} = await openPage(`${base}/site/index.html`, () => {
    delete window.AudioContext;
    delete window.webkitAudioContext;
  }));
  await page.waitForFunction(() => window.Module && Module.zarnStats && Module.zarnStats.firstFlipPainted > 0,
                             {timeout: 15000});
  const notice = await page.evaluate(() => document.getElementById('notice').textContent);
  check(/WebAudio/.test(notice) && /without sound/.test(notice), `without WebAudio the page said: ${notice}`);
  await page.screenshot({path: join(out, 'no_webaudio.png')});
  await page.close();

  // A browser that will not open sound at a chosen rate, and has no AudioWorklet: the sound
  // plays at the browser's own rate through the older node.
  let problems;
  ({page, problems} = await openPage(`${base}/site/index.html?test`, () => {
    const Real = window.AudioContext;
    window.AudioContext = class extends Real {
      constructor(options) {
        if (options && options.sampleRate) throw new DOMException('unsupported sample rate', 'NotSupportedError');
        super({...options, sampleRate: 44100});
      }
    };
    delete window.AudioWorkletNode;
  }));
  await menuShown(page);
  await page.keyboard.press('ArrowRight', {delay: 150});
  const peak = await audioPeak(page);
  const rate = await page.evaluate(() => Module.zarnTap && Module.zarnTap.context.sampleRate);
  check(peak >= 0.02 && rate === 44100, `at the browser's own rate the sound peaked at ${peak} (rate ${rate})`);
  // The older node is deprecated: the browser says so, and nothing else.
  check(problems.every((p) => /ScriptProcessorNode/.test(p)), `the page reported problems:\n  ${problems.join('\n  ')}`);
  await page.close();
}

// ---- the examples and the installed library ----

// The examples as the desktop end-to-end check sees them (tests/examples/end_to_end.sh: the same
// places and colours), then one key each and what it changes. `after` gets the counts of the
// first picture's checks.
const DARK = (r, g, b) => r < 40 && g < 40 && b < 60;
const GREEN = (r, g, b) => g > 150 && r < 200 && b < 120 && g > r;
const SKY = (r, g, b) => b > 200 && r < 140 && g > 90 && g < 230;
const STOPPED = (r, g, b) => r > 80 && r < 110 && r === g && g === b;
const GREY = (r, g, b) => r > 180 && r < 230 && g > 180 && g < 230 && b > 180 && b < 230;
const COLOURFUL = (r, g, b) => (r > 200 || g > 200 || b > 200) && (r < 80 || g < 80 || b < 80);
const LIT = (r, g, b) => g > 200 && r < 30 && b < 30;
const EXAMPLES = [
  {name: 'sprites',
   picture: [[0, 0, 640, 2, DARK, 600, 'the band behind the text'],
             [0, 24, 640, 456, GREEN, 500, 'the green creatures'],
             [0, 24, 640, 456, SKY, 500, 'the blue creatures'],
             [0, 24, 640, 456, (r, g, b) => b > 60 && b < 140 && r > 30 && r < 110 && g < 90, 150000, 'the backdrop'],
             [260, 4, 370, 14, (r, g) => r > 150 && g > 200, 200, 'the help text']],
   // Down takes creatures away while held.
   key: 'ArrowDown', hold: 1500,
   after: (n) => [[0, 24, 640, 456, GREEN, 0, 'fewer green creatures', Math.floor(n[1] * 0.6)]]},
  {name: 'palette',
   picture: [[160, 70, 320, 320, COLOURFUL, 40000, 'the spiral'],
             [0, 420, 640, 60, (r, g, b) => b > 80 && r < 140, 20000, 'the sea'],
             [0, 0, 640, 52, (r, g, b) => r > 200 && g > 200 && b > 200, 1000, 'the help text']],
   key: 'Digit8', hold: 300,
   after: () => [[0, 60, 140, 340, RED, 15000, 'the surround faded to red']]},
  {name: 'drawing',
   picture: [[0, 0, 640, 3, (r, g, b) => r > 30 && r < 50 && r === g && g === b, 1500, 'the bar at the top'],
             [0, 24, 640, 2, (r, g, b) => g > 120 && r < 30 && b < 30, 800, 'the line under the bar'],
             [0, 30, 640, 260, (r, g, b) => r > 120 && r === g && g === b, 12, 'the stars'],
             [0, 310, 640, 170, (r, g, b) => b > 100 && r < 40 && g < 40, 2000, 'the floor'],
             [80, 40, 480, 400, LIT, 300, 'the cube'],
             [620, 380, 12, 100, (r, g, b) => r > 120 && g < 30 && b < 30, 150, 'the size gauge']],
   // Up grows the cube, and its gauge with it.
   key: 'ArrowUp', hold: 1000,
   after: (n) => [[620, 380, 12, 100, (r, g, b) => r > 120 && g < 30 && b < 30, n[5] + 100, 'a taller size gauge']]},
  {name: 'sound-board',
   picture: [[196, 81, 14, 14, STOPPED, 100, 'the first row stopped'],
             [196, 81, 14, 130, (r, g, b) => b > 200 && r < 30, 0, 'no row looping yet', 0],
             [8, 78, 620, 22, (r, g, b) => b > 40 && r < 20 && g < 20, 6000, 'the chosen row']],
   key: 'KeyL', hold: 150,
   after: () => [[197, 82, 12, 12, (r, g, b) => b > 200 && r < 30 && g < 30, 90, 'the first row looping']]},
  {name: 'input',
   picture: [[0, 0, 640, 480, (r, g, b) => r + g + b > 90, 300, 'the first picture'],
             [20, 60, 600, 24, GREY, 0, 'no key caps', 0],
             [22, 198, 40, 40, LIT, 0, "the left button's box unlit", 0]],
   key: 'KeyA', hold: 0,
   after: () => [[20, 60, 200, 24, GREY, 150, 'the cap of the key held']]}
];

async function exampleSessions() {
  mkdirSync(join(out, 'shots'), {recursive: true});
  for (const example of EXAMPLES) {
    const {page, problems} = await openPage(`${base}/examples/${example.name}/index.html`, null,
                                            (p) => p.setViewport({width: 640, height: 480}));
    await menuShown(page);
    // The picture alone, as the program draws it, without the hint over it.
    await page.evaluate(() => { document.getElementById('hint').style.display = 'none'; });
    const {expectScreen} = screens(page);
    const first = await expectScreen(`shots/${example.name}`, example.picture, 8000);
    const counts = example.picture.map(([x, y, w, h, colour]) => countPixels(first, x, y, w, h, colour));
    figures.push(`example ${example.name}: ${counts.join(', ')} pixels of its picture's checks`);
    await page.keyboard.down(example.key);
    if (example.hold) {
      await sleep(example.hold);
      await page.keyboard.up(example.key);
    }
    await expectScreen(`${example.name}_key`, example.after(counts), 8000);
    if (!example.hold) await page.keyboard.up(example.key);
    check(problems.length === 0, `the ${example.name} example reported problems:\n  ${problems.join('\n  ')}`);
    await page.close();
  }
}

// The getting-started program from the installed library: the ball's cell drawn at (304, 224) on
// black, and the arrow keys move it.
async function installedSession() {
  const {page, problems} = await openPage(`${base}/install-check/build/index.html`);
  await menuShown(page);
  const {expectScreen} = screens(page);
  const LIT_UP = (r, g, b) => r + g + b > 150;
  await expectScreen('installed', [[304, 224, 32, 32, LIT_UP, 200, 'the sprite'],
                                   [0, 0, 640, 220, LIT_UP, 0, 'nothing else', 0]]);
  await page.keyboard.down('ArrowRight');
  await expectScreen('installed_moved', [[340, 224, 300, 32, LIT_UP, 200, 'the sprite moved right'],
                                         [304, 224, 32, 32, LIT_UP, 0, 'the sprite gone from the middle', 0]]);
  await page.keyboard.up('ArrowRight');
  check(problems.length === 0, `the installed program's page reported problems:\n  ${problems.join('\n  ')}`);
  await page.close();
}

let failed = null;
try {
  mkdirSync(out, {recursive: true});
  const size = readdirSync(site).reduce((sum, f) => sum + statSync(join(site, f)).size, 0);
  figures.push(`folder ${size} bytes (limit ${FOLDER_LIMIT}): ${readdirSync(site).join(', ')}`);
  check(size <= FOLDER_LIMIT, `the page's folder holds ${size} bytes`);
  for (const {name} of EXAMPLES) {
    const folder = join(site, '..', 'examples', name), files = readdirSync(folder);
    const bytes = files.reduce((sum, f) => sum + statSync(join(folder, f)).size, 0);
    figures.push(`example ${name}: folder ${bytes} bytes (limit ${FOLDER_LIMIT}): ${files.join(', ')}`);
    check(bytes <= FOLDER_LIMIT, `the ${name} example's folder holds ${bytes} bytes`);
  }
  await loadTime();
  await mainSession();
  await phoneSession('landscape', 844, 390);
  await phoneSession('portrait', 390, 844);
  await padSession();
  await slowSession();
  await frameCost();
  await missingFeatures();
  await exampleSessions();
  await installedSession();
} catch (e) {
  failed = e;
} finally {
  await browser.close();
  rmSync(userData, {recursive: true, force: true});
}
for (const f of figures) console.log(`web: ${f}`);
writeFileSync(join(out, 'figures.txt'), figures.join('\n') + '\n');
if (failed) {
  console.log(`web: FAILED: ${failed.message}`);
  console.log(`web: ${passed} passed, 1 failed (screenshots in ${out})`);
  process.exit(1);
}
console.log(`web: ${passed} passed, 0 failed (screenshots in ${out})`);
