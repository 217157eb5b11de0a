// Generate, the Error box and the clipboard: what the page writes is what huewright-cli writes.

import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { BROWSER, CLI, generate, openPage, setInputs, start } from './harness.js';

let ctx;
let page;
const dialogs = []; // alert(), confirm() or prompt() of any kind: none is ever expected
before(async () => {
  ctx = await start();
  if (BROWSER === 'chromium') {
    await ctx.browser.defaultBrowserContext().overridePermissions(ctx.server.origin,
      ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  }
  page = await openPage(ctx.browser, ctx.server.origin);
  page.on('dialog', (d) => {
    dialogs.push(d.message());
    d.dismiss();
  });
});
after(() => ctx?.done());

function cli({ text, start, end, bold = false, italic = false }, compact = false) {
  assert.ok(CLI, 'HUEWRIGHT_CLI names huewright-cli');
  const args = ['-n', '-s', start.join(','), '-e', end.join(',')];
  for (const [on, flag] of [[bold, '-b'], [italic, '-i'], [compact, '-c']]) {
    if (on) {
      args.push(flag);
    }
  }
  const run = spawnSync(CLI, [...args, '-'], { input: Buffer.from(text, 'utf8'), encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  return run.stdout;
}

// Waits for the clipboard to hold `expected`; on a timeout, compares what it holds instead.
async function clipboardBecomes(expected) {
  const read = () => page.evaluate(() => navigator.clipboard.readText());
  await page.waitForFunction(async (e) => (await navigator.clipboard.readText()) === e,
    { timeout: 5000 }, expected).catch(() => {});
  assert.equal(await read(), expected);
}

const characters = (pattern, count) => {
  const units = [...new Intl.Segmenter().segment(pattern)].map((s) => s.segment);
  return Array.from({ length: count }, (_, i) => units[i % units.length]).join('');
};

test('worked examples and tricky texts, typed and clicked', async () => {
  // Red to 255 and blue to 255 with the keys: End gives 256, one step up 255.
  for (const id of ['r1', 'b2']) {
    await page.focus(`#${id}`);
    await page.keyboard.press('End');
    await page.keyboard.press('ArrowUp');
  }
  await page.click('#chkBold');
  let inputs = { start: [255, 0, 0], end: [0, 0, 255], bold: true };
  for (const [text, expected] of [
    ['Hi', '[b][color=#800000]H[/color][color=#01007F]i[/color][/b]'],
    ['Hello', '[b]' + ['CC0000', '990033', '660066', '330099', '0000CC']
      .map((code, i) => `[color=#${code}]${'Hello'[i]}[/color]`).join('') + '[/b]'],
    // Typed markup of a page or of a forum stays text: no element, no script, no link. In
    // one colour, so that the preview may hold the whole text in one run.
    ['<img src=x onerror=alert(1)>', null],
    ['[url=javascript:alert(1)]x[/url]', null],
  ]) {
    if (expected === null && inputs.start[0] !== 0) {
      for (const id of ['r1', 'b2']) {
        await page.focus(`#${id}`);
        await page.keyboard.press('Home');
      }
      inputs = { start: [0, 0, 0], end: [0, 0, 0], bold: true };
    }
    await page.click('#Text1');
    await page.$eval('#Text1', (t) => t.select());
    await page.keyboard.press('Backspace');
    await page.type('#Text1', text);
    const output = await generate(page);
    assert.equal(output, expected ?? cli({ text, ...inputs }), text);
    const shown = await page.evaluate(() => ({
      light: document.getElementById('previewLight').textContent,
      dark: document.getElementById('previewDark').textContent,
      made: document.querySelectorAll('img:not([src^="icons/"]), a[href^="javascript"], iframe, object, embed').length,
    }));
    assert.deepEqual(shown, { light: text, dark: text, made: 0 }, text);
  }
  assert.deepEqual(dialogs, []);

  // To ClipBoard: the markup, then an empty output (equal colours, no text) over it.
  await page.click('#Command3');
  await clipboardBecomes(cli({ text: '[url=javascript:alert(1)]x[/url]', ...inputs }));
  await setInputs(page, { text: '', start: [9, 9, 9], end: [9, 9, 9] });
  assert.equal(await generate(page), '');
  await page.click('#Command3');
  await clipboardBecomes('');
});

test('generations byte for byte as huewright-cli writes them, full and compact', async () => {
  const rows = [
    { text: '👍🏽 👨‍👩‍👧‍👦 ok 😀', start: [255, 128, 0], end: [0, 64, 256], italic: true },
    { text: 'e\u0301te\u0301 n\u0303o a\u030A\u0301 Z\u0335\u0308', start: [10, 20, 30], end: [200, 100, 50], bold: true },
    { text: '🇩🇪🇫🇷🇯🇵 🏴\u{E0067}\u{E0062}\u{E0065}\u{E006E}\u{E0067}\u{E007F}', start: [0, 0, 0], end: [256, 256, 256], bold: true, italic: true },
    { text: '[b]x[/b] [color=#FF0000]y[/color] ]][[ [/color]', start: [256, 0, 0], end: [0, 256, 0] },
    { text: 'a  b\tc\u00A0d   e', start: [40, 40, 40], end: [40, 40, 40] },
    { text: '', start: [7, 7, 7], end: [7, 7, 7], bold: true },
    { text: characters('The quick brown fox jumps over the lazy dog. ', 300), start: [255, 0, 0], end: [0, 0, 255] },
    { text: characters('ab😀é 🇯🇵x', 2600), start: [0, 255, 0], end: [255, 0, 255], bold: true },
  ];
  for (const row of rows) {
    const name = `${[...row.text].slice(0, 12).join('')}… (${row.text.length} units)`;
    await setInputs(page, row);
    assert.equal(await generate(page), cli(row), name);
    await page.click('#copyCompact');
    await clipboardBecomes(cli(row, true));
  }
});

test('the Error box: the window\'s words, modal, one OK; Text2 keeps what came back', async () => {
  const box = () => page.evaluate(() => {
    const dialog = document.querySelector('dialog[open]');
    return dialog && {
      modal: dialog.matches(':modal'),
      title: document.getElementById(dialog.getAttribute('aria-labelledby'))?.textContent,
      text: document.getElementById(dialog.getAttribute('aria-describedby'))?.textContent,
      buttons: [...dialog.querySelectorAll('button')].map((b) => b.textContent),
      text2: document.getElementById('Text2').value,
    };
  });
  for (const [inputs, text, close] of [
    [{ text: '', start: [0, 0, 0], end: [0, 0, 10] },
      'There is no text to colour. Type a text first, then press Generate.', 'Enter'],
    [{ text: 'x'.repeat(100000), start: [1, 2, 3], end: [200, 100, 0], italic: true },
      'The text has more than 99,999 characters (100,000), more than Huewright can colour. ' +
      'Shorten it and generate again.', 'click'],
  ]) {
    await setInputs(page, inputs);
    await generate(page, { error: true });
    assert.deepEqual(await box(), { modal: true, title: 'Error', text, buttons: ['OK'], text2: '' });
    if (close === 'Enter') {
      await page.keyboard.press('Enter');
    } else {
      await page.click('dialog[open] button');
    }
    await page.waitForSelector('dialog[open]', { hidden: true });
  }
  // What a failed generation left is what goes over.
  await page.click('#Command3');
  await clipboardBecomes('');
});

test('a refused clipboard: one line says so and Text2 is selected for Ctrl+C', async () => {
  await setInputs(page, { text: 'Hi', start: [255, 0, 0], end: [0, 0, 255] });
  const markup = await generate(page);
  await page.evaluate(() => {
    navigator.clipboard.writeText = () => Promise.reject(new DOMException('refused', 'NotAllowedError'));
  });
  await page.click('#Command3');
  await page.waitForFunction(() => document.getElementById('clipStatus').textContent !== '');
  const after = await page.evaluate(() => {
    const t = document.getElementById('Text2');
    const status = document.getElementById('clipStatus');
    return {
      focused: document.activeElement === t,
      selected: t.value.slice(t.selectionStart, t.selectionEnd),
      lines: status.getClientRects().length > 0 && status.textContent.split('\n').length,
      says: /clipboard/i.test(status.textContent) && /Ctrl\+C|⌘C/.test(status.textContent),
    };
  });
  assert.deepEqual(after, { focused: true, selected: markup, lines: 1, says: true });
});
