// The window's controls in the page: initial state, names, keys, tab order, the bars under the
// mouse, swap and Random, and the page on a phone.

import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { BROWSER, IDS, bars, generate, openPage, rgb, setInputs, start, swatches } from './harness.js';

let ctx;
let page;
before(async () => {
  ctx = await start();
  page = await openPage(ctx.browser, ctx.server.origin);
});
after(() => ctx?.done());

test('initial state: the window\'s captions, values and focus', async () => {
  const state = await page.evaluate(() => {
    const $ = (id) => document.getElementById(id);
    // ButtonFace as this browser paints it, to compare Text2's background with.
    const probe = document.body.appendChild(document.createElement('div'));
    probe.style.background = 'ButtonFace';
    const buttonFace = getComputedStyle(probe).backgroundColor;
    probe.remove();
    return {
      title: document.title,
      captions: ['Label1', 'Label2', 'Command1', 'Command2', 'Command3', 'Command4', 'chkBold',
        'chkItalic'].map((id) => ($(id).labels?.[0] ?? $(id)).textContent.trim()),
      bars: ['r1', 'g1', 'b1', 'r2', 'g2', 'b2'].map((id) => [$(id).min, $(id).max, $(id).value]),
      texts: [$('Text1').value, $('Text2').value, $('Text2').readOnly],
      checks: [$('chkBold').checked, $('chkItalic').checked],
      text2Face: getComputedStyle($('Text2')).backgroundColor === buttonFace,
      outsideForm1: ['Label1', 'Label2', 'Shape1', 'Shape2', 'Command1', 'Command2', 'Command3',
        'Command4', 'Text1', 'Text2', 'chkBold', 'chkItalic', 'r1', 'g1', 'b1', 'r2', 'g2', 'b2']
        .filter((id) => !$(id)?.closest('#Form1')),
      focus: document.activeElement.id,
    };
  });
  assert.deepEqual(state, {
    title: "Kestrow's Huewright",
    captions: ['Start', 'End', 'Generate', 'Random', 'To ClipBoard', '<>', 'Bold', 'Italic'],
    bars: Array(6).fill(['0', '256', '0']),
    texts: ['', '', true],
    checks: [false, false],
    text2Face: true,
    outsideForm1: [],
    focus: 'r1',
  });
  assert.deepEqual(await swatches(page), [rgb([0, 0, 0]), rgb([0, 0, 0])]);
});

test('the accessibility tree names the controls as the window does', { skip: BROWSER !== 'chromium' && 'snapshot is Chromium\'s' }, async () => {
  const seen = [];
  const walk = (node) => {
    seen.push(`${node.role} ${node.name}`);
    (node.children ?? []).forEach(walk);
  };
  walk(await page.accessibility.snapshot());
  for (const expected of ['slider Start red', 'slider Start green', 'slider Start blue',
    'slider End red', 'slider End green', 'slider End blue', 'textbox Text to colour',
    'textbox Generated markup', 'button Generate', 'button Random', 'button To ClipBoard',
    'button Swap start and end colours', 'checkbox Bold', 'checkbox Italic',
    'image Start colour', 'image End colour', 'button Copy compact markup']) {
    assert.ok(seen.includes(expected), `${expected} in ${JSON.stringify(seen)}`);
  }
});

test('tab order: the window\'s, then what the page adds', async () => {
  await page.focus('#r1');
  const order = [await page.evaluate(() => document.activeElement.id)];
  for (let i = 0; i < IDS.tabOrder.length; ++i) {
    await page.keyboard.press('Tab');
    order.push(await page.evaluate(() => document.activeElement.id));
  }
  assert.deepEqual(order.slice(0, -1), IDS.tabOrder);
  assert.ok(!IDS.tabOrder.includes(order.at(-1)), `after Command4 came ${order.at(-1)}`);
});

test('keys move a bar as a vertical scroll bar, the swatch following', async () => {
  await page.focus('#g1');
  for (const [key, value] of [['End', 256], ['ArrowUp', 255], ['Home', 0], ['ArrowDown', 1],
    ['PageDown', 5], ['PageDown', 9], ['PageUp', 5], ['PageUp', 1], ['PageUp', 0],
    ['ArrowUp', 0], ['End', 256], ['ArrowDown', 256]]) {
    await page.keyboard.press(key);
    assert.equal(await page.$eval('#g1', (b) => b.valueAsNumber), value, `after ${key}`);
    assert.equal((await swatches(page))[0], rgb([0, value, 0]), `swatch after ${key}`);
  }
  await page.keyboard.press('Home');
});

test('a thumb dragged with the mouse: the swatch follows during the drag', async () => {
  const box = await (await page.$('#b2')).boundingBox();
  const x = box.x + box.width / 2;
  // Pressing on the thumb at 0, at the top.
  await page.mouse.move(x, box.y + Math.min(6, box.height / 10));
  await page.mouse.down();
  const during = [];
  for (const fraction of [0.3, 0.6]) {
    await page.mouse.move(x, box.y + box.height * fraction, { steps: 5 });
    // Still held: the value has moved and the swatch already shows it.
    await page.waitForFunction((floor) => document.getElementById('b2').valueAsNumber > floor,
      {}, 256 * fraction - 40);
    const value = await page.$eval('#b2', (b) => b.valueAsNumber);
    during.push(value);
    assert.equal((await swatches(page))[1], rgb([0, 0, value]));
  }
  await page.mouse.up();
  assert.ok(during[1] > during[0], `values while dragged: ${during}`);
  assert.equal((await swatches(page))[1], rgb([0, 0, (await bars(page))[5]]));
});

test('swap twice restores; Random draws 0..255 in the window\'s order', async () => {
  const first = [10, 20, 256, 0, 128, 255];
  await setInputs(page, { text: '', start: first.slice(0, 3), end: first.slice(3) });
  const swapped = [...first.slice(3), ...first.slice(0, 3)];
  for (const expected of [swapped, first]) {
    await page.click('#Command4');
    assert.deepEqual(await bars(page), expected);
    assert.deepEqual(await swatches(page), [rgb(expected.slice(0, 3)), rgb(expected.slice(3))]);
  }

  // The k-th draw is u_k whichever source the page draws from: the most significant word of
  // crypto.getRandomValues or Math.random.
  const pressWith = (draws) => page.evaluate(async (draws) => {
    const real = [crypto.getRandomValues, Math.random];
    let k = 0;
    crypto.getRandomValues = (array) => {
      array.fill(draws[k] === 1 ? 0xFFFFFFFF : 0);
      array[0] = Math.min(2 ** 32 - 1, Math.floor(draws[k++] * 2 ** 32));
      return array;
    };
    Math.random = () => Math.min(1 - 2 ** -53, draws[k++]);
    document.getElementById('Command2').click();
    [crypto.getRandomValues, Math.random] = real;
  }, draws);
  // Drawn in the order r1, r2, g1, g2, b1, b2.
  await pressWith([10, 50, 90, 130, 170, 210].map((v) => (v + 0.5) / 256));
  assert.deepEqual(await bars(page), [10, 90, 170, 50, 130, 210]);
  // The largest draw below 1 still gives 255, never the bars' 256.
  await pressWith(Array(6).fill(1));
  assert.deepEqual(await bars(page), Array(6).fill(255));

  await page.click('#Command2');
  const drawn = await bars(page);
  assert.ok(drawn.every((v) => Number.isInteger(v) && v >= 0 && v <= 255), `${drawn}`);
  assert.notDeepEqual(drawn, Array(6).fill(255));
  assert.deepEqual(await swatches(page), [rgb(drawn.slice(0, 3)), rgb(drawn.slice(3))]);
});

test('a phone: tapped Generate, nothing wider than the screen, targets of 24 × 24 px', async () => {
  const phone = await openPage(ctx.browser, ctx.server.origin,
    { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await setInputs(phone, { text: 'Hi', start: [255, 0, 0], end: [0, 0, 255], bold: true });
  await phone.$eval('#Text2', (t) => { t.value = 'pending'; });
  await phone.tap('#Command1');
  await phone.waitForFunction(() => document.getElementById('Text2').value !== 'pending');
  assert.equal(await phone.$eval('#Text2', (t) => t.value),
    '[b][color=#800000]H[/color][color=#01007F]i[/color][/b]');
  const faults = await phone.evaluate(() => {
    const found = [];
    const width = document.documentElement.clientWidth;
    if (document.documentElement.scrollWidth > width) {
      found.push(`page scrolls sideways: ${document.documentElement.scrollWidth} > ${width}`);
    }
    for (const e of document.body.querySelectorAll('*')) {
      const r = e.getBoundingClientRect();
      if (!e.checkVisibility() || r.width === 0 || e.closest('dialog:not([open])')) {
        continue;
      }
      const name = e.id || `${e.tagName}.${e.className}`;
      if (r.left < -0.5 || r.right > width + 0.5) {
        found.push(`${name} spans ${r.left}..${r.right}`);
      }
      if (e.matches('button, input, select, textarea, label, #Label1, #Label2, .swatch') &&
        (r.width < 24 || r.height < 24)) {
        found.push(`${name} is ${r.width} × ${r.height}`);
      }
    }
    return found;
  });
  assert.deepEqual(faults, []);
  await phone.close();
});
