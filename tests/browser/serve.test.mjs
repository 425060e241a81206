// kadrelle serve's page in a real browser: Debian's Chromium, driven by
// Playwright. Each test starts its own server on a free port and works the
// page as a person does: pointer, keys, palette, options dialog, buttons.
// Nothing waits for time to pass: every wait is for the page's own state.
//
//   node tests/browser/serve.test.mjs
// with KADRELLE (the program, default build/kadrelle) and KADRELLE_ARTEFACTS
// (where the screenshot goes, default build/browser-test). Exits 77 (the
// test is skipped) when playwright-core or Chromium is not installed.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const kadrelle = process.env.KADRELLE ?? path.resolve(here, '../../build/kadrelle');
const artefacts = process.env.KADRELLE_ARTEFACTS ?? path.resolve(here, '../../build/browser-test');
const chromiumPath = '/usr/bin/chromium';
const chromiumArgs = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
// Generous, for a loaded machine and the sanitizer build; a wait that runs
// out is a failure, never a way to let time pass.
const TIMEOUT_MS = 120000;

let chromium;
try {
  ({ chromium } = await import('playwright-core'));
} catch {
  console.log('skipped: playwright-core is not installed (npm ci in tests/browser; scripts/test does it)');
  process.exit(77);
}
if (!existsSync(chromiumPath)) {
  console.log(`skipped: no Chromium at ${chromiumPath} (scripts/install-deps installs it)`);
  process.exit(77);
}
if (!existsSync(kadrelle)) {
  console.error(`no kadrelle at ${kadrelle}: build it, or name it in KADRELLE`);
  process.exit(1);
}

const scratch = mkdtempSync(path.join(tmpdir(), 'kadrelle-browser-'));
let context;

before(async () => {
  mkdirSync(artefacts, { recursive: true });
  context = await chromium.launchPersistentContext(path.join(scratch, 'profile'), {
    executablePath: chromiumPath,
    headless: true,
    args: chromiumArgs,
    acceptDownloads: true,
    viewport: { width: 1280, height: 800 },
  });
});

after(async () => {
  await context?.close();
  rmSync(scratch, { recursive: true, force: true });
});

// ---- The server --------------------------------------------------------------------

// kadrelle serve on a free port; stop() sends Ctrl-C and checks that it
// ended well.
async function startServer(args = []) {
  const child = spawn(kadrelle, ['serve', '--port', '0', ...args], { stdio: ['ignore', 'pipe', 'pipe'] });
  let out = '';
  let err = '';
  child.stderr.on('data', (data) => { err += data; });
  const ended = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
  const url = await new Promise((resolve, reject) => {
    child.stdout.on('data', (data) => {
      out += data;
      const found = /http:\/\/\S+\//.exec(out);
      if (found) resolve(found[0]);
    });
    ended.then(({ code }) => reject(new Error(`kadrelle serve ended (${code}) before it listened: ${err}`)));
  });
  return {
    url,
    async api(method, route, body) {
      const response = await fetch(url + route.slice(1), { method, body });
      return { status: response.status, text: await response.text() };
    },
    async stop() {
      child.kill('SIGINT');
      const { code, signal } = await ended;
      assert.equal(signal, null, `kadrelle serve died of ${signal}: ${err}`);
      assert.equal(code, 0, `kadrelle serve ended with ${code}: ${err}`);
      assert.match(out, /kadrelle serve: stopped/);
    },
  };
}

async function withPage(args, work) {
  const server = await startServer(args);
  const page = await context.newPage();
  page.setDefaultTimeout(TIMEOUT_MS);
  try {
    await page.goto(server.url);
    await idle(page);
    await work(page, server);
  } finally {
    await page.close();
    await server.stop();
  }
}

// ---- The page ----------------------------------------------------------------------

// Every event sent and answered, nothing under way.
async function idle(page) {
  await page.waitForFunction(() => window.kadrelle && window.kadrelle.idle(), null, { timeout: TIMEOUT_MS });
}

async function instances(page) {
  return page.evaluate(() => window.kadrelle.instances());
}

// A stroke through host points with the mouse: the press at the first, a
// move to each of the others, the release.
async function mouseStroke(page, points) {
  const screen = await page.evaluate((list) => list.map(([h, v]) => window.kadrelle.screenPoint(h, v)), points);
  await page.mouse.move(screen[0].x, screen[0].y);
  await page.mouse.down();
  for (const { x, y } of screen.slice(1)) await page.mouse.move(x, y);
  await page.mouse.up();
  await idle(page);
}

// A stroke with a pen: the browser gets pen pointer events with pressure.
async function penStroke(page, points) {
  const screen = await page.evaluate((list) => list.map(([h, v]) => window.kadrelle.screenPoint(h, v)), points);
  const cdp = await context.newCDPSession(page);
  const pen = (type, { x, y }, force, buttons) => cdp.send('Input.dispatchMouseEvent', {
    type, x, y, button: 'left', buttons, clickCount: 1, pointerType: 'pen', force,
  });
  await pen('mousePressed', screen[0], 0.3, 1);
  for (const [i, point] of screen.slice(1).entries()) await pen('mouseMoved', point, 0.3 + 0.6 * Math.abs(Math.sin(i / 3)), 1);
  await pen('mouseReleased', screen.at(-1), 0, 0);
  await cdp.detach();
  await idle(page);
}

// A line of n + 1 host points from (h, v), dh apart.
function line(h, v, n, dh = 6) {
  return Array.from({ length: n + 1 }, (_, i) => [h + i * dh, v + 4 * Math.sin(i / 2)]);
}

async function download(page, button) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
  return { name: file.suggestedFilename(), bytes: readFileSync(await file.path()) };
}

const control = (id) => `#dialog-client .control[data-id="${id}"]`;

async function openOptions(page) {
  await page.click('#options');
  await page.waitForSelector('#dialog-overlay', { state: 'visible' });
}

async function typeInto(page, id, text, shown) {
  await page.fill(`${control(id)}`, text);
  await page.press(`${control(id)}`, 'Enter');
  await page.waitForFunction(([selector, value]) => document.querySelector(selector)?.value === value,
    [control(id), shown]);
}

async function closeDialog(page, id) {
  await page.click(control(id));
  await page.waitForSelector('#dialog-overlay', { state: 'hidden' });
  await idle(page);
}

// The drags of the stroke entries in a saved session, in order.
function dragsOfStrokes(session) {
  return session.strokes.filter((entry) => entry.points).map((entry) => entry.points.length - 1);
}

function instancesOfJson(artwork) {
  return artwork.layers.flatMap((layer) => layer.art).filter((art) => art.type === 'instance');
}

function usesOfSvg(svg) {
  return [...svg.matchAll(/<use href="([^"]+)" xlink:href="[^"]+" transform="([^"]+)"/g)]
    .map(([, href, transform]) => ({ href, transform }));
}

async function saved(server, format) {
  const reply = await server.api('GET', `/api/save?format=${format}`);
  assert.equal(reply.status, 200, reply.text);
  return reply.text;
}

// ---- The tests -----------------------------------------------------------------------

test('a stroke drawn with the mouse paints on the page what the saved SVG and JSON hold', async () => {
  await withPage([], async (page) => {
    assert.deepEqual(await instances(page), []);
    assert.equal(await page.locator('#palette button').count(), 4);

    // Over the document the tool sets its cursor, which the page shows.
    await page.hover('#canvas');
    await page.waitForFunction(() => window.kadrelle.cursor() !== null);
    assert.deepEqual(await page.evaluate(() => window.kadrelle.cursor()),
      { id: 16001, url: '/cursor/16001.svg', hot: [14, 16] });
    assert.match(await page.$eval('#canvas', (canvas) => canvas.style.cursor), /cursor\/16001\.svg"?\) 14 16/);
    const cursor = await page.evaluate(async () => (await fetch('/cursor/16001.svg')).text());
    assert.match(cursor, /^<svg [^>]*width="32" height="32"/);

    await mouseStroke(page, line(200, 250, 15));
    const shown = await instances(page);
    assert.ok(shown.length > 0, 'the stroke painted');
    assert.ok(shown.every((use) => use.href === '#star'), 'with the selected symbol, the first');

    const json = await download(page, '#save-json');
    assert.equal(json.name, 'kadrelle.json');
    const artwork = JSON.parse(json.bytes);
    assert.equal(instancesOfJson(artwork).length, shown.length);
    assert.equal(artwork.undoCalls, 1);

    const svg = await download(page, '#save-svg');
    assert.equal(svg.name, 'kadrelle.svg');
    assert.deepEqual(usesOfSvg(svg.bytes.toString()), shown, 'the page draws what the SVG holds, in order');

    const session = JSON.parse((await download(page, '#save-session')).bytes);
    assert.equal(dragsOfStrokes(session).length, 1);
    assert.equal(dragsOfStrokes(session)[0], shown.length, 'one dab for each drag message');
  });
});

test('options: page 4, a preset, a brush width, OK; the next stroke paints with them', async () => {
  await withPage([], async (page, server) => {
    await mouseStroke(page, line(100, 300, 8));
    const before = (await instances(page)).length;

    await openOptions(page);
    assert.equal(await page.textContent('#dialog-title'), 'Kadrelle Options');
    assert.ok(await page.locator(control(105)).evaluate((caption) => caption.classList.contains('bold')));
    await page.click(control(103));
    await page.waitForSelector(`${control(108)}.bold`);
    assert.ok(!(await page.locator(control(105)).evaluate((caption) => caption.classList.contains('bold'))));
    assert.ok(await page.isVisible(control(22)));
    assert.ok(await page.isHidden(control(17)), 'page 1 is hidden');
    assert.equal(await page.textContent(control(134)), 'Brush width (p)');
    // Without bristles the brush's fields are disabled.
    assert.ok(await page.isDisabled(control(22)));

    // " Double ring": a hundred bristles on two rings 300 points wide. The
    // preset writes its values into the dialog at once, and its bristles
    // enable the brush's fields.
    await page.selectOption(control(81), { label: ' Double ring' });
    await page.waitForFunction((selector) => document.querySelector(selector)?.value === '300.00', control(22));
    assert.equal(await page.$eval(control(80), (popup) => popup.selectedOptions[0].textContent), ' Double ring brush');
    assert.ok(await page.isEnabled(control(22)));
    await typeInto(page, 22, '120', '120.00');
    await closeDialog(page, 1);

    await mouseStroke(page, line(100, 150, 8));
    const session = JSON.parse(await saved(server, 'session'));
    const drags = dragsOfStrokes(session);
    const shown = await instances(page);
    assert.equal(before, drags[0], 'a dab for each drag');
    assert.equal(shown.length - before, drags[1] * 101, 'a dab and 100 bristles for each drag');
    assert.deepEqual(usesOfSvg(await saved(server, 'svg')), shown, 'drawn as the SVG has them, in order');
    assert.equal(await page.textContent('#counts'), `${shown.length} instances · 2 strokes`);
    const settings = JSON.parse(await saved(server, 'json')).settings;
    assert.equal(settings.bristlesPerDab, 100);
    assert.equal(settings.brushShape, 8);
    assert.equal(settings.brushWidth, 120);
    assert.equal(settings.brushHeight, 300);
    assert.equal(settings.presetIndex, 21);
  });
});

test('Cancel keeps what the preset and the bristle count wrote, and drops the rest', async () => {
  await withPage([], async (page, server) => {
    await openOptions(page);
    await page.selectOption(control(81), { label: ' Slow Rotating Dab' });
    await page.click(control(101));
    await typeInto(page, 19, '5', '5');
    await page.click(control(102));
    await typeInto(page, 21, '7', '7');
    await closeDialog(page, 2);

    const settings = JSON.parse(await saved(server, 'json')).settings;
    assert.equal(settings.twistAngle, 2, "the preset's values stay");
    assert.equal(settings.presetIndex, 5);
    assert.equal(settings.bristlesPerDab, 7, 'the bristle count notified its rule, which stored it');
    assert.equal(settings.dabsPerLayer, 0, 'a field without a rule reaches the settings only through OK');

    // The dialog opens again on the page it was left on; Escape cancels it.
    await openOptions(page);
    await page.waitForSelector(`${control(107)}.bold`);
    assert.equal(await page.inputValue(control(21)), '7');
    await page.keyboard.press('Escape');
    await page.waitForSelector('#dialog-overlay', { state: 'hidden' });
  });
});

test('a saved session replays with kadrelle paint to the same bytes', async () => {
  await withPage([], async (page, server) => {
    await penStroke(page, line(80, 400, 10));
    // The shrink key held through a mouse stroke.
    await page.keyboard.down('s');
    await page.waitForSelector('#keys li[data-modifier="shrink"].on');
    await mouseStroke(page, line(80, 330, 10));
    await page.keyboard.up('s');

    await openOptions(page);
    await page.selectOption(control(81), { label: ' Dab + Random Symbols Bristles' });
    await closeDialog(page, 1);
    await page.click('#palette li:nth-child(3) button');
    await page.waitForSelector('#palette li:nth-child(3) button[aria-pressed="true"]');
    await mouseStroke(page, line(80, 250, 12));
    const beforeLast = (await instances(page)).length;
    await mouseStroke(page, line(80, 150, 12));
    await page.click('#undo');
    await page.waitForFunction((count) => window.kadrelle.instances().length === count, beforeLast);
    await idle(page);
    await mouseStroke(page, line(300, 120, 6));

    const files = {};
    for (const format of ['session', 'svg', 'json']) {
      const file = await download(page, `#save-${format}`);
      files[format] = path.join(scratch, file.name);
      writeFileSync(files[format], file.bytes);
    }
    const session = JSON.parse(readFileSync(files.session));
    assert.equal(session.pressureDevice, true);
    const pressures = session.strokes[0].points.map((point) => point[2]);
    assert.ok(new Set(pressures).size > 1, `the pen's pressure varies: ${pressures}`);
    assert.ok(session.strokes[1].points.slice(1).every((point) => point.modifiers?.includes('shrink')));
    assert.equal(dragsOfStrokes(session).length, 4, 'the undone stroke is gone');

    const replayed = execFileSync(kadrelle, ['paint', '--session', files.session, '-o', '-']);
    assert.ok(replayed.equals(readFileSync(files.svg)), 'the same SVG, byte for byte');
    const replayedJson = execFileSync(kadrelle, ['paint', '--session', files.session, '--format', 'json', '-o', '-']);
    assert.ok(replayedJson.equals(readFileSync(files.json)), 'the same JSON, byte for byte');
    assert.deepEqual(usesOfSvg(replayed.toString()), await instances(page));
    assert.equal(JSON.parse(await saved(server, 'json')).undoCalls, 4);
  });
});

test('a malformed request gets a 400 with a message and changes nothing', async () => {
  await withPage([], async (page, server) => {
    await mouseStroke(page, line(200, 200, 6));
    const before = { svg: await saved(server, 'svg'), session: await saved(server, 'session') };
    const shown = await instances(page);

    const requests = [
      ['/api/pointer', '{"client": "a", "since": ', 400, /malformed JSON/],
      ['/api/pointer', JSON.stringify({ client: 'a', since: { epoch: 0, art: 0, layers: 0 },
        events: [{ down: { h: 1, v: 2 } }, { drag: { h: 3, v: 4, pressure: 300 } }, { up: null }] }), 400,
      /events\[1\]\.drag\.pressure/],
      ['/api/options/action', '{"click": 1}', 409, /not open/],
      ['/api/symbol', '{"symbol": 9}', 400, /palette has 4 symbols/],
      ['/api/pointer', 'x'.repeat(2 * 1024 * 1024), 413, /larger than/],
    ];
    for (const [route, body, status, message] of requests) {
      const reply = await page.evaluate(async ([url, text]) => {
        const response = await fetch(url, { method: 'POST', body: text });
        return { status: response.status, body: await response.json() };
      }, [route, body]);
      assert.equal(reply.status, status, `${route}: ${JSON.stringify(reply.body)}`);
      assert.match(reply.body.error, message);
    }

    assert.equal(await saved(server, 'svg'), before.svg);
    assert.equal(await saved(server, 'session'), before.session);
    assert.deepEqual(await instances(page), shown);
  });
});

test("a second page sees what the first paints, and a press on it ends the first page's stroke", async () => {
  await withPage(['--document', path.resolve(here, '../../examples/small.svg')], async (page, server) => {
    const other = await context.newPage();
    other.setDefaultTimeout(TIMEOUT_MS);
    try {
      await other.goto(server.url);
      await idle(other);
      await mouseStroke(page, line(60, 60, 10));
      const painted = await instances(page);
      await other.waitForFunction((count) => window.kadrelle.instances().length === count, painted.length);
      assert.deepEqual(await instances(other), painted);
      assert.deepEqual([...new Set(painted.map((use) => use.href))], ['#dot']);

      // The first page presses and drags; the second paints a whole stroke,
      // which ends the first one's where it was; the first page's next
      // moves are refused, and its next stroke paints again.
      const [start, ...rest] = await page.evaluate(
        (list) => list.map(([h, v]) => window.kadrelle.screenPoint(h, v)), line(60, 120, 8));
      await page.mouse.move(start.x, start.y);
      await page.mouse.down();
      for (const { x, y } of rest.slice(0, 4)) await page.mouse.move(x, y);
      await page.waitForFunction(() => window.kadrelle.sent());
      assert.equal(await page.textContent('#counts'), `${painted.length + 4} instances · 2 strokes`);
      await mouseStroke(other, line(60, 200, 6));
      for (const { x, y } of rest.slice(4)) await page.mouse.move(x, y);
      await page.mouse.up();
      await idle(page);
      assert.match(await page.textContent('#message'), /no stroke of this page is under way/);
      await mouseStroke(page, line(60, 260, 6));

      const session = JSON.parse(await saved(server, 'session'));
      assert.deepEqual(dragsOfStrokes(session), [10, 4, 6, 6]);
      const file = path.join(scratch, 'two-pages.json');
      writeFileSync(file, JSON.stringify(session));
      const replayed = execFileSync(kadrelle, ['paint', '--session', file, '-o', '-']).toString();
      assert.equal(replayed, await saved(server, 'svg'));
      await other.waitForFunction((count) => window.kadrelle.instances().length === count,
        (await instances(page)).length);
    } finally {
      await other.close();
    }
  });
});

test('a painted page, kept as a picture', async () => {
  await withPage([], async (page) => {
    await openOptions(page);
    await page.selectOption(control(81), { label: ' Dab + Random Symbols Bristles' });
    await closeDialog(page, 1);
    for (const [v, symbol] of [[380, 2], [250, 3], [120, 4]]) {
      await page.click(`#palette li:nth-child(${symbol}) button`);
      await page.waitForSelector(`#palette li:nth-child(${symbol}) button[aria-pressed="true"]`);
      const wave = Array.from({ length: 40 }, (_, i) => [60 + i * 17, v + 40 * Math.sin(i / 4)]);
      await penStroke(page, wave);
    }
    await page.hover('#canvas');
    const file = path.join(artefacts, 'serve.png');
    await page.screenshot({ path: file });
    assert.ok(readFileSync(file).length > 10000);
  });
});
