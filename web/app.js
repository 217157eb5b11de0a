// Wires the page's controls to the engine, as the window's notification handlers do.
// The bars' values are the colours: nothing else holds state, and nothing is kept anywhere.

import * as words from './messages.js';
import { Preview } from './preview.js';

const $ = (id) => document.getElementById(id);

// Loaded on its own so that the bars, swap and Random work even where WebAssembly cannot start.
const enginePromise = import('./engine/huewright-engine.js').then((m) => m.default());
let engine = null;

const sides = [
  { name: 'Start', bars: [$('r1'), $('g1'), $('b1')], shape: $('Shape1'), code: $('code1'),
    pick: $('pick1'), status: $('codeStatus1') },
  { name: 'End', bars: [$('r2'), $('g2'), $('b2')], shape: $('Shape2'), code: $('code2'),
    pick: $('pick2'), status: $('codeStatus2') },
];
const [start, end] = sides;
const Text1 = $('Text1');
const Text2 = $('Text2');
const chkBold = $('chkBold');
const chkItalic = $('chkItalic');
const clipStatus = $('clipStatus');
const preview = new Preview(document);
let compact = ''; // of the last generation; '' after a failure

function colourOf(side) {
  const [red, green, blue] = side.bars.map((bar) => bar.valueAsNumber);
  return { red, green, blue };
}

function setColour(side, colour) {
  const [red, green, blue] = side.bars;
  red.value = colour.red;
  green.value = colour.green;
  blue.value = colour.blue;
  updateSwatch(side);
}

// Read red, green, blue and paint the side's swatch: a bar at 256 shows as 255.
function updateSwatch(side) {
  const colour = colourOf(side);
  const shown = Object.fromEntries(Object.entries(colour).map(([k, v]) => [k, Math.min(v, 255)]));
  side.shape.style.backgroundColor = `rgb(${shown.red}, ${shown.green}, ${shown.blue})`;
  side.shape.setAttribute('aria-description', words.swatchDescription(shown));
  if (engine === null) {
    return;
  }
  const code = engine.formatColour(colour);
  side.shape.title = words.swatchToolTip(code, colour);
  side.pick.value = code.toLowerCase();
  // Not while the user is typing a code into it.
  if (document.activeElement !== side.code) {
    side.code.value = code;
    clearRefusal(side);
  }
}

function clearRefusal(side) {
  side.status.textContent = '';
  side.code.removeAttribute('aria-invalid');
}

// Arrow Down and Page Down move the thumb down, towards 256, as on a vertical scroll bar;
// browsers disagree about which way a vertical range's keys go, so the page decides.
const BAR_STEPS = { ArrowDown: 1, ArrowRight: 1, ArrowUp: -1, ArrowLeft: -1, PageDown: 4, PageUp: -4 };

function onBarKey(event) {
  if (event.altKey || event.ctrlKey || event.metaKey) {
    return;
  }
  const bar = event.currentTarget;
  const max = Number(bar.max);
  let value;
  if (event.key === 'Home') {
    value = 0;
  } else if (event.key === 'End') {
    value = max;
  } else if (event.key in BAR_STEPS) {
    value = Math.min(max, Math.max(0, bar.valueAsNumber + BAR_STEPS[event.key]));
  } else {
    return;
  }
  event.preventDefault();
  if (value !== bar.valueAsNumber) {
    bar.value = value;
    // What the browser would have sent for its own key handling.
    bar.dispatchEvent(new Event('input', { bubbles: true }));
    bar.dispatchEvent(new Event('change', { bubbles: true }));
  }
}

function swap() {
  const saved = colourOf(start);
  setColour(start, colourOf(end));
  setColour(end, saved);
}

// u in [0, 1) from 53 random bits, so that floor(u * 256) is 0..255 and never 256.
function uniform() {
  const words32 = crypto.getRandomValues(new Uint32Array(2));
  return ((words32[0] >>> 5) * 0x4000000 + (words32[1] >>> 6)) * 2 ** -53;
}

function rndom() {
  const [r1, g1, b1] = start.bars;
  const [r2, g2, b2] = end.bars;
  for (const bar of [r1, r2, g1, g2, b1, b2]) {
    try {
      bar.value = Math.floor(uniform() * Number(bar.max));
    } catch {
      // As in the window: a failed draw skips only that bar.
    }
  }
  sides.forEach(updateSwatch);
}

// ---- Generate and the Error box ----

const errorBox = $('errorBox');
let focusBeforeError = null;

function showError(text) {
  $('errorText').textContent = text;
  focusBeforeError = document.activeElement;
  errorBox.showModal();
  $('errorOk').focus();
}

function closeError() {
  errorBox.close();
}

errorBox.addEventListener('close', () => {
  const back = focusBeforeError && focusBeforeError !== document.body && focusBeforeError.isConnected
    ? focusBeforeError : $('Command1');
  focusBeforeError = null;
  back.focus();
});
$('errorOk').addEventListener('click', closeError);
errorBox.addEventListener('keydown', (event) => {
  if (event.key === 'Enter' && !event.isComposing) {
    event.preventDefault();
    closeError();
  }
});

let engineFailure = null;

async function generate() {
  Text2.value = '';
  clipStatus.textContent = ''; // it spoke of the markup before
  if (engine === null) {
    try {
      engine = await enginePromise;
    } catch {
      showError(words.engineFailedText(engineFailure));
      return;
    }
  }
  const text = Text1.value;
  const from = colourOf(start);
  const to = colourOf(end);
  const bold = chkBold.checked;
  const italic = chkItalic.checked;
  let output = '';
  let failure = null;
  compact = '';
  try {
    const generation = engine.makeGradient(text, from, to, bold, italic);
    output = generation.output;
    if (generation.failure) {
      failure = words.failureText(engine, generation.failure);
    } else {
      // Same inputs, so the same codes: only the tags differ.
      compact = engine.makeCompactGradient(text, from, to, bold, italic).output;
    }
  } catch (error) {
    failure = words.thrownText(error);
  }
  Text2.value = output;
  Text2.scrollLeft = 0; // the start of the markup is what to see first
  showPreview(output);
  if (failure !== null) {
    showError(failure);
  }
}

function showPreview(markup) {
  preview.show(engine, markup, compact);
  $('copyCompact').disabled = compact === '';
  $('compactText').hidden = true;
  $('compactStatus').textContent = '';
}

// ---- Clipboard ----

async function writeClipboard(text) {
  if (!navigator.clipboard || !navigator.clipboard.writeText) {
    return false;
  }
  try {
    await navigator.clipboard.writeText(text);
    return true;
  } catch {
    return false;
  }
}

async function toClipBoard() {
  const text = Text2.value; // read now: a later Generate must not change what goes over
  clipStatus.textContent = '';
  if (!(await writeClipboard(text))) {
    clipStatus.textContent = words.CLIPBOARD_REFUSED;
    Text2.focus();
    Text2.select();
  }
}

async function copyCompact() {
  const text = compact;
  const status = $('compactStatus');
  const field = $('compactText');
  status.textContent = '';
  field.hidden = true;
  if (!(await writeClipboard(text))) {
    status.textContent = words.COMPACT_REFUSED;
    field.value = text;
    field.hidden = false;
    field.focus();
    field.select();
  }
}

// ---- Colours by code and by picker ----

function applyCode(side) {
  const typed = side.code.value;
  const read = engine === null ? null : engine.parseColour(typed);
  if (read === null) {
    return;
  }
  if ('refusal' in read) {
    side.status.textContent = words.refusalText(side.name, typed, read.refusal);
    side.code.setAttribute('aria-invalid', 'true');
    return;
  }
  clearRefusal(side);
  setColour(side, read);
  side.code.value = engine.formatColour(read);
}

function openPicker(side) {
  try {
    side.pick.showPicker();
  } catch {
    side.pick.click();
  }
}

function pickColour(side) {
  if (engine === null) {
    return;
  }
  const read = engine.parseColour(side.pick.value);
  if (!('refusal' in read)) {
    clearRefusal(side);
    setColour(side, read);
  }
}

// ---- Start ----

function resetControls() {
  // The window's initial state, whatever the browser restored from an earlier visit.
  for (const side of sides) {
    side.bars.forEach((bar) => { bar.value = 0; });
    side.code.value = '';
    clearRefusal(side);
  }
  Text1.value = '';
  Text2.value = '';
  chkBold.checked = false;
  chkItalic.checked = false;
}

function wire() {
  for (const side of sides) {
    const update = () => updateSwatch(side);
    for (const bar of side.bars) {
      // input arrives on every move of a dragged thumb, change when the value settles.
      bar.addEventListener('input', update);
      bar.addEventListener('change', update);
      bar.addEventListener('keydown', onBarKey);
    }
    side.shape.addEventListener('click', () => openPicker(side));
    side.pick.addEventListener('input', () => pickColour(side));
    side.pick.addEventListener('change', () => pickColour(side));
    side.code.addEventListener('change', () => applyCode(side));
    side.code.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' && !event.isComposing) {
        event.preventDefault();
        applyCode(side);
      }
    });
    // Leaving the field with a refused code shows the bars' colour again beside the message.
    side.code.addEventListener('blur', () => {
      if (engine !== null && !side.code.hasAttribute('aria-invalid')) {
        side.code.value = engine.formatColour(colourOf(side));
      }
    });
  }
  $('Command1').addEventListener('click', generate);
  $('Command2').addEventListener('click', rndom);
  $('Command3').addEventListener('click', toClipBoard);
  $('Command4').addEventListener('click', swap);
  $('copyCompact').addEventListener('click', copyCompact);
}

async function showVersion() {
  try {
    const response = await fetch('version.json', { cache: 'no-cache' });
    const facts = await response.json();
    if (facts.name && facts.version) {
      $('versionLine').textContent = `${facts.name} ${facts.version}`;
    }
  } catch {
    // Only the footer misses it.
  }
}

resetControls();
wire();
sides.forEach(updateSwatch);
$('r1').focus();
document.body.dataset.engine = 'loading';

enginePromise.then((loaded) => {
  engine = loaded;
  sides.forEach(updateSwatch);
  preview.show(engine, '', '');
  document.body.dataset.engine = 'ready';
}, (error) => {
  engineFailure = error;
  $('engineStatus').textContent = words.engineFailedText(error);
  document.body.dataset.engine = 'failed';
});

showVersion();

// Offline after the first visit; the page works the same where a worker cannot register
// (a file: URL, a private window, an old browser).
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('./sw.js').catch(() => {});
}
