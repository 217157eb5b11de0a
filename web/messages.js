// The window's words, and the page's own few. Every number goes through the engine's
// withThousands, so the page writes counts exactly as the desktop program does.

// What went wrong in a generation, then what to do about it.
export function failureText(engine, failure) {
  const th = (n) => engine.withThousands(n);
  switch (failure.kind) {
    case 'DivisionByZero':
      return 'There is no text to colour. Type a text first, then press Generate.';
    case 'SubscriptOutOfRange': {
      const count = failure.characters > 0 ? ` (${th(failure.characters)})` : '';
      return `The text has more than ${th(engine.maxCharacters)} characters${count}, ` +
        'more than Huewright can colour. Shorten it and generate again.';
    }
    case 'Overflow':
      return `The ${failure.channel} value ${failure.value} is out of range: ` +
        `colour values run from 0 to ${engine.maxChannel}.`;
    case 'OutOfMemory':
      return 'There is not enough memory to colour this text.';
    default:
      return 'The markup could not be made.';
  }
}

// A generation that threw instead of returning: the window's words for bad_alloc and the rest.
export function thrownText(error) {
  if (error instanceof RangeError || /memory/i.test(String(error && error.message))) {
    return 'There is not enough memory to colour this text.';
  }
  return `The markup could not be made: ${error && error.message ? error.message : String(error)}`;
}

// "1,902 characters (compact: 640)": the markup's length as forums count it.
export function lengthLine(engine, markup, compact) {
  if (markup === '') {
    return '';
  }
  const length = engine.countCodePoints(markup);
  let line = `${engine.withThousands(length)} characters`;
  const shorter = compact === '' ? length : engine.countCodePoints(compact);
  if (shorter < length) {
    line += ` (compact: ${engine.withThousands(shorter)})`;
  }
  return line;
}

// Which characters fall below 3:1 on a forum's light and dark backgrounds; '' when none do.
export function contrastLine(engine, markup) {
  if (markup === '') {
    return '';
  }
  const l = engine.legibility(markup);
  const part = (hard) =>
    `${engine.withThousands(hard)} of ${engine.withThousands(l.characters)} ` +
    (l.characters === 1 ? 'character' : 'characters');
  if (l.hardOnLight > 0 && l.hardOnDark > 0) {
    return `Hard to read on light backgrounds: ${part(l.hardOnLight)}; ` +
      `on dark backgrounds: ${part(l.hardOnDark)}`;
  }
  if (l.hardOnLight > 0) {
    return `Hard to read on light backgrounds: ${part(l.hardOnLight)}`;
  }
  return l.hardOnDark > 0 ? `Hard to read on dark backgrounds: ${part(l.hardOnDark)}` : '';
}

// A code the colour grammar refused, worded as huewright-cli words a bad --start or --end.
export function refusalText(side, text, refusal) {
  const why = refusal === 'OutOfRange'
    ? ': each value runs from 0 to 256'
    : '; use #RRGGBB, RRGGBB, #RGB, rgb(R, G, B) or R,G,B with values from 0 to 256, ' +
      'or a CSS colour name';
  return `${side} code: "${text}" is not a colour${why}.`;
}

export function swatchToolTip(code, colour) {
  return `${code} (red ${colour.red}, green ${colour.green}, blue ${colour.blue})`;
}

export function swatchDescription(shown) {
  return `Red ${shown.red}, green ${shown.green}, blue ${shown.blue}`;
}

const COPY_KEY = /Mac|iPhone|iPad/.test(navigator.platform || navigator.userAgent) ? '\u2318C' : 'Ctrl+C';

export const CLIPBOARD_REFUSED =
  `The browser did not let the page use the clipboard: the markup is selected, press ${COPY_KEY} to copy it.`;
export const COMPACT_REFUSED =
  `The browser did not let the page use the clipboard: the compact markup is selected below, press ${COPY_KEY} to copy it.`;

export function engineFailedText(error) {
  const why = error && error.message ? error.message : String(error);
  return `Huewright's engine could not be started in this browser (${why}). ` +
    'The colours still work; Generate needs the engine.';
}
