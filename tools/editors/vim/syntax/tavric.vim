" Vim syntax file
" Language:   Tavric, Velmora's data language (*.tvr)
" Words in English and French; all of them match in any letter case, as the parser reads them.

if exists("b:current_syntax")
  finish
endif

let s:cpo_save = &cpo
set cpo&vim

syntax case ignore
" Names are ASCII letters, digits and "_", but the French words hold accented letters: those count
" as word characters too, so that "chaîne" or "privé" is one keyword and "réelx" none. (Ignoring
" case, Vim also takes "RÉEL", which the parser does not: it folds only a to z.)
setlocal iskeyword=a-z,A-Z,48-57,_,192-214,216-246,248-255

syntax keyword tavricDirective    Include Inclure Includec Inclurec Message Warning Attention Error Erreur
syntax keyword tavricAccess       private privé protected protégé locked verrouillé public publique
syntax match   tavricLimited      "\<\%(limited\|limité\)\[\x\+\]" contains=tavricLimitedDigits
syntax match   tavricLimitedDigits "\[\zs\x\+\ze\]" contained
syntax keyword tavricQualifier    extern local strict restricted restreint const solid
syntax keyword tavricKind         Field Champ Collection Script Sequence XML
" Byte, Short, Word and Long are no type words: the parser reads them as names.
syntax keyword tavricType         variant void variable boolean booléen bool integer int entier double real réel
syntax keyword tavricType         character char charactère caractère string chaine chaîne descriptor index type
syntax keyword tavricType         record structure struct enregistrement
syntax keyword tavricConstant     True Yes Vrai Oui False Non Faux No Nothing Rien Vide Nowhere Nullepart NULL

syntax match   tavricScope        "\[\%(Collection\|Script\|Sequence\|XML\)\>"
syntax match   tavricRoot         "\[\]\|{}"
syntax match   tavricBracket      "[][]"

" Numbers in every base; raw pointers (#) and descriptors ($).
syntax match   tavricNumber       "\<\d\+\>"
syntax match   tavricNumber       "\<0\o\+\>"
syntax match   tavricNumber       "\<0x\x\+\>"
syntax match   tavricNumber       "\<0b[01]\+\>"
syntax match   tavricNumber       "\<\d\+\.\d*"
syntax match   tavricNumber       "#\x\+\>"
syntax match   tavricNumber       "\$\d\+\>"

" Operators: symbols, dotted words and word operators (which need a blank after them).
syntax match   tavricOperator     "[-+*/%|^&<>=:~!,#.]\{1,3}"
syntax match   tavricOperator     "\.\%(or\|xor\|and\|eq\|ne\|le\|ge\|lt\|gt\)\."
syntax match   tavricOperator     "\s\zs\%(or\|ou\|xor\|oux\|and\|et\|x\|pow\|equal to\|égal à\|is unlike\|différent de\|lesser than\|inférieur à\|greater than\|supérieur à\)\ze "
syntax match   tavricContinuation "\\$"

syntax match   tavricEscape       "\\\%([\"'\\abfnrtv]\|0\o*\)" contained
syntax match   tavricBadEscape    "\\[^\"'\\abfnrtv0]" contained
syntax region  tavricString       start=+"+ skip=+\\\\\|\\"+ end=+"+ contains=tavricEscape,tavricBadEscape
syntax match   tavricCharacter    "'\%(\\\%([\"'\\abfnrtv]\|0\o*\)\|[^'\\]\)'" contains=tavricEscape

syntax keyword tavricTodo         TODO FIXME XXX contained
syntax match   tavricLineComment  "//.*$" contains=tavricTodo,@Spell
syntax region  tavricBlockComment start="/\*" end="\*/" contains=tavricTodo,@Spell

highlight default link tavricDirective     PreProc
highlight default link tavricAccess        StorageClass
highlight default link tavricLimited       StorageClass
highlight default link tavricLimitedDigits Number
highlight default link tavricQualifier     StorageClass
highlight default link tavricKind          Structure
highlight default link tavricType          Type
highlight default link tavricConstant      Constant
highlight default link tavricScope         Structure
highlight default link tavricRoot          Special
highlight default link tavricBracket       Delimiter
highlight default link tavricNumber        Number
highlight default link tavricOperator      Operator
highlight default link tavricContinuation  Special
highlight default link tavricEscape        SpecialChar
highlight default link tavricBadEscape     Error
highlight default link tavricString        String
highlight default link tavricCharacter     Character
highlight default link tavricTodo          Todo
highlight default link tavricLineComment   Comment
highlight default link tavricBlockComment  Comment

let b:current_syntax = "tavric"

let &cpo = s:cpo_save
unlet s:cpo_save
