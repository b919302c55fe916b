// The slow, obviously right reference for the HTML rules, beside the engine for the differential
// tests: Debian's parse5 SAX parser reads the page, Node's own URL resolves each href.
//
//   node links.mjs [--all-schemes] [--charset=LABEL] [--base=URL [--root=DIR]] [-x KEYWORD]...
//                  PAGE...
//
// prints PAGE, a tab and each link, one line each, as `quillon --list --html` does with the
// same options.
//
// Two ways in which it is not a browser, both the HTML rules' own:
// - noscript is read as markup (a browser with scripting off), so parse5's tree-construction
//   simulator, which switches to raw text there, is patched below;
// - the first base href applies to the links after it only.
import { register } from 'node:module';
import { once } from 'node:events';
import { readFileSync } from 'node:fs';
import path from 'node:path';

// Debian installs Node packages under /usr/share/nodejs, which `import` does not search: a
// bare name that fails is resolved as the package's self-reference from inside its own folder.
const hook = `export async function resolve(specifier, context, next) {
  try { return await next(specifier, context); } catch (error) {
    if (error.code !== 'ERR_MODULE_NOT_FOUND' || /^[./]|:/.test(specifier)) throw error;
    const name = specifier.split('/').slice(0, specifier.startsWith('@') ? 2 : 1).join('/');
    return next(specifier, { ...context, parentURL: 'file:///usr/share/nodejs/' + name + '/package.json' });
  }
}`;
register('data:text/javascript,' + encodeURIComponent(hook));
const { SAXParser } = await import('parse5-sax-parser');
const { ParserFeedbackSimulator } = await import(
  '/usr/share/nodejs/parse5-sax-parser/dist/parser-feedback-simulator.js');
const { html } = await import('parse5');

const ensureMode = ParserFeedbackSimulator.prototype._ensureTokenizerMode;
ParserFeedbackSimulator.prototype._ensureTokenizerMode = function (tagId) {
  if (tagId !== html.TAG_ID.NOSCRIPT) ensureMode.call(this, tagId);
};

// ---- The page's encoding: BOM, the caller's label, the prescan of the first 1024 bytes, UTF-8.

function encodingFor(label) {
  try { return new TextDecoder(label.trim()).encoding; } catch { return null; }
}

function sniffBom(bytes) {
  if (bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf) return 'utf-8';
  if (bytes[0] === 0xfe && bytes[1] === 0xff) return 'utf-16be';
  if (bytes[0] === 0xff && bytes[1] === 0xfe) return 'utf-16le';
  return null;
}

const isSpace = (b) => b === 0x09 || b === 0x0a || b === 0x0c || b === 0x0d || b === 0x20;
const lower = (b) => (b >= 0x41 && b <= 0x5a ? b + 0x20 : b);
const latin = (bytes) => String.fromCharCode(...bytes);

// The HTML Standard's "get an attribute" at bytes[at]: [name, value, next position] or null.
function getAttribute(bytes, at) {
  while (at < bytes.length && (isSpace(bytes[at]) || bytes[at] === 0x2f)) at++;
  if (at >= bytes.length || bytes[at] === 0x3e) return null;
  const name = [];
  const value = [];
  for (;; at++) {
    if (at >= bytes.length) return null;
    const b = bytes[at];
    if (b === 0x3d && name.length > 0) { at++; break; }
    if (isSpace(b)) {
      while (at < bytes.length && isSpace(bytes[at])) at++;
      if (at >= bytes.length) return null;
      if (bytes[at] !== 0x3d) return [latin(name), '', at];
      at++;
      break;
    }
    if (b === 0x2f || b === 0x3e) return [latin(name), '', at];
    name.push(lower(b));
  }
  while (at < bytes.length && isSpace(bytes[at])) at++;
  if (at >= bytes.length) return null;
  if (bytes[at] === 0x22 || bytes[at] === 0x27) {
    const quote = bytes[at];
    for (at++; at < bytes.length; at++) {
      if (bytes[at] === quote) return [latin(name), latin(value), at + 1];
      value.push(lower(bytes[at]));
    }
    return null;
  }
  if (bytes[at] === 0x3e) return [latin(name), '', at];
  for (; at < bytes.length; at++) {
    if (isSpace(bytes[at]) || bytes[at] === 0x3e) return [latin(name), latin(value), at];
    value.push(lower(bytes[at]));
  }
  return null;
}

// The HTML Standard's "extract a character encoding from a meta element" (on a lowercased value).
function encodingFromContent(content) {
  let at = 0;
  for (;;) {
    const found = content.indexOf('charset', at);
    if (found < 0) return null;
    at = found + 7;
    while (at < content.length && isSpace(content.charCodeAt(at))) at++;
    if (content[at] !== '=') continue;
    at++;
    while (at < content.length && isSpace(content.charCodeAt(at))) at++;
    if (at >= content.length) return null;
    if (content[at] === '"' || content[at] === "'") {
      const end = content.indexOf(content[at], at + 1);
      return end < 0 ? null : content.slice(at + 1, end);
    }
    let end = at;
    while (end < content.length && !isSpace(content.charCodeAt(end)) && content[end] !== ';') end++;
    return content.slice(at, end);
  }
}

function startsWithLower(bytes, at, text) {
  for (let i = 0; i < text.length; i++) {
    if (lower(bytes[at + i]) !== text.charCodeAt(i)) return false;
  }
  return true;
}

// The HTML Standard's prescan over the first 1024 bytes.
function prescan(all) {
  const bytes = all.subarray(0, 1024);
  const isLetter = (b) => (b | 0x20) >= 0x61 && (b | 0x20) <= 0x7a;
  for (let at = 0; at < bytes.length; at++) {
    if (startsWithLower(bytes, at, '<!--')) {
      let end = at + 4;
      while (end < bytes.length && !(bytes[end] === 0x3e && bytes[end - 1] === 0x2d && bytes[end - 2] === 0x2d)) end++;
      if (end >= bytes.length) return null;
      at = end;
    } else if (startsWithLower(bytes, at, '<meta') && (isSpace(bytes[at + 5]) || bytes[at + 5] === 0x2f)) {
      at += 5;
      const names = new Set();
      let gotPragma = false;
      let needPragma = null;
      let charset = null;
      for (let attribute; (attribute = getAttribute(bytes, at)); ) {
        const [name, value, next] = attribute;
        at = next;
        if (names.has(name)) continue;
        names.add(name);
        if (name === 'http-equiv' && value === 'content-type') gotPragma = true;
        if (name === 'content' && charset === null) {
          const label = encodingFromContent(value);
          if (label !== null) {
            charset = encodingFor(label);
            needPragma = true;
          }
        }
        if (name === 'charset') {
          charset = encodingFor(value);
          needPragma = false;
        }
      }
      if (needPragma === null || (needPragma && !gotPragma) || charset === null) continue;
      if (charset === 'utf-16le' || charset === 'utf-16be') return 'utf-8';
      if (charset === 'x-user-defined') return 'windows-1252';
      return charset;
    } else if (bytes[at] === 0x3c && (isLetter(bytes[at + 1]) || (bytes[at + 1] === 0x2f && isLetter(bytes[at + 2])))) {
      at += bytes[at + 1] === 0x2f ? 2 : 1;
      while (at < bytes.length && !isSpace(bytes[at]) && bytes[at] !== 0x3e) at++;
      for (let attribute; (attribute = getAttribute(bytes, at)); ) at = attribute[2];
    } else if (bytes[at] === 0x3c && (bytes[at + 1] === 0x21 || bytes[at + 1] === 0x2f || bytes[at + 1] === 0x3f)) {
      while (at < bytes.length && bytes[at] !== 0x3e) at++;
    }
  }
  return null;
}

// Node 20's TextDecoder reads windows-1252's 0x80 to 0x9F as the C1 controls (ISO-8859-1):
// those 32 bytes are mapped here as the Encoding Standard's index maps them.
const kWindows1252High = [
  0x20ac, 0x81, 0x201a, 0x192, 0x201e, 0x2026, 0x2020, 0x2021, 0x2c6, 0x2030, 0x160, 0x2039,
  0x152, 0x8d, 0x17d, 0x8f, 0x90, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x2dc,
  0x2122, 0x161, 0x203a, 0x153, 0x9d, 0x17e, 0x178];

function decodePage(bytes, callerLabel) {
  const encoding = sniffBom(bytes) ?? (callerLabel && encodingFor(callerLabel)) ?? prescan(bytes) ?? 'utf-8';
  if (encoding === 'windows-1252') {
    const points = Array.from(bytes, (b) => (b >= 0x80 && b < 0xa0 ? kWindows1252High[b - 0x80] : b));
    let text = '';
    for (let at = 0; at < points.length; at += 8192) {
      text += String.fromCodePoint(...points.slice(at, at + 8192));
    }
    return text;
  }
  return new TextDecoder(encoding).decode(bytes);
}

// ---- The page's URL: as the tool makes it.

// Bytes outside the unreserved and sub-delimiter characters, ':', '@' and '/' are
// percent-encoded.
function encodePath(text) {
  let out = '';
  for (const b of Buffer.from(text)) {
    const c = String.fromCharCode(b);
    out += /[A-Za-z0-9\-._~!$&'()*+,;=:@/]/.test(c) ? c : '%' + b.toString(16).toUpperCase().padStart(2, '0');
  }
  return out;
}

function pageUrl(page, options) {
  if (options.base === undefined) {
    return 'file://' + encodePath(page.startsWith('/') ? page : process.cwd() + '/' + page);
  }
  if (options.root === undefined) return options.base;
  const below = path.relative(path.resolve(options.root), path.resolve(page));
  if (below.startsWith('..') || path.isAbsolute(below)) return null;
  return (options.base.endsWith('/') ? options.base : options.base + '/') + encodePath(below);
}

// ---- The links.

const kLongestHref = 8192;

async function linksOf(text, pageUrlText, options) {
  const links = [];
  const page = new URL(pageUrlText);
  let base = null;
  const parser = new SAXParser();
  parser.on('startTag', (tag) => {
    if (tag.tagName !== 'a' && tag.tagName !== 'area' && tag.tagName !== 'base') return;
    // Foreign content turns xlink:href into a prefixed attribute: only a plain href counts.
    const href = tag.attrs.find((attribute) => attribute.name === 'href' && !attribute.prefix);
    // The engine skips a value longer than its limit, counted, as if the tag had no href.
    if (href === undefined || Buffer.byteLength(href.value) > kLongestHref) return;
    if (tag.tagName === 'base') {
      if (base === null) {
        try { base = new URL(href.value, page); } catch { base = page; }
      }
      return;
    }
    let url;
    try { url = new URL(href.value, base ?? page); } catch { return; }
    if (!options.allSchemes && url.protocol !== 'http:' && url.protocol !== 'https:') return;
    if (options.keywords.some((keyword) => keyword !== '' && url.href.includes(keyword))) return;
    links.push(url.href);
  });
  parser.end(text);
  await once(parser, 'finish');
  return links;
}

const options = { allSchemes: false, keywords: [], charset: undefined, base: undefined, root: undefined };
const pages = [];
const argv = process.argv.slice(2);
for (let i = 0; i < argv.length; i++) {
  const argument = argv[i];
  if (argument === '--all-schemes') options.allSchemes = true;
  else if (argument.startsWith('--charset=')) options.charset = argument.slice(10);
  else if (argument.startsWith('--base=')) options.base = argument.slice(7);
  else if (argument.startsWith('--root=')) options.root = argument.slice(7);
  else if (argument === '-x') options.keywords.push(argv[++i]);
  else pages.push(argument);
}
const out = [];
for (const page of pages) {
  const url = pageUrl(page, options);
  if (url === null) continue;
  for (const link of await linksOf(decodePage(readFileSync(page), options.charset), url, options)) {
    out.push(page + '\t' + link + '\n');
  }
}
process.stdout.write(out.join(''));
