#pragma once

// The words of the language, in English and French, with what each means: the one table the
// parser, the token record, the writer, the linter and the editors' support read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tavric/text/SourceToken.hpp"

namespace zul {

struct Word {
    const char* spelling;
    Language language;
};

// A list of synonyms: any of its words selects the same meaning. Order matters, the first match
// wins: a word that begins another of the list comes after it.
struct WordList {
    const Word* words;
    std::size_t count;
};

namespace lexicon {

constexpr Language En = Language::English;
constexpr Language Fr = Language::French;

// Qualifiers.
inline constexpr Word externWords[] = {{"extern", En}};
inline constexpr Word localWords[] = {{"local", En}};
inline constexpr Word strictWords[] = {{"strict", En}};
inline constexpr Word restrictedWords[] = {{"restricted", En}, {"restreint", Fr}};
inline constexpr Word constWords[] = {{"const", En}, {"solid", En}};
// Access.
inline constexpr Word privateWords[] = {{"private", En}, {"privé", Fr}};
inline constexpr Word protectedWords[] = {{"protected", En}, {"protégé", Fr}};
inline constexpr Word lockedWords[] = {{"locked", En}, {"verrouillé", Fr}};
inline constexpr Word publicWords[] = {{"public", En}, {"publique", Fr}};
inline constexpr Word limitedWords[] = {{"limited", En}, {"limité", Fr}};
// Types, in the order of FieldType (the word declaring type 7 is "type").
inline constexpr Word voidTypeWords[] = {{"variant", En}, {"void", En}, {"variable", En}};
inline constexpr Word boolTypeWords[] = {{"boolean", En}, {"booléen", Fr}, {"bool", En}};
inline constexpr Word intTypeWords[] = {{"integer", En}, {"int", En}, {"entier", Fr}};
inline constexpr Word realTypeWords[] = {{"double", En}, {"real", En}, {"réel", Fr}};
inline constexpr Word charTypeWords[] = {{"character", En}, {"char", En}, {"charactère", Fr}, {"caractère", Fr}};
inline constexpr Word stringTypeWords[] = {{"string", En}, {"chaine", Fr}, {"chaîne", Fr}};
inline constexpr Word descriptorTypeWords[] = {{"descriptor", En}, {"index", En}};
inline constexpr Word pointerTypeWords[] = {{"type", En}};
inline constexpr Word structTypeWords[] = {{"record", En}, {"structure", En}, {"struct", En}, {"enregistrement", Fr}};
// Kinds.
inline constexpr Word fieldKindWords[] = {{"Field", En}, {"Champ", Fr}};
inline constexpr Word collectionKindWords[] = {{"Collection", En}};
inline constexpr Word scriptKindWords[] = {{"Script", En}};
inline constexpr Word sequenceKindWords[] = {{"Sequence", En}};
inline constexpr Word xmlKindWords[] = {{"XML", En}};
// Directives.
inline constexpr Word includeWords[] = {{"Include", En}, {"Inclure", Fr}};
inline constexpr Word includeRawWords[] = {{"Includec", En}, {"Inclurec", Fr}};
inline constexpr Word messageWords[] = {{"Message", En}};
inline constexpr Word warningWords[] = {{"Warning", En}, {"Attention", Fr}};
inline constexpr Word errorWords[] = {{"Error", En}, {"Erreur", Fr}};
// Values.
inline constexpr Word nullAddressWords[] = {{"Nowhere", En}, {"Nullepart", Fr}};
inline constexpr Word nothingWords[] = {{"Nothing", En}, {"Rien", Fr}, {"Vide", Fr}};
inline constexpr Word trueWords[] = {{"True", En}, {"Yes", En}, {"Vrai", Fr}, {"Oui", Fr}};
inline constexpr Word falseWords[] = {{"False", En}, {"Non", Fr}, {"Faux", Fr}, {"No", En}};

template <std::size_t N>
constexpr WordList listOf(const Word (&words)[N])
{
    return {words, N};
}

// The type words, indexed by FieldType.
inline constexpr WordList typeWords[] = {
    listOf(voidTypeWords),       listOf(boolTypeWords),    listOf(intTypeWords),
    listOf(realTypeWords),       listOf(charTypeWords),    listOf(stringTypeWords),
    listOf(descriptorTypeWords), listOf(pointerTypeWords), listOf(structTypeWords),
};

} // namespace lexicon

enum class WordClass : std::uint8_t { Qualifier, Access, Type, Kind, Directive, Value };

// One meaning and its words.
struct WordMeaning {
    WordClass wordClass;
    const char* meaning;
    WordList words;
};

// Every meaning: qualifiers, access, types (by FieldType), kinds, directives, values.
const std::vector<WordMeaning>& wordMeanings();

// The meaning of a word as written (any letter case, the whole of it), or nullptr.
const WordMeaning* meaningOf(const std::string& text, std::size_t offset, std::size_t length);

} // namespace zul
