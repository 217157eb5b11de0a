// What every test file shares: the browser named by BROWSER (chromium or firefox), started
// from Debian's own binary with a fresh profile, and the page's folder served locally.

import puppeteer from 'puppeteer-core';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { serve } from './server.js';

export const BROWSER = process.env.BROWSER ?? 'chromium';
export const SITE = process.env.HUEWRIGHT_WEB_DIR;
export const CLI = process.env.HUEWRIGHT_CLI;
const TIMEOUT = Number(process.env.HUEWRIGHT_WEB_TIMEOUT ?? 30000); // a busy 2-core CI machine

export const IDS = {
  bars: ['r1', 'g1', 'b1', 'r2', 'g2', 'b2'],
  // The window's tab order; what the page adds comes after.
  tabOrder: ['r1', 'g1', 'b1', 'r2', 'g2', 'b2', 'Text1', 'Text2', 'Command1', 'Command2',
    'chkBold', 'chkItalic', 'Command3', 'Command4'],
};

export async function launch() {
  const profile = mkdtempSync(join(tmpdir(), `huewright-${BROWSER}-`));
  const browser = BROWSER === 'firefox'
    ? await puppeteer.launch({
      browser: 'firefox',
      executablePath: process.env.FIREFOX ?? '/usr/bin/firefox-esr',
      headless: true,
      userDataDir: profile,
      // Reading the clipboard back needs no paste prompt to be clicked.
      extraPrefsFirefox: {
        'dom.events.asyncClipboard.readText': true,
        'dom.events.testing.asyncClipboard': true,
      },
    })
    : await puppeteer.launch({
      executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
      headless: true,
      args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
        '--disable-component-update', '--no-first-run', '--disable-sync',
        `--user-data-dir=${profile}`],
    });
  return {
    browser,
    close: async () => {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// The page ready to use: its engine loaded.
export async function openPage(browser, origin, viewport = { width: 1000, height: 900 }) {
  const page = await browser.newPage();
  page.setDefaultTimeout(TIMEOUT);
  await page.setViewport(viewport);
  await page.goto(`${origin}/index.html`);
  await waitReady(page);
  return page;
}

export function waitReady(page) {
  return page.waitForFunction(() => document.documentElement.dataset.ready === 'true' ||
    document.body?.dataset.engine === 'ready');
}

// Server, browser and a ready page for one test file; `done` ends all three.
export async function start() {
  if (!SITE) {
    throw new Error('HUEWRIGHT_WEB_DIR names the built page folder (build-web/)');
  }
  const server = await serve(SITE);
  const { browser, close } = await launch();
  return {
    server,
    browser,
    done: async () => {
      await close();
      await server.stop();
    },
  };
}

// Bars, text and switches as the page reads them at Generate; set through the DOM with the
// events a user's change sends, since typing a thousand characters proves nothing more.
export async function setInputs(page, { text, start, end, bold = false, italic = false }) {
  await page.evaluate((text, values, bold, italic) => {
    const fire = (el, ...types) => types.forEach((t) => el.dispatchEvent(new Event(t, { bubbles: true })));
    ['r1', 'g1', 'b1', 'r2', 'g2', 'b2'].forEach((id, i) => {
      const bar = document.getElementById(id);
      bar.value = values[i];
      fire(bar, 'input', 'change');
    });
    const text1 = document.getElementById('Text1');
    text1.value = text;
    fire(text1, 'input');
    for (const [id, on] of [['chkBold', bold], ['chkItalic', italic]]) {
      const box = document.getElementById(id);
      if (box.checked !== on) {
        box.click();
      }
    }
  }, text, [...start, ...end], bold, italic);
}

// Clicks Generate and waits until Text2 was written: a marker put there first must go.
export async function generate(page, { error = false } = {}) {
  await page.$eval('#Text2', (t) => { t.value = '\u0000pending'; });
  await page.click('#Command1');
  if (error) {
    await page.waitForSelector('dialog[open]');
  }
  await page.waitForFunction(() => document.getElementById('Text2').value !== '\u0000pending');
  return page.$eval('#Text2', (t) => t.value);
}

export async function swatches(page) {
  return page.evaluate(() => ['Shape1', 'Shape2'].map(
    (id) => getComputedStyle(document.getElementById(id)).backgroundColor));
}

export async function bars(page) {
  return page.evaluate((ids) => ids.map((id) => document.getElementById(id).valueAsNumber),
    IDS.bars);
}

export function rgb([r, g, b]) {
  return `rgb(${Math.min(r, 255)}, ${Math.min(g, 255)}, ${Math.min(b, 255)})`;
}
