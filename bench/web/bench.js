// The page in Chromium, timed: navigation to ready, and one press of Generate until Text2
// holds the markup, beside the wasm engine alone and the native engine (native_generate).
// usage: node bench.js NATIVE_GENERATE   (HUEWRIGHT_WEB_DIR names the built folder)

import { spawnSync } from 'node:child_process';
import { launch, waitReady } from '../../tests/web/harness.js';
import { serve } from '../../tests/web/server.js';

const SIZES = [20, 1000, 2600, 99999];
const REPEATS = Number(process.env.HUEWRIGHT_BENCH_REPEATS ?? 21);
const LOADS = Number(process.env.HUEWRIGHT_BENCH_LOADS ?? 9);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

// engine_bench's text and colours, bold and italic on.
const SAMPLE = 'The quick brown fox jumps over the lazy dog. ';
const textOf = (n) => Array.from({ length: n }, (_, i) => SAMPLE[i % SAMPLE.length]).join('');
const INPUTS = { start: [255, 0, 40], end: [0, 200, 255] };

// When the page says it is ready, in ms since navigation started, seen by an observer put in
// before any of the page's scripts run.
function markReady() {
  new MutationObserver((_, observer) => {
    if (document.documentElement.dataset.ready === 'true' || document.body?.dataset.engine === 'ready') {
      window.readyAt = performance.now();
      observer.disconnect();
    }
  }).observe(document, { attributes: true, subtree: true,
    attributeFilter: ['data-ready', 'data-engine'] });
}

async function loadTimes(browser, origin) {
  const cold = [];
  const warm = [];
  for (let i = 0; i < LOADS; ++i) {
    // A context of its own: no HTTP cache, no service worker, no compiled wasm kept.
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.evaluateOnNewDocument(markReady);
    for (const times of [cold, warm]) {
      await page.goto(`${origin}/index.html`);
      await waitReady(page);
      await page.waitForFunction(() => window.readyAt !== undefined);
      times.push(await page.evaluate(() => window.readyAt));
      // The second load comes through the service worker the first one installed.
      await page.evaluate(async () => { await navigator.serviceWorker.ready; });
    }
    await context.close();
  }
  return { cold: median(cold), warm: median(warm) };
}

async function generateTimes(page, characters) {
  return page.evaluate(async (text, [r1, g1, b1], [r2, g2, b2], repeats) => {
    const $ = (id) => document.getElementById(id);
    [[r1, 'r1'], [g1, 'g1'], [b1, 'b1'], [r2, 'r2'], [g2, 'g2'], [b2, 'b2']].forEach(([v, id]) => {
      $(id).value = v;
      $(id).dispatchEvent(new Event('input', { bubbles: true }));
    });
    $('chkBold').checked = true;
    $('chkItalic').checked = true;
    $('Text1').value = text;
    const frame = () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve)));
    const engine = await (await import('./engine/huewright-engine.js')).default();
    const colours = [{ red: r1, green: g1, blue: b1 }, { red: r2, green: g2, blue: b2 }];
    const expected = engine.makeGradient(text, ...colours, true, true).output;
    const toText2 = [];
    const toFrame = [];
    const wasm = [];
    for (let i = 0; i < repeats + 2; ++i) { // two to warm up
      $('Text2').value = '';
      await frame();
      const t0 = performance.now();
      $('Command1').click();
      while ($('Text2').value !== expected) {
        await new Promise((resolve) => setTimeout(resolve));
      }
      const t1 = performance.now();
      await frame(); // the preview and its lines laid out and painted
      const t2 = performance.now();
      // Short texts run many times over, above the timer's 0.1 ms steps.
      const loops = Math.max(1, Math.round(2000 / text.length));
      const w0 = performance.now();
      for (let j = 0; j < loops; ++j) {
        engine.makeGradient(text, ...colours, true, true);
        engine.makeCompactGradient(text, ...colours, true, true);
      }
      const w1 = performance.now();
      if (i >= 2) {
        toText2.push(t1 - t0);
        toFrame.push(t2 - t0);
        wasm.push((w1 - w0) / loops);
      }
    }
    const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
    return { text2: median(toText2), frame: median(toFrame), wasm: median(wasm) };
  }, textOf(characters), INPUTS.start, INPUTS.end, REPEATS);
}

function nativeTimes(program) {
  const run = spawnSync(program, [String(Math.max(51, REPEATS))], { encoding: 'utf8' });
  if (run.status !== 0) {
    throw new Error(`${program} failed: ${run.stderr}`);
  }
  return new Map(run.stdout.trim().split('\n').map((line) => {
    const [n, both] = line.split(' ').map(Number);
    return [n, both / 1000];
  }));
}

const server = await serve(process.env.HUEWRIGHT_WEB_DIR);
const { browser, close } = await launch();
try {
  const native = nativeTimes(process.argv[2]);
  const loads = await loadTimes(browser, server.origin);
  const page = await browser.newPage();
  await page.goto(`${server.origin}/index.html`);
  await waitReady(page);
  const rows = [];
  for (const n of SIZES) {
    rows.push({ n, ...(await generateTimes(page, n)), native: native.get(n) });
  }
  const ms = (x) => (x >= 100 ? x.toFixed(0) : x.toPrecision(3));
  const ratio = (a, b) => `${(a / b).toPrecision(3)}×`;
  console.log(`Chromium ${(await browser.version()).replace(/^.*\//, '')}, medians; ` +
    `${LOADS} loads, ${REPEATS} generations per size`);
  console.log(`navigation to ready: first visit ${loads.cold.toFixed(0)} ms, ` +
    `again (service worker) ${loads.warm.toFixed(0)} ms`);
  console.log('Text2 holds: click to Text2 = the markup; +painted: and the next frame drawn;');
  console.log('engines: MakeGradient + MakeCompactGradient, as Generate calls them (native: Release, -O3)');
  console.log('');
  console.log('characters | Text2 holds | +painted | wasm engine | native engine | page/native | wasm/native');
  console.log('           |        (ms) |     (ms) |        (ms) |          (ms) |             |');
  for (const r of rows) {
    console.log(`${String(r.n).padStart(10)} | ${ms(r.text2).padStart(11)} | ${ms(r.frame).padStart(8)} | ` +
      `${ms(r.wasm).padStart(11)} | ${ms(r.native).padStart(13)} | ${ratio(r.text2, r.native).padStart(11)} | ` +
      `${ratio(r.wasm, r.native).padStart(11)}`);
  }
} finally {
  await close();
  await server.stop();
}
