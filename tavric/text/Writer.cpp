// The tree writer: a field, its value and its children back to Tavric text that the parser reads
// into the same tree.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "tavric/model/Declaration.hpp"
#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/Tavric.hpp"
#include "tavric/model/TavricInternal.hpp"
#include "tavric/text/Documents.hpp"
#include "tavric/text/ExpressionNode.hpp"
#include "tavric/text/Literals.hpp"
#include "tavric/text/ParsingTools.hpp"
#include "tavric/text/WholeFile.hpp"

namespace zul {

namespace {

using PT = ParsingTools;

// True when an operand written right after an operator would be read as part of a longer one
// ("<" then "-1" reads "<-"; "&" then "&a" reads "&&").
bool joinsOperator(const std::string& spelling, const std::string& operand)
{
    const std::string joined = spelling + operand.substr(0, 8);
    OperatorMatch match;
    return matchOperator(joined, 0, match) && match.length != spelling.size();
}

bool isIdentifier(const std::string& name)
{
    if (name.empty() || std::strchr(PT::identifierStartSet, name[0]) == nullptr)
        return false;
    for (const char c : name)
        if (c == '\0' || std::strchr(PT::identifierSet, c) == nullptr)
            return false;
    return true;
}

// A name the parser would take for a qualifier, kind, type or directive word: it is written quoted.
bool isReservedWord(const std::string& name)
{
    for (const WordMeaning& meaning : wordMeanings()) {
        std::size_t p = 0;
        if (meaning.wordClass != WordClass::Value &&
            PT::matchKeyword(name, p, meaning.words.words, meaning.words.count, PT::identifierSet) >= 0 &&
            p == name.size())
            return true;
    }
    return false;
}

class TreeWriter {
public:
    TreeWriter(std::ostream& out, int user, bool raw, bool colour, bool plain)
        : out(out), user(user), raw(raw), colour(colour && !plain), plain(plain)
    {
    }

    void ownValue(const Tavric& node, int indent);
    void children(const Tavric& node, int indent);

private:
    void childField(const Tavric& child, int indent);
    void header(const Tavric& field);
    bool value(const Tavric& field, int indent, std::string& text);
    void typedValue(const Tavric& field, std::string& text);
    void collection(const Tavric& field, int indent, std::string& text);
    void expression(const Tavric& field, const ExpressionNode& node, std::string& text);
    void piece(std::string& text, const std::string& words, int colourIndex) const;
    std::string indentation(int indent) const { return plain ? std::string() : std::string(indent, ' '); }

    std::ostream& out;
    int user;
    bool raw;
    bool colour;
    bool plain;
};

void TreeWriter::piece(std::string& text, const std::string& words, int colourIndex) const
{
    if (colour)
        text += PT::colours[colourIndex];
    text += words;
    if (colour)
        text += PT::colours[PT::ColourReset];
}

void TreeWriter::ownValue(const Tavric& node, int indent)
{
    std::string text;
    if (value(node, indent, text))
        out << (plain ? "=" : " = ") << text;
    // A root's value ends its line too, so that its children start on lines of their own.
    if (node.getParent() != nullptr || !text.empty())
        out << '\n';
}

void TreeWriter::children(const Tavric& node, int indent)
{
    // A name the parser cannot read (empty, as collection members have, or not an identifier) is
    // left out: written, it would make the rest of the text unreadable.
    for (const Tavric* child : node.childrenInOrder())
        if (isIdentifier(child->getName()))
            childField(*child, indent);
    // Children shared from another tree are written as their own content, in name order.
    std::vector<const Tavric*> linked;
    for (const auto& entry : node.childrenById())
        if (node.isLinked(entry.first) && isIdentifier(entry.second->getName()))
            linked.push_back(entry.second);
    std::sort(linked.begin(), linked.end(),
              [](const Tavric* a, const Tavric* b) { return a->getName() < b->getName(); });
    for (const Tavric* child : linked)
        childField(*child, indent);
}

void TreeWriter::childField(const Tavric& child, int indent)
{
    out << indentation(indent);
    if (child.childCount() > 0) {
        out << '[';
        header(child);
        ownValue(child, indent + 2);
        children(child, indent + 2);
        out << '\n' << indentation(indent) << ']';
    } else {
        header(child);
        std::string text;
        if (value(child, indent + 2, text))
            out << (plain ? "=" : " = ") << text;
    }
    out << '\n';
}

void TreeWriter::header(const Tavric& field)
{
    Declaration words;
    // The writer's own rules: the restricted qualifier as read, the kind word that declares it,
    // "type" for pointers, record names, and levels the resolution took left out.
    words.strictFirst = true;
    if (const Tavric* parent = field.getParent()) {
        const int parentKey = static_cast<int32_t>(static_cast<uint32_t>(parent->getIdentity()));
        int entry = 0;
        if (field.getUserRights(parentKey, entry))
            words.access = accessWord(entry, field.getDefaultRights(), HexStyle::Document);
    }
    words.restricted = field.isRestricted();
    words.external = field.isExternal();
    words.local = field.isLocal();
    words.strict = field.isStrict();
    if (field.isKindDeclared()) {
        // The kind words the parser knows ("program" is written as the word that declares it).
        static const char* const kindWords[fieldKindCount] = {"field",  "field",    "field",      "field", "field",
                                                              "Script", "sequence", "collection", "xml"};
        words.kind = std::string(kindWords[field.getKind()]) + " ";
    }
    // Every word for type void reads back as untyped; a typed field holds void only once bound
    // to a void target, and is then written as the untyped field it reads back as.
    if (!field.isUntyped() && field.getType() != TypeVoid) {
        std::string word = field.getType() == TypePointer ? "type" : Tavric::typeNames[field.getType()];
        if (field.getType() == TypeStruct)
            word += " " + (field.getStructName().empty() ? std::string("record") : field.getStructName());
        words.type = word + " ";
    }
    words.levels = field.getPointerLevels();
    // Levels that the resolution took from the target (none declared) are left to it again: taken
    // in another order (a chain or a cycle of pointers) they would no longer match once declared.
    if (field.arePointerLevelsTaken())
        words.levels.clear();
    if (field.getKind() == KindPointer && field.isUntyped() && TavricAccess::isTargetValid(field) && field.getTarget()) {
        const Tavric& target = *field.getTarget();
        std::vector<int> derived = target.getPointerLevels();
        derived.push_back(target.isConstant() ? 1 : 0);
        if (derived == words.levels)
            words.levels.clear();
    }
    words.constant = field.isConstant();
    std::string text = declarationText(words, colour);
    const std::string& name = field.getName();
    piece(text, isReservedWord(name) ? "\"" + name + "\"" : name, PT::ColourBoldYellow);
    out << text;
}

// The value of a field as text; false when the field is written without a value.
bool TreeWriter::value(const Tavric& field, int indent, std::string& text)
{
    switch (field.getKind()) {
    case KindReference:
        text += field.getAddressText();
        return true;
    case KindPointer:
        // A pointer to nowhere too: "&nowhere" reads back as the word "Nowhere" does.
        piece(text, "&" + field.getAddressText(), PT::ColourBoldMagenta);
        return true;
    case KindComputed: {
        const auto* node = dynamic_cast<const ExpressionNode*>(field.getExpression());
        if (node && !(node->isFolded() && !raw && !field.isEmpty())) {
            if (!field.hasRight(user, RightRead))
                return false;
            expression(field, *node, text);
            return true;
        }
        break;
    }
    case KindProgram:
    case KindSequence:
    case KindXml:
        // A declared kind reads back from its word alone; otherwise the scope says it.
        if (field.isKindDeclared())
            return false;
        text +=
            field.getKind() == KindProgram ? "[Script]" : (field.getKind() == KindSequence ? "[Sequence]" : "[XML]");
        return true;
    case KindCollection:
        if (!field.getCollection())
            return false;
        collection(field, indent, text);
        return true;
    default:
        break;
    }
    if (field.isEmpty()) {
        if (field.getKind() != KindValue || field.isKindDeclared())
            return false;
        text += "Nothing";
        return true;
    }
    typedValue(field, text);
    return true;
}

void TreeWriter::typedValue(const Tavric& field, std::string& text)
{
    switch (field.getType()) {
    case TypeBool:
        piece(text, field.rawBool() ? "True" : "False", PT::ColourMagenta);
        break;
    case TypeInt:
        text += std::to_string(field.rawInt());
        break;
    case TypeReal:
        text += realText(field.rawReal(), RealForm::Writer);
        break;
    case TypeChar:
        piece(text, quotedChar(static_cast<uint16_t>(field.rawInt() & 0xFFFF)), PT::ColourBoldGreen);
        break;
    case TypeString:
        piece(text, quotedString(field.rawString()), PT::ColourBoldGreen);
        break;
    case TypeDescriptor:
        // Unsigned, the form the descriptor rule reads back.
        piece(text, "$" + std::to_string(static_cast<uint64_t>(field.rawInt())), PT::ColourBoldMagenta);
        break;
    case TypePointer:
        piece(text,
              field.rawPointer() == 0 ? std::string("NULL")
                                      : "#" + hexText(static_cast<uint32_t>(field.rawPointer()), false),
              PT::ColourBoldMagenta);
        break;
    default:
        // A value without a type of its own (void, record) has no literal.
        text += "Nothing";
        break;
    }
}

void TreeWriter::collection(const Tavric& field, int indent, std::string& text)
{
    const Collection& elements = *field.getCollection();
    const int perLine = elements.valuesPerLine > 0 ? elements.valuesPerLine : Collection::defaultValuesPerLine;
    text += "[Collection";
    if (perLine != Collection::defaultValuesPerLine)
        text += " (" + std::to_string(perLine) + ")";
    text += '\n';
    const std::string rowStart = indentation(indent);
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i % static_cast<std::size_t>(perLine) == 0)
            text += rowStart;
        // Plain numbers are written from their slots: asking for their fields would make them all.
        int64_t plainInt = 0;
        double plainReal = 0.0;
        if (elements.plainInt(i, plainInt)) {
            text += std::to_string(plainInt);
        } else if (elements.plainReal(i, plainReal)) {
            text += realText(plainReal, RealForm::Writer);
        } else if (const Tavric* member = elements.elementAt(i); member && isIdentifier(member->getName())) {
            // A named member (a bracketed node) keeps its name, declaration and children.
            std::ostringstream nested;
            TreeWriter writer(nested, user, raw, colour, plain);
            nested << '[';
            writer.header(*member);
            writer.ownValue(*member, indent + 2);
            writer.children(*member, indent + 2);
            nested << rowStart << ']';
            text += nested.str();
        } else if (!member || !value(*member, indent + 2, text)) {
            text += "Nothing";
        }
        text += ' ';
        if ((i + 1) % static_cast<std::size_t>(perLine) == 0 || i + 1 == elements.size())
            text += '\n';
    }
    if (!plain && indent >= 3)
        text += std::string(static_cast<std::size_t>(indent - 2), ' ');
    text += ']';
}

void TreeWriter::expression(const Tavric& field, const ExpressionNode& node, std::string& text)
{
    if (node.isOperand()) {
        const Tavric& operand = *node.getOperand();
        if (!value(operand, 0, text))
            text += "Nothing";
        return;
    }
    if (node.isFolded() && !raw && &node.foldedResult() != &nullField) {
        typedValue(node.foldedResult(), text);
        return;
    }
    for (std::size_t i = 0; i < node.operandCount(); ++i) {
        std::string operand;
        expression(field, node.child(i), operand);
        if (i > 0) {
            const std::string spelling = operatorSpelling(node.getLevel(), node.operatorAt(i - 1));
            if (plain) {
                // Compact, but never so close that the parser would read another token.
                if (spelling[0] == '.')
                    text += ' ';
                text += spelling;
                if (joinsOperator(spelling, operand))
                    text += ' ';
            } else {
                text += " " + spelling + " ";
            }
        }
        text += operand;
    }
}

} // namespace

bool write(const Tavric& node, std::ostream& out, const WriteOptions& options)
{
    if (&node == &nullField)
        return false;
    try {
        TreeWriter writer(out, options.user, options.raw, options.colour, options.plain);
        writer.ownValue(node, options.indent);
        writer.children(node, options.indent);
    } catch (const std::bad_alloc&) {
        node.report(ErrorMemory, modelmsg::memoryExhausted(sizeof(Tavric)));
        return false;
    }
    return !out.fail();
}

bool save(const Tavric& node, const std::string& path, const WriteOptions& options)
{
    if (&node == &nullField)
        return false;
    std::string bytes;
    try {
        std::ostringstream text;
        WriteOptions whole = options;
        whole.colour = false;
        whole.indent = 0;
        if (!write(node, text, whole))
            return false;
        bytes = text.str();
    } catch (const std::bad_alloc&) {
        node.report(ErrorMemory, modelmsg::memoryExhausted(sizeof(Tavric)));
        return false;
    }
    // Replaced whole: a failed save leaves the old file as it was.
    const ReplaceResult replaced = replaceWholeFile(path, bytes);
    if (!replaced) {
        const int code = replaced.error;
        if (replaced.step == ReplaceStep::Create)
            node.report(ErrorOpenOutput, modelmsg::openOutput(path, code, std::strerror(code)));
        else
            node.report(ErrorWriteOutput, modelmsg::writeOutput(path, code, std::strerror(code)));
        return false;
    }
    return true;
}

} // namespace zul
