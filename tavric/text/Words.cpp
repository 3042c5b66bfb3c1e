#include "tavric/text/Words.hpp"

#include <algorithm>

#include "tavric/text/ParsingTools.hpp"

namespace zul {

using namespace lexicon;

const std::vector<WordMeaning>& wordMeanings()
{
    static const std::vector<WordMeaning> table = {
        {WordClass::Qualifier, "the value comes from outside the document: no write changes it", listOf(externWords)},
        {WordClass::Qualifier, "marks the field local", listOf(localWords)},
        {WordClass::Qualifier, "reads in another type, or through pointer levels, are refused", listOf(strictWords)},
        {WordClass::Qualifier, "marks the field restricted", listOf(restrictedWords)},
        {WordClass::Qualifier, "the value is constant (before a pointer level: that level is)", listOf(constWords)},
        {WordClass::Access, "private: no right for anyone but its parent", listOf(privateWords)},
        {WordClass::Access, "protected: read and execute only", listOf(protectedWords)},
        {WordClass::Access, "locked: execute only", listOf(lockedWords)},
        {WordClass::Access, "public: every right (the default)", listOf(publicWords)},
        {WordClass::Access, "limited[XY]: rights Y for all, X for the parent", listOf(limitedWords)},
        {WordClass::Type, "no type: the value decides", listOf(voidTypeWords)},
        {WordClass::Type, "a truth", listOf(boolTypeWords)},
        {WordClass::Type, "a 64-bit integer", listOf(intTypeWords)},
        {WordClass::Type, "a real (double)", listOf(realTypeWords)},
        {WordClass::Type, "a 16-bit character", listOf(charTypeWords)},
        {WordClass::Type, "a text", listOf(stringTypeWords)},
        {WordClass::Type, "a descriptor ($N)", listOf(descriptorTypeWords)},
        {WordClass::Type, "a pointer to a field (\"type:\" and its levels)", listOf(pointerTypeWords)},
        {WordClass::Type, "a record: a node of a declared record type", listOf(structTypeWords)},
        {WordClass::Kind, "a field with one value", listOf(fieldKindWords)},
        {WordClass::Kind, "a collection: members in order", listOf(collectionKindWords)},
        {WordClass::Kind, "a script: code run by the game", listOf(scriptKindWords)},
        {WordClass::Kind, "a sequence of steps", listOf(sequenceKindWords)},
        {WordClass::Kind, "XML text kept as it is", listOf(xmlKindWords)},
        {WordClass::Directive, "reads another document into this one", listOf(includeWords)},
        {WordClass::Directive, "reads another document into this one, as raw text", listOf(includeRawWords)},
        {WordClass::Directive, "a message for whoever loads the document", listOf(messageWords)},
        {WordClass::Directive, "a warning for whoever loads the document", listOf(warningWords)},
        {WordClass::Directive, "an error: the document is refused", listOf(errorWords)},
        {WordClass::Value, "a pointer to no field", listOf(nullAddressWords)},
        {WordClass::Value, "no value: an empty field", listOf(nothingWords)},
        {WordClass::Value, "true", listOf(trueWords)},
        {WordClass::Value, "false", listOf(falseWords)},
    };
    return table;
}

const WordMeaning* meaningOf(const std::string& text, std::size_t offset, std::size_t length)
{
    for (const WordMeaning& meaning : wordMeanings())
        for (std::size_t i = 0; i < meaning.words.count; ++i) {
            std::size_t position = offset;
            if (ParsingTools::matchNoCase(text, position, meaning.words.words[i].spelling) &&
                position == offset + length)
                return &meaning;
        }
    return nullptr;
}

} // namespace zul
