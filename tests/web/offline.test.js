// The page keeps nothing and sends nothing, and after one visit it works with no server.

import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { generate, openPage, setInputs, start, waitReady } from './harness.js';

let ctx;
let page;
const requests = [];
before(async () => {
  ctx = await start();
  page = await ctx.browser.newPage();
  page.on('request', (r) => requests.push(r.url()));
  await page.goto(`${ctx.server.origin}/index.html`);
  await waitReady(page);
});
after(() => ctx?.done());

const HI = '[b][color=#800000]H[/color][color=#01007F]i[/color][/b]';

test('every request goes to the page\'s own origin; nothing is kept', async () => {
  await setInputs(page, { text: 'Hi', start: [255, 0, 0], end: [0, 0, 255], bold: true });
  assert.equal(await generate(page), HI);
  for (const id of ['#Command2', '#Command4', '#copyCompact', '#Shape1']) {
    await page.click(id);
  }
  await page.keyboard.press('Escape'); // the colour picker the swatch opened, if any
  const foreign = requests.filter((url) => !url.startsWith(`${ctx.server.origin}/`));
  assert.deepEqual(foreign, []);
  assert.ok(requests.some((url) => url.endsWith('/engine/huewright-engine.wasm')), `${requests}`);
  const kept = await page.evaluate(async () => ({
    cookie: document.cookie,
    local: localStorage.length,
    session: sessionStorage.length,
    databases: (await indexedDB.databases()).map((d) => d.name),
  }));
  assert.deepEqual(kept, { cookie: '', local: 0, session: 0, databases: [] });
});

test('a reload with the server stopped: the service worker serves the page and its engine', async () => {
  await page.waitForFunction(async () => (await navigator.serviceWorker.ready).active !== null &&
    navigator.serviceWorker.controller !== null);
  await ctx.server.stop();
  await page.reload();
  await waitReady(page);
  await setInputs(page, { text: 'Hi', start: [255, 0, 0], end: [0, 0, 255], bold: true });
  assert.equal(await generate(page), HI);
  // A second tab opened now, as an installed app starts with no network.
  const offline = await openPage(ctx.browser, ctx.server.origin);
  assert.equal(await offline.title(), "Kestrow's Huewright");
  await offline.close();
});
