// Addresses: parsing into steps, walking them, following pointers, and the post-parse resolution.

#include "tavric/model/Tavric.hpp"

#include <cstdlib>

#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/TavricInternal.hpp"
#include "tavric/text/ParsingTools.hpp"

namespace zul {

namespace {

constexpr int stepRoot = 1;
constexpr int stepParent = 2;
const char* const nowhereAddress = "nowhere";

} // namespace

bool Tavric::parseAddress(const std::string& address, std::vector<int>& steps) const
{
    steps.clear();
    if (isNull())
        return false;
    std::size_t position = 0;
    auto syntaxError = [&]() {
        report(ErrorAddressSyntax, modelmsg::addressSyntax(address));
        return false;
    };
    // After a step: "->" (follow), "." or the end. 1 plain, -1 follow, 0 anything else.
    auto stepEnd = [&]() {
        if (ParsingTools::matchExact(address, position, ParsingTools::arrowToken))
            return -1;
        if (position == address.size() || ParsingTools::matchExact(address, position, ParsingTools::dotToken))
            return 1;
        return 0;
    };
    if (ParsingTools::matchNoCase(address, position, ParsingTools::rootMark)) {
        const int end = stepEnd();
        if (end == 0)
            return syntaxError();
        steps.push_back(end * stepRoot);
    }
    while (position < address.size()) {
        if (address[position] == '_') {
            // "_" alone is the parent; "_" followed by identifier bytes begins a name.
            std::size_t after = position + 1;
            if (after == address.size() || address[after] == '.' ||
                address.compare(after, 2, ParsingTools::arrowToken) == 0) {
                position = after;
                const int end = stepEnd();
                steps.push_back(end * stepParent);
                continue;
            }
        }
        while (position < address.size() && (address[position] == '{' || address[position] == '}'))
            ++position;
        if (position == address.size())
            break;
        if (!ParsingTools::inSetNoCase(address, position, ParsingTools::identifierStartSet))
            return syntaxError();
        const std::size_t start = position;
        ParsingTools::skipSet(address, position, ParsingTools::identifierSet);
        const std::string name = address.substr(start, position - start);
        const int id = nameIdFor(name);
        if (id == 0)
            return false;
        const int end = stepEnd();
        if (end == 0)
            return syntaxError();
        steps.push_back(end * id);
    }
    return true;
}

Tavric& Tavric::follow(int user) const
{
    Tavric* result = nullptr;
    if (!readCheck(type, user)) {
        // reported by the check
    } else if (empty) {
        report(ErrorEmpty, modelmsg::fieldEmpty);
    } else if (targetValid && getTarget()) {
        result = getTarget();
    } else if (kind == KindReference || kind == KindPointer) {
        // Not bound yet: the address text is resolved as a reference read would.
        if (rawString() != nowhereAddress && !busy) {
            const Tavric& from = parent ? *parent : *this;
            busy = true;
            const Tavric& target = from.resolveFrom(rawString(), user, false);
            busy = false;
            if (&target != &nullField)
                result = const_cast<Tavric*>(&target);
        }
    } else if (type == TypeVoid) {
        reportNotInitialized();
    } else if (type == TypeString) {
        if (!busy) {
            busy = true;
            const Tavric& target = resolveFrom(rawString(), user, false);
            busy = false;
            if (&target != &nullField) {
                result = const_cast<Tavric*>(&target);
                cacheTarget(result);
            }
        }
    } else {
        report(ErrorConversion, modelmsg::conversion(typeDescription(kind, TypePointer, getPointerLevels())));
    }
    if (result)
        return *result;
    reportNotAddress();
    return nullField;
}

Tavric& Tavric::walkSteps(const std::vector<int>& steps, int user, bool modifiable) const
{
    const Tavric* field = this;
    for (int step : steps) {
        const bool followAfter = step < 0;
        const int value = std::abs(step);
        if (value == stepRoot) {
            field = &field->getRoot();
        } else if (value == stepParent) {
            if (!field->parent) {
                field->report(ErrorTooHigh, modelmsg::tooHigh(field->getAddress()));
                return nullField;
            }
            field = field->parent;
        } else {
            field = &field->childLookup(value, user, modifiable);
            if (field == &nullField)
                return nullField;
        }
        if (followAfter) {
            field = &field->follow(user);
            if (field == &nullField)
                return nullField;
            if (value != stepRoot && value != stepParent && !field->hasRight(user, RightRead)) {
                field->reportPermission(RightRead, user);
                return nullField;
            }
        }
    }
    field->setLastError(ErrorNone);
    return const_cast<Tavric&>(*field);
}

Tavric& Tavric::resolveFrom(const std::string& address, int user, bool modifiable) const
{
    if (isNull())
        return nullField;
    std::vector<int> steps;
    try {
        if (!parseAddress(address, steps))
            return nullField;
    } catch (...) {
        return nullField;
    }
    return walkSteps(steps, user, modifiable);
}

Tavric& Tavric::walk(const std::vector<int>& steps, int user)
{
    return isNull() ? nullField : walkSteps(steps, user, true);
}

const Tavric& Tavric::walk(const std::vector<int>& steps, int user) const
{
    return isNull() ? nullField : walkSteps(steps, user, false);
}

Tavric& Tavric::resolve(const std::string& address, int user)
{
    return resolveFrom(address, user, true);
}

const Tavric& Tavric::resolve(const std::string& address, int user) const
{
    return resolveFrom(address, user, false);
}

Tavric& Tavric::dereference(int user)
{
    return isNull() ? nullField : follow(user);
}

const Tavric& Tavric::dereference(int user) const
{
    return isNull() ? nullField : follow(user);
}

// ---------------------------------------------------------------- post-parse resolution

bool Tavric::bindChildren()
{
    if (!extra || !extra->children)
        return true;
    // Binding may create fields (missing targets) and remove refused pointers: walk a snapshot.
    std::vector<std::pair<int, Tavric*>> snapshot;
    try {
        snapshot.assign(extra->children->byId.begin(), extra->children->byId.end());
    } catch (...) {
        return false;
    }
    for (const auto& entry : snapshot) {
        auto current = extra->children->byId.find(entry.first);
        if (current == extra->children->byId.end() || current->second != entry.second)
            continue;
        Tavric* bound = entry.second;
        const DiagnosticScope scope(*bound);
        if (bound->kind == KindPointer && bound->rawString() != nowhereAddress) {
            Tavric& target = resolveFrom(bound->rawString(), systemUser, true);
            if (&target == &nullField)
                return false;
            // Levels an earlier resolution took are taken afresh, not checked as declared ones.
            if (bound->levelsTaken)
                bound->setPointerLevels(std::vector<int>());
            std::vector<int> levels = target.getPointerLevels();
            levels.push_back(target.constant ? 1 : 0);
            const bool wasConstant = bound->constant;
            bound->constant = false;
            const bool accepted = bound->canWritePointer(target.type, target.kind, levels, systemUser);
            bound->constant = wasConstant;
            if (!accepted) {
                removeChild(entry.first);
                return false;
            }
            // Declared levels are kept (they matched, and may be stricter); undeclared ones are taken.
            if (bound->getPointerLevels().empty()) {
                bound->setPointerLevels(levels);
                bound->levelsTaken = true;
            }
            if (bound->untyped)
                bound->type = target.type;
            bound->cacheTarget(&target);
        } else if (bound->kind == KindReference) {
            Tavric& target = resolveFrom(bound->rawString(), publicUser, true);
            if (&target == &nullField)
                return false;
            if (!bound->untyped && bound->type != target.type) {
                bound->report(ErrorTypeMismatch, modelmsg::typeMismatch(typeDescription(target.kind, target.type,
                                                                                        target.getPointerLevels())));
                if (stopsOnWarnings())
                    return false;
            }
            bound->type = target.type;
            bound->cacheTarget(&target);
        }
        if (!bound->bindChildren())
            return false;
    }
    return true;
}

bool Tavric::evaluateTree()
{
    if (kind == KindComputed && getExpression()) {
        if (busy) {
            reportNotAddress();
            return false;
        }
        busy = true;
        Tavric* evaluated = nullptr;
        {
            const DiagnosticScope scope(*this);
            evaluated = &getExpression()->evaluate(parent ? *parent : *this, publicUser);
        }
        Tavric& result = *evaluated;
        busy = false;
        if (&result == &nullField)
            return false;
        // The library fills in the value it was told to compute: rights and const concern other
        // writers, but a declared type must still match.
        if (!untyped && result.type != type && getPointerLevels().empty()) {
            report(ErrorTypeMismatch,
                   modelmsg::typeMismatch(typeDescription(result.kind, result.type, result.getPointerLevels())));
            return false;
        }
        takeSlots(result);
        kind = KindComputed;
    }
    if (!extra || !extra->children)
        return true;
    std::vector<Tavric*> ordered;
    try {
        for (const auto& entry : extra->children->byName)
            ordered.push_back(entry.second);
    } catch (...) {
        return false;
    }
    for (Tavric* field : ordered)
        if (!field->evaluateTree())
            return false;
    return true;
}

bool Tavric::finalize()
{
    if (isNull())
        return false;
    bool resolved = bindChildren();
    if (resolved)
        resolved = evaluateTree();
    systemAccess = false;
    return resolved;
}

} // namespace zul
