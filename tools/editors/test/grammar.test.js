#!/usr/bin/env node
// Tokenises Tavric documents with the TextMate grammar, as VS Code does (vscode-textmate over the
// Oniguruma regular expressions of vscode-oniguruma), and checks it: every character inside a
// string, a character or a comment carries that scope, nothing is marked invalid, and a handful of
// known tokens of the shipped texts have the scopes an editor colours them by. Whatever the files:
// every word of the parser's keyword and operator tables is coloured whole, in the grammar and in
// the Vim syntax, and VS Code's language configuration splits words and folds nodes as it should.
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

// ---- The keywords, from the parser's own tables ----

const top = path.join(here, '..', '..');

// The words of a C++ string literal's body, escapes (\xC3\xA9 included) decoded as UTF-8.
function cString(body) {
  const bytes = [];
  for (let i = 0; i < body.length; ++i) {
    if (body[i] !== '\\') {
      bytes.push(...Buffer.from(body[i], 'utf8'));
    } else if (body[i + 1] === 'x') {
      const hex = /^[0-9A-Fa-f]+/.exec(body.slice(i + 2))[0];
      bytes.push(parseInt(hex, 16));
      i += 1 + hex.length;
    } else {
      bytes.push(body.charCodeAt(++i));
    }
  }
  return Buffer.from(bytes).toString('utf8');
}
const literals = (text) => [...text.matchAll(/"((?:[^"\\]|\\.)*)"/g)].map((m) => cString(m[1]));

const textFile = (name) => fs.readFileSync(path.join(top, 'tavric', 'text', name), 'utf8');

// Every word table of the lexer, by its name: the language's words (Words.hpp) and the tokens and
// other words the lexer knows (ParsingTools.hpp).
function parserWordTables() {
  const tables = new Map();
  for (const m of textFile('Words.hpp').matchAll(/inline constexpr Word (\w+)\[\] = \{([\s\S]*?)\};/g))
    tables.set(m[1], literals(m[2]));
  for (const m of textFile('ParsingTools.hpp').matchAll(/static constexpr const char\* (\w+)\[\] = \{([^}]*)\};/g))
    tables.set(m[1], literals(m[2]));
  return tables;
}

// The class the library's table gives each word table (Words.cpp), by the colour class it takes here.
function libraryWordClasses() {
  const classes = new Map();
  const colour = { Type: ['type'], Access: ['access', 'limited'], Qualifier: ['qualifier'], Kind: ['kind'],
    Directive: ['directive'], Value: ['constant'] };
  for (const m of textFile('Words.cpp').matchAll(/\{WordClass::(\w+), "(?:[^"\\]|\\.)*", listOf\((\w+)\)\}/g))
    classes.set(m[2], colour[m[1]] || []);
  return classes;
}

// The word operators of the expression table ("or ", ".OR.", "égal à "), without their blank.
function parserOperatorWords() {
  const source = fs.readFileSync(path.join(top, 'tavric', 'text', 'Operators.cpp'), 'utf8');
  const table = source.slice(source.indexOf('operatorTable'), source.indexOf('namespace {'));
  return literals(table).filter((word) => /[A-Za-z]/.test(word)).map((word) => word.trimEnd());
}

// How each table's words must be coloured, and a line that shows one (W stands for the word). A
// table left out here fails the test: a new word table needs a decision.
const wordClasses = {
  type: { tables: ['voidTypeWords', 'boolTypeWords', 'intTypeWords', 'realTypeWords', 'charTypeWords',
    'stringTypeWords', 'descriptorTypeWords', 'pointerTypeWords', 'structTypeWords'],
  lines: ['W x = 1', '[W x = 1]'], scope: 'storage.type.tavric', vim: 'tavricType' },
  access: { tables: ['privateWords', 'protectedWords', 'lockedWords', 'publicWords'],
    lines: ['W x = 1', '[W x = 1]'], scope: 'storage.modifier.access.tavric', vim: 'tavricAccess' },
  limited: { tables: ['limitedWords'], lines: ['W[f4] x = 1'], scope: 'storage.modifier.access.tavric',
    vim: 'tavricLimited' },
  qualifier: { tables: ['externWords', 'localWords', 'strictWords', 'restrictedWords', 'constWords'],
    lines: ['W x = 1', '[W x = 1]'], scope: 'storage.modifier.tavric', vim: 'tavricQualifier' },
  kind: { tables: ['fieldKindWords', 'collectionKindWords', 'scriptKindWords', 'sequenceKindWords',
    'xmlKindWords'], lines: ['W x = 1'], scope: 'storage.type.kind.tavric', vim: 'tavricKind' },
  constant: { tables: ['nullAddressWords', 'nothingWords', 'trueWords', 'falseWords'], lines: ['x = W'],
    scope: 'constant.language.tavric', vim: 'tavricConstant' },
  directive: { tables: ['includeWords', 'includeRawWords', 'messageWords', 'warningWords', 'errorWords'],
    lines: ['W "a.tvr"'], scope: 'keyword.control.directive.tavric', vim: 'tavricDirective' },
  // Not type words: the parser reads them as names.
  name: { tables: ['sizeWords'], lines: ['W x = 1'], scope: 'variable.other.tavric', vim: null },
  operator: { tables: [], lines: ['x = a W b'], scope: 'keyword.operator.word.tavric', vim: 'tavricOperator' },
};
// Tables coloured by other rules (the scope openers, "=" and its kin), checked with the shipped texts.
const elsewhere = ['lineContinuations', 'assignmentWords', 'scriptScopeWords', 'sequenceScopeWords', 'collectionScopeWords',
  'xmlScopeWords'];

// Case by case, beyond the tables: letter case as the parser folds it (a to z only), and what
// surrounds a word.
const tokenCases = [
  ['RÉEL x = 1', 'RÉEL', null], // "É" is not "é" to the parser
  ['Réel x = 1', 'Réel', 'storage.type.tavric'],
  ['réelx = 1', 'réelx', null], // a longer word
  ['[privé chaîne nom = "a"]', 'chaîne', 'storage.type.tavric'],
  ['[record Point p', 'record', 'storage.type.tavric'],
  ['[porte = 3 ouverte = non]', 'porte', 'entity.name.section.tavric'],
  ['n = NULL', 'NULL', 'constant.language.tavric'],
  ['s = "a // b" // c', '"a // b"', 'string.quoted.double.tavric'],
  ['s = "a // b" // c', '// c', 'comment.line.double-slash.tavric'],
  ["c = '/' /* x */", '/* x */', 'comment.block.tavric'],
];

// The piece at the column carries the scope on every character and the characters beside it do
// not: a whole word, not a part of one ("cha" "î" "ne"). With scope null, no keyword scope at all.
function tokenFailure(grammar, line, piece, scope, column = line.indexOf(piece)) {
  const tokens = grammar.tokenizeLine(line, vsctm.INITIAL).tokens;
  const scopesAt = (c) => (tokens.find((token) => token.startIndex <= c && c < token.endIndex) || { scopes: [] }).scopes;
  const shown = () => tokens.map((t) => JSON.stringify(line.slice(t.startIndex, t.endIndex)) + ' ' +
    t.scopes[t.scopes.length - 1]).join(', ');
  const inside = [...piece].map((_, i) => scopesAt(column + i));
  if (scope === null)
    return inside.some((scopes) => scopes.some((s) => /^(storage|keyword|constant\.language)/.test(s)))
      ? `${JSON.stringify(line)}: ${JSON.stringify(piece)} is coloured as a keyword: ${shown()}` : null;
  const beside = [scopesAt(column - 1), scopesAt(column + piece.length)];
  if (!inside.every((scopes) => scopes.includes(scope)) || beside.some((scopes) => scopes.includes(scope)))
    return `${JSON.stringify(line)}: ${JSON.stringify(piece)} is not a whole ${scope}: ${shown()}`;
  return null;
}

function checkKeywords(grammar) {
  const failures = [];
  const tables = parserWordTables();
  const classes = Object.entries(wordClasses).map(([name, c]) => ({ name, ...c, words: [] }));
  const library = libraryWordClasses();
  if (library.size === 0) failures.push('Words.cpp: no word table found');
  for (const [table, allowed] of library) {
    const owner = classes.find((c) => c.tables.includes(table));
    if (owner && !allowed.includes(owner.name)) failures.push(`Words.cpp: ${table} is not of the class ${owner.name}`);
  }
  for (const [table, words] of tables) {
    const owner = classes.find((c) => c.tables.includes(table));
    if (owner) owner.words.push(...words);
    else if (!elsewhere.includes(table)) failures.push(`ParsingTools.hpp: no colour decided for ${table}`);
  }
  classes.find((c) => c.name === 'operator').words.push(...parserOperatorWords());
  const vim = fs.readFileSync(path.join(here, 'vim', 'syntax', 'tavric.vim'), 'utf8');
  const vimKeywords = new Map();
  for (const m of vim.matchAll(/^syntax keyword\s+(\w+)\s+(.*)$/gm))
    for (const word of m[2].trim().split(/\s+/))
      vimKeywords.set(word.toLowerCase(), [...(vimKeywords.get(word.toLowerCase()) || []), m[1]]);
  const vimLines = (group) => vim.split('\n').filter((line) => line.includes(group)).join('\n');

  let count = 0;
  for (const c of classes) {
    for (const word of c.words) {
      // Any letter case: the parser folds a to z, so only those change.
      for (const written of [word, word.replace(/[a-z]/g, (l) => l.toUpperCase())]) {
        for (const line of c.lines) {
          ++count;
          const failure = tokenFailure(grammar, line.replace('W', written), written, c.scope, line.indexOf('W'));
          if (failure) failures.push(failure);
        }
      }
      const groups = vimKeywords.get(word.toLowerCase()) || [];
      if (c.vim === null && groups.length > 0) failures.push(`tavric.vim: '${word}' is a keyword (${groups})`);
      // Patterns rather than keywords: limité[..], the operators (".OR." as "\.\%(or\|...").
      const inVim = groups.includes(c.vim) ||
        (c.vim !== null && vimLines(c.vim).toLowerCase().includes(word.replace(/\./g, '').toLowerCase()));
      if (c.vim !== null && !inVim) failures.push(`tavric.vim: '${word}' is not in ${c.vim}`);
    }
  }
  for (const [line, piece, scope] of tokenCases) {
    ++count;
    const failure = tokenFailure(grammar, line, piece, scope);
    if (failure) failures.push(failure);
  }
  return { failures, count };
}

// VS Code's language configuration: words with accents, folding and indentation of nodes.
function checkLanguageConfiguration() {
  const failures = [];
  const configuration = JSON.parse(fs.readFileSync(path.join(here, 'vscode', 'language-configuration.json'), 'utf8'));
  const word = new RegExp(configuration.wordPattern, 'g');
  for (const [line, words] of [
    ['chaîne nom = "Élodie"', ['chaîne', 'nom', 'Élodie']],
    ['caractère c', ['caractère', 'c']],
    ['privé réel r = -2.5', ['privé', 'réel', 'r', '-2.5']],
    ['x = player.speed', ['x', 'player', 'speed']],
    ['h = 0x1F', ['h', '0x1F']],
  ]) {
    const found = line.match(word);
    if (JSON.stringify(found) !== JSON.stringify(words))
      failures.push(`wordPattern splits ${JSON.stringify(line)} as ${JSON.stringify(found)}, not ${JSON.stringify(words)}`);
  }
  const patterns = {
    increase: configuration.indentationRules.increaseIndentPattern,
    decrease: configuration.indentationRules.decreaseIndentPattern,
    foldStart: configuration.folding.markers.start,
    foldEnd: configuration.folding.markers.end,
  };
  // [line, the patterns it matches]
  for (const [line, matches] of [
    ['[menu', ['increase', 'foldStart']],
    ['  [door // the front door', ['increase', 'foldStart']],
    ['grid = [Collection (3)', ['increase', 'foldStart']],
    ['[door = 3 open = no]', []],
    ['mixed = [Collection "a" [named x = 1]]', []],
    ['title = "[not a node"', []],
    ['// see [menu', []],
    ['  ]', ['decrease', 'foldEnd']],
    ['/* a comment', ['foldStart']],
    ['   over lines */', ['foldEnd']],
    ['/* one line */', []],
    ['  x = 1 /* a note */', []],
  ]) {
    for (const [name, pattern] of Object.entries(patterns))
      if (new RegExp(pattern).test(line) !== matches.includes(name))
        failures.push(`${name} ${matches.includes(name) ? 'misses' : 'matches'} ${JSON.stringify(line)}`);
  }
  return failures;
}

async function main() {
  const given = process.argv.slice(2);
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
  const keywords = checkKeywords(grammar);
  const configurationFailures = checkLanguageConfiguration();
  for (const failure of [...keywords.failures, ...configurationFailures]) console.error(failure);
  failed += keywords.failures.length + configurationFailures.length;
  console.log(`keywords: ${keywords.count} lines, ${keywords.failures.length} failures; language configuration: ` +
              `${configurationFailures.length} failures`);
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
