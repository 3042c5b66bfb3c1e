#!/usr/bin/env node
// Tokenises Tavric documents with the TextMate grammar, as VS Code does (vscode-textmate over the
// Oniguruma regular expressions of vscode-oniguruma), and checks it: every character inside a
// string, a character or a comment carries that scope, nothing is marked invalid, and a handful of
// known tokens of the shipped texts have the scopes an editor colours them by.
//
// Usage: node grammar.test.js [FILE...]   (the npm packages: cd tools/editors && npm ci)
// Without files (npm test): its own literals.tvr and the shipped texts of content/text.

'use strict';

const fs = require('fs');
const path = require('path');

const here = path.join(__dirname, '..');
let vsctm;
let oniguruma;
try {
  vsctm = require(path.join(here, 'node_modules', 'vscode-textmate'));
  oniguruma = require(path.join(here, 'node_modules', 'vscode-oniguruma'));
} catch (error) {
  console.error('grammar test: the npm packages are missing; run tools/setup.sh (or npm ci in tools/editors)');
  process.exit(1);
}

const grammarPath = path.join(here, 'tavric.tmLanguage.json');

// Known tokens: in the first line of the file (by its base name) that matches the line pattern,
// every character of the piece must carry the scope.
const expectations = [
  ['En.tvr', /^\/\/ English/, '// English texts', 'comment.line.double-slash.tavric'],
  ['En.tvr', /^\[En/, '[', 'punctuation.section.node.begin.tavric'],
  ['En.tvr', /^\[En/, 'En', 'entity.name.section.tavric'],
  ['En.tvr', /Victory =/, 'Victory', 'variable.other.field.tavric'],
  ['En.tvr', /Victory =/, '=', 'keyword.operator.assignment.tavric'],
  ['En.tvr', /Victory =/, '"The hatch', 'string.quoted.double.tavric'],
  ['En.tvr', /Books =/, '\\"', 'constant.character.escape.tavric'],
  ['En.tvr', /_INITIAL_05_Maverick/, '\\n', 'constant.character.escape.tavric'],
  ['En.tvr', /^\]/, ']', 'punctuation.section.node.end.tavric'],
  ['Fr.tvr', /Victory =/, 'trappe', 'string.quoted.double.tavric'],
  ['Fr.tvr', /_INITIAL_200_Hunter/, '\u00c0 toutes les unit\u00e9s', 'string.quoted.double.tavric'],
  ['config.tvr', /L0 = \[Collection/, 'Collection', 'keyword.other.scope.tavric'],
  ['config.tvr', /L0 = \[Collection/, '64', 'constant.numeric.decimal.tavric'],
  ['config.tvr', /^\s+Width = /, '64', 'constant.numeric.decimal.tavric'],
  ['config.tvr', /^\s+26 22 22/, '26', 'constant.numeric.decimal.tavric'],
  ['config.tvr', /^\/\/ Written by/, 'velmora_mapc', 'comment.line.double-slash.tavric'],
  // The parser reads comment marks inside literals as text.
  ['literals.tvr', /^a = /, '"x /* y"', 'string.quoted.double.tavric'],
  ['literals.tvr', /^b = /, 'b', 'variable.other.field.tavric'],
  ['literals.tvr', /^c = /, '"z */ w"', 'string.quoted.double.tavric'],
  ['literals.tvr', /^url = /, '"http://x/"', 'string.quoted.double.tavric'],
  ['literals.tvr', /^url = /, '// a comment', 'comment.line.double-slash.tavric'],
  ['literals.tvr', /^d = /, "'/'", 'string.quoted.single.tavric'],
  ['literals.tvr', /^d = /, '/* and', 'comment.block.tavric'],
  ['literals.tvr', /^e = /, '// still text', 'string.quoted.double.tavric'],
];

async function loadGrammar() {
  const wasm = fs.readFileSync(path.join(here, 'node_modules', 'vscode-oniguruma', 'release', 'onig.wasm')).buffer;
  await oniguruma.loadWASM(wasm);
  const registry = new vsctm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scopeName) =>
      scopeName === 'source.tavric'
        ? vsctm.parseRawGrammar(fs.readFileSync(grammarPath, 'utf8'), grammarPath)
        : null,
  });
  return registry.loadGrammar('source.tavric');
}

// The scopes of every character, line by line.
function tokenise(grammar, text) {
  const lines = text.split('\n');
  let stack = vsctm.INITIAL;
  return lines.map((line) => {
    const result = grammar.tokenizeLine(line, stack);
    stack = result.ruleStack;
    const scopes = new Array(line.length);
    for (const token of result.tokens)
      for (let i = token.startIndex; i < Math.min(token.endIndex, line.length); ++i) scopes[i] = token.scopes;
    return { line, scopes };
  });
}

// Strings, characters and comments found by a plain walk of the text (not by the grammar): each as
// [first line, first column, last line, last column inclusive, what it is].
function literalSpans(text) {
  const spans = [];
  let line = 0;
  let column = 0;
  let i = 0;
  const advance = () => {
    if (text[i] === '\n') {
      ++line;
      column = 0;
    } else {
      ++column;
    }
    ++i;
  };
  while (i < text.length) {
    const startLine = line;
    const startColumn = column;
    let kind = null;
    if (text.startsWith('//', i)) {
      kind = 'comment';
      while (i < text.length && text[i + 1] !== '\n' && i + 1 < text.length) advance();
    } else if (text.startsWith('/*', i)) {
      kind = 'comment';
      advance();
      advance();
      while (i < text.length && !text.startsWith('*/', i)) advance();
      advance();
    } else if (text[i] === '"' || text[i] === "'") {
      kind = 'string';
      const quote = text[i];
      advance();
      while (i < text.length && text[i] !== quote) {
        if (text[i] === '\\') advance();
        advance();
      }
    }
    if (kind !== null) spans.push([startLine, startColumn, line, column, kind]);
    advance();
  }
  return spans;
}

function check(grammar, file) {
  const failures = [];
  const text = fs.readFileSync(file, 'utf8');
  const lines = tokenise(grammar, text);
  const name = path.basename(file);
  const has = (scopes, prefix) => scopes !== undefined && scopes.some((scope) => scope.startsWith(prefix));

  let checkedCharacters = 0;
  for (const [firstLine, firstColumn, lastLine, lastColumn, kind] of literalSpans(text)) {
    for (let l = firstLine; l <= lastLine && l < lines.length; ++l) {
      const { line, scopes } = lines[l];
      const from = l === firstLine ? firstColumn : 0;
      const to = l === lastLine ? Math.min(lastColumn, line.length - 1) : line.length - 1;
      for (let c = from; c <= to; ++c) {
        ++checkedCharacters;
        if (!has(scopes[c], kind + '.'))
          failures.push(`${file}:${l + 1}:${c + 1}: not scoped as a ${kind}: ${JSON.stringify(line.slice(c, c + 20))}`);
      }
    }
  }
  if (checkedCharacters === 0) failures.push(`${file}: no string or comment found`);

  lines.forEach(({ line, scopes }, l) => {
    for (let c = 0; c < line.length; ++c)
      if (has(scopes[c], 'invalid.')) failures.push(`${file}:${l + 1}:${c + 1}: marked invalid`);
  });

  for (const [base, pattern, piece, scope] of expectations) {
    if (base !== name) continue;
    const index = lines.findIndex(({ line }) => pattern.test(line));
    const column = index < 0 ? -1 : lines[index].line.indexOf(piece);
    if (column < 0) {
      failures.push(`${file}: no line matching ${pattern} with ${JSON.stringify(piece)}`);
      continue;
    }
    for (let c = column; c < column + piece.length; ++c) {
      const scopes = lines[index].scopes[c] || [];
      if (!scopes.includes(scope)) {
        failures.push(`${file}:${index + 1}:${c + 1}: ${JSON.stringify(piece)} has ${scopes.join(' ')}, not ${scope}`);
        break;
      }
    }
  }
  return { failures, checkedCharacters, lineCount: lines.length };
}

async function main() {
  const given = process.argv.slice(2);
  const top = path.join(here, '..', '..');
  const files = given.length > 0 ? given : [path.join(__dirname, 'literals.tvr'),
    path.join(top, 'content', 'text', 'En.tvr'), path.join(top, 'content', 'text', 'Fr.tvr')];
  const grammar = await loadGrammar();
  let failed = 0;
  const seen = new Set(files.map((file) => path.basename(file)));
  for (const [base] of expectations)
    if (given.length > 0 && !seen.has(base)) {
      console.error(`no file named ${base} was given`);
      ++failed;
    }
  for (const file of files) {
    const { failures, checkedCharacters, lineCount } = check(grammar, file);
    for (const failure of failures.slice(0, 20)) console.error(failure);
    failed += failures.length;
    console.log(`${file}: ${lineCount} lines, ${checkedCharacters} characters in strings and comments, ` +
                `${failures.length} failures`);
  }
  process.exit(failed === 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
