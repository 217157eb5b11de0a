// The markup as a forum shows it, on a light and on a dark page. The engine reads the markup
// (which tags a forum honours, where a character ends); the page only turns its runs into
// text nodes, so nothing in the markup, or typed into it, ever becomes HTML here.

import { contrastLine, lengthLine } from './messages.js';

// As many characters as the window's hover preview shows.
export const PREVIEW_CHARACTERS = 200;

// Text outside any colour tag takes the forum's own text colour, as in the window's preview.
const OWN_TEXT = { light: '#000000', dark: '#DCDCDC' };

function runsOf(engine, markup) {
  return markup === '' ? { runs: [], more: false } : engine.previewRuns(markup, PREVIEW_CHARACTERS);
}

function fill(box, runs, more, ownText) {
  const nodes = runs.map((run) => {
    const span = document.createElement('span');
    span.textContent = run.text;
    span.style.color = run.colour ?? ownText;
    if (run.bold) {
      span.style.fontWeight = 'bold';
    }
    if (run.italic) {
      span.style.fontStyle = 'italic';
    }
    return span;
  });
  if (more) {
    nodes.push(document.createTextNode('\u2026'));
  }
  box.replaceChildren(...nodes);
}

export class Preview {
  constructor(doc) {
    this.light = doc.getElementById('previewLight');
    this.dark = doc.getElementById('previewDark');
    this.length = doc.getElementById('lengthLine');
    this.contrast = doc.getElementById('contrastLine');
    this.hint = doc.getElementById('previewHint');
  }

  // `compact` is '' when there is none (after a failure); the contrast is counted on it when
  // there is one, since it renders alike and is far shorter to read.
  show(engine, markup, compact) {
    const { runs, more } = runsOf(engine, markup);
    this.light.style.backgroundColor = engine.lightBackground;
    this.dark.style.backgroundColor = engine.darkBackground;
    fill(this.light, runs, more, OWN_TEXT.light);
    fill(this.dark, runs, more, OWN_TEXT.dark);
    this.length.textContent = lengthLine(engine, markup, compact);
    this.contrast.textContent = contrastLine(engine, compact === '' ? markup : compact);
    this.hint.hidden = markup !== '';
  }
}
