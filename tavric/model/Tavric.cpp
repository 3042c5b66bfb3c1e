#include "tavric/model/Tavric.hpp"

#include <algorithm>
#include <new>

#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/TavricInternal.hpp"
#include "tavric/text/ParsingTools.hpp"

namespace zul {

std::size_t fieldsRemoved = 0;

Tavric nullField;

namespace {

const Tavric::ChildMap noChildMap;
const std::vector<Tavric*> noChildList;
const std::map<int, Tavric*> noChildIds;
const std::map<int, int> noUserRights;
const std::vector<int> noPointerLevels;

} // namespace

// ---------------------------------------------------------------- construction

Tavric::Tavric(NameDictionary* dictionary)
    : systemAccess(false), kindDeclared(false), strict(false), constant(false), external(false), local(false),
      restricted(false), empty(true), untyped(true), boolValue(false), boolValid(false), intValid(false),
      realValid(false), stringValid(false), pointerValid(false), targetValid(false), stringIsId(false),
      pointerIsConst(false), hasParentEntry(false), blankAddress(false), levelsTaken(false), busy(false)
{
    defaultRights = RightsAll;
    optionWord = defaultOptionWord;
    if (RootData* data = rootBlock())
        data->dictionary = dictionary;
    if (dictionary)
        nameId = dictionary->idOf("[]");
}

Tavric::Tavric()
    : systemAccess(false), kindDeclared(false), strict(false), constant(false), external(false), local(false),
      restricted(false), empty(false), untyped(false), boolValue(false), boolValid(false), intValid(false),
      realValid(false), stringValid(false), pointerValid(false), targetValid(false), stringIsId(false),
      pointerIsConst(false), hasParentEntry(false), blankAddress(true), levelsTaken(false), busy(false)
{
    if (RootData* data = rootBlock()) {
        data->dictionary = new (std::nothrow) NameDictionary;
        data->ownsDictionary = data->dictionary != nullptr;
    }
}

Tavric::Tavric(Tavric* parentField, int id)
    : parent(parentField), nameId(id), systemAccess(false), kindDeclared(false), strict(false), constant(false),
      external(false), local(false), restricted(false), empty(true), untyped(true), boolValue(false), boolValid(false),
      intValid(false), realValid(false), stringValid(false), pointerValid(false), targetValid(false), stringIsId(false),
      pointerIsConst(false), hasParentEntry(true), blankAddress(false), levelsTaken(false), busy(false)
{
    // The parent always holds every right on its children.
    defaultRights = RightsAll;
    parentRights = RightsAll;
    optionWord = parentField->optionWord;
}

Tavric::Tavric(const Tavric& other)
    : parent(other.parent), nameId(other.nameId), systemAccess(other.systemAccess), kindDeclared(other.kindDeclared),
      strict(other.strict), constant(other.constant), external(other.external), local(other.local),
      restricted(other.restricted), empty(other.empty), untyped(other.untyped), boolValue(other.boolValue),
      boolValid(other.boolValid), intValid(other.intValid), realValid(other.realValid), stringValid(other.stringValid),
      pointerValid(other.pointerValid), targetValid(other.targetValid), stringIsId(other.stringIsId),
      pointerIsConst(other.pointerIsConst), hasParentEntry(other.hasParentEntry), blankAddress(other.blankAddress),
      levelsTaken(other.levelsTaken), busy(false)
{
    intValue = other.intValue;
    realValue = other.realValue;
    // Places are kept by the root: a copy in the same tree has the same one.
    if (other.parent)
        placeIndex = other.placeIndex;
    stringId = other.stringId;
    pointerValue = other.pointerValue;
    type = other.type;
    kind = other.kind;
    defaultRights = other.defaultRights;
    parentRights = other.parentRights;
    optionWord = other.optionWord;
    if (other.stringValue)
        stringValue = new (std::nothrow) std::string(*other.stringValue);
    const Extra* from = other.extra;
    if (!from)
        return;
    Extra* to = extraBlock();
    if (!to)
        return;
    try {
        to->userRights = from->userRights;
        to->pointerLevels = from->pointerLevels;
        to->entryName = from->entryName;
        to->structName = from->structName;
    } catch (...) {
    }
    to->target = from->target;
    to->targetEpoch = from->targetEpoch;
    to->pathId = from->pathId;
    if (from->expression)
        to->expression = from->expression->clone();
    if (from->root) {
        // A copied root shares the dictionary; it never owns it, nor takes the messages.
        if (RootData* data = rootBlock())
            data->dictionary = from->root->dictionary;
    }
    if (from->collection) {
        Collection* copy = makeCollection();
        if (copy) {
            copy->valuesPerLine = from->collection->valuesPerLine;
            copy->appendCopies(*from->collection);
        }
    }
}

Tavric::~Tavric()
{
    deleteExtra();
    delete stringValue;
}

void Tavric::deleteExtra()
{
    if (!extra)
        return;
    if (Children* children = extra->children) {
        for (auto& entry : children->byId) {
            auto linked = children->linkedIds.find(entry.first);
            if (linked == children->linkedIds.end() || !linked->second)
                delete entry.second;
        }
        delete children;
    }
    if (RootData* data = extra->root) {
        if (data->ownsDictionary)
            delete data->dictionary;
        delete data;
    }
    delete extra->expression;
    delete extra->collection;
    delete extra;
    extra = nullptr;
}

Tavric::Extra* Tavric::extraBlock() const
{
    if (!extra)
        extra = new (std::nothrow) Extra;
    return extra;
}

Tavric::Children* Tavric::childBlock() const
{
    Extra* block = extraBlock();
    if (block && !block->children)
        block->children = new (std::nothrow) Children;
    return block ? block->children : nullptr;
}

Tavric::RootData* Tavric::rootBlock() const
{
    Extra* block = extraBlock();
    if (block && !block->root)
        block->root = new (std::nothrow) RootData;
    return block ? block->root : nullptr;
}

Collection::~Collection()
{
    for (const Slot& slot : slots)
        if (slot.kind == SlotKind::Field)
            delete slot.field;
}

Tavric* Collection::elementAt(std::size_t i) const
{
    if (i >= slots.size())
        return nullptr;
    Slot& slot = slots[i];
    if (slot.kind == SlotKind::Field)
        return slot.field;
    Tavric* made = owner->makeChild(0);
    if (!made)
        return nullptr;
    if (slot.kind == SlotKind::Int)
        made->storeInt(slot.integer);
    else
        made->storeReal(slot.real);
    slot.field = made;
    slot.kind = SlotKind::Field;
    return made;
}

bool Collection::push(const Slot& slot)
{
    try {
        slots.push_back(slot);
    } catch (...) {
        return false;
    }
    return true;
}

bool Collection::append(Tavric* element)
{
    Slot slot;
    slot.field = element;
    slot.kind = SlotKind::Field;
    return push(slot);
}

bool Collection::appendInt(int64_t value)
{
    Slot slot;
    slot.integer = value;
    slot.kind = SlotKind::Int;
    return push(slot);
}

bool Collection::appendReal(double value)
{
    Slot slot;
    slot.real = value;
    slot.kind = SlotKind::Real;
    return push(slot);
}

bool Collection::plainInt(std::size_t i, int64_t& value) const
{
    if (i >= slots.size() || slots[i].kind != SlotKind::Int)
        return false;
    value = slots[i].integer;
    return true;
}

bool Collection::plainReal(std::size_t i, double& value) const
{
    if (i >= slots.size() || slots[i].kind != SlotKind::Real)
        return false;
    value = slots[i].real;
    return true;
}

std::size_t Collection::indexOf(const Tavric* element) const
{
    for (std::size_t i = 0; i < slots.size(); ++i)
        if (slots[i].kind == SlotKind::Field && slots[i].field == element)
            return i;
    return slots.size();
}

bool Collection::appendCopies(const Collection& other)
{
    try {
        slots.reserve(slots.size() + other.slots.size());
    } catch (...) {
        return false;
    }
    for (const Slot& slot : other.slots) {
        if (slot.kind != SlotKind::Field) {
            push(slot);
            continue;
        }
        Tavric* duplicate = new (std::nothrow) Tavric(*slot.field);
        if (!duplicate)
            return false;
        duplicate->parent = owner;
        append(duplicate);
    }
    return true;
}

void Collection::moveTo(Tavric* field)
{
    owner = field;
    for (const Slot& slot : slots)
        if (slot.kind == SlotKind::Field)
            slot.field->parent = field;
}

// ---------------------------------------------------------------- identification

Tavric& Tavric::getRoot()
{
    Tavric* field = this;
    while (field->parent)
        field = field->parent;
    return *field;
}

const Tavric& Tavric::getRoot() const
{
    const Tavric* field = this;
    while (field->parent)
        field = field->parent;
    return *field;
}

int Tavric::depth() const
{
    int count = 0;
    for (const Tavric* field = parent; field; field = field->parent)
        ++count;
    return count;
}

NameDictionary* Tavric::getDictionary() const
{
    const Tavric& root = getRoot();
    if (root.extra && root.extra->root && root.extra->root->dictionary)
        return root.extra->root->dictionary;
    // Every tree has one; a detached copy falls back on the library's own.
    return nullField.extra && nullField.extra->root ? nullField.extra->root->dictionary : nullptr;
}

const std::string& Tavric::getName() const
{
    const NameDictionary* dictionary = getDictionary();
    return dictionary ? dictionary->nameOf(nameId) : emptyString;
}

int Tavric::pathId() const
{
    return extra && extra->pathId >= 0 ? extra->pathId : nameId;
}

std::string Tavric::getAddress() const
{
    if (!parent)
        return blankAddress ? std::string() : std::string(ParsingTools::rootMark);
    std::string address = parent->getAddress();
    address += '.';
    const NameDictionary* dictionary = getDictionary();
    if (dictionary)
        address += dictionary->nameOf(pathId());
    return address;
}

std::vector<int> Tavric::getIdPath() const
{
    if (!parent)
        return blankAddress ? std::vector<int>() : std::vector<int>{1};
    std::vector<int> path = parent->getIdPath();
    path.push_back(pathId());
    return path;
}

std::string Tavric::getParentAddress() const
{
    return parent ? parent->getAddress() : std::string();
}

std::vector<int> Tavric::getParentIdPath() const
{
    return parent ? parent->getIdPath() : std::vector<int>();
}

int64_t Tavric::getIdentity() const
{
    if (!parent)
        return blankAddress ? 0 : 1;
    const uint32_t shifted = static_cast<uint32_t>(pathId()) << (parent->depth() % 16);
    const int64_t identity = static_cast<int32_t>(shifted);
    return identity < 0 ? -identity : identity;
}

// ---------------------------------------------------------------- children

Tavric* Tavric::createChild(int id)
{
    Tavric* node = new (std::nothrow) Tavric(this, id);
    if (!node)
        report(ErrorMemory, modelmsg::memoryExhausted(sizeof(Tavric)));
    return node;
}

Tavric* Tavric::makeChild(int id)
{
    return isNull() ? nullptr : createChild(id);
}

void Tavric::enterChild(int id, Tavric* node)
{
    Children* children = childBlock();
    if (!children)
        throw std::bad_alloc();
    children->byId[id] = node;
    try {
        children->inOrder.push_back(node);
        const NameDictionary* dictionary = getDictionary();
        children->byName[dictionary ? dictionary->nameOf(id) : emptyString] = node;
    } catch (...) {
        children->byId.erase(id);
        children->inOrder.erase(std::remove(children->inOrder.begin(), children->inOrder.end(), node),
                                children->inOrder.end());
        throw;
    }
}

void Tavric::detachChild(int id)
{
    Children* children = extra ? extra->children : nullptr;
    if (!children)
        return;
    auto found = children->byId.find(id);
    if (found == children->byId.end())
        return;
    Tavric* node = found->second;
    children->inOrder.erase(std::remove(children->inOrder.begin(), children->inOrder.end(), node),
                            children->inOrder.end());
    const NameDictionary* dictionary = getDictionary();
    auto named = children->byName.find(dictionary ? dictionary->nameOf(id) : emptyString);
    if (named != children->byName.end() && named->second == node)
        children->byName.erase(named);
    auto linked = children->linkedIds.find(id);
    const bool isLink = linked != children->linkedIds.end() && linked->second;
    if (linked != children->linkedIds.end())
        children->linkedIds.erase(linked);
    children->byId.erase(found);
    if (!isLink) {
        ++fieldsRemoved;
        delete node;
    }
}

int Tavric::nameIdFor(const std::string& name) const
{
    NameDictionary* dictionary = getDictionary();
    const int id = dictionary ? dictionary->idOf(name) : 0;
    if (id == 0)
        report(ErrorDictionary, modelmsg::dictionaryRefused(name));
    return id;
}

Tavric& Tavric::child(const std::string& name, int user)
{
    const int id = isNull() ? 0 : nameIdFor(name);
    return id == 0 ? nullField : childLookup(id, user, true);
}

Tavric& Tavric::child(int id, int user)
{
    if (isNull())
        return nullField;
    const NameDictionary* dictionary = getDictionary();
    if (!dictionary || dictionary->nameOf(id).empty()) {
        report(ErrorUnknownId, modelmsg::unknownId(id));
        return nullField;
    }
    return childLookup(id, user, true);
}

const Tavric& Tavric::child(const std::string& name, int user) const
{
    const int id = isNull() ? 0 : nameIdFor(name);
    return id == 0 ? nullField : childLookup(id, user, false);
}

const Tavric& Tavric::child(int id, int user) const
{
    return isNull() ? nullField : childLookup(id, user, false);
}

Tavric& Tavric::childLookup(int id, int user, bool modifiable) const
{
    if (!hasRight(user, RightAccess)) {
        reportPermission(RightAccess, user);
        return nullField;
    }
    if (extra && extra->children) {
        auto found = extra->children->byId.find(id);
        if (found != extra->children->byId.end()) {
            setLastError(ErrorNone);
            return *found->second;
        }
    }
    if (!modifiable) {
        const NameDictionary* dictionary = getDictionary();
        reportAbout(ErrorConstant, modelmsg::nodeConstant(rightName(RightCreate)),
                    dictionary ? dictionary->nameOf(id) : std::string());
        return nullField;
    }
    if (!mayChange(RightCreate, user))
        return nullField;
    Tavric* self = const_cast<Tavric*>(this);
    Tavric* node = self->createChild(id);
    if (!node)
        return nullField;
    try {
        self->enterChild(id, node);
    } catch (...) {
        delete node;
        report(ErrorMemory, modelmsg::memoryExhausted(sizeof(Tavric)));
        return nullField;
    }
    return *node;
}

bool Tavric::exists(const std::string& name) const
{
    if (isNull())
        return false;
    NameDictionary* dictionary = getDictionary();
    const int id = dictionary ? dictionary->idOf(name) : 0;
    return id != 0 && exists(id);
}

bool Tavric::exists(int id) const
{
    return extra && extra->children && extra->children->byId.count(id) != 0;
}

bool Tavric::removeChild(const std::string& name)
{
    if (isNull())
        return false;
    NameDictionary* dictionary = getDictionary();
    const int id = dictionary ? dictionary->idOf(name) : 0;
    return id != 0 && removeChild(id);
}

bool Tavric::removeChild(int id)
{
    if (isNull() || !exists(id))
        return false;
    detachChild(id);
    return true;
}

namespace {

bool isAncestorOrSelf(const Tavric* candidate, const Tavric* field)
{
    for (; field; field = field->getParent())
        if (field == candidate)
            return true;
    return false;
}

} // namespace

bool Tavric::copyFrom(Tavric& other)
{
    if (isNull() || other.isNull())
        return false;
    if (&other == this)
        return true;
    assign(other, publicUser);
    if (nameId != other.nameId) {
        // The address and identity keep the name the field was created under.
        if (parent && (!extra || extra->pathId < 0)) {
            if (Extra* block = extraBlock())
                block->pathId = nameId;
        }
        nameId = other.nameId;
    }
    if (!other.extra || !other.extra->children)
        return true;
    // Snapshot: linking may remove own children, and other may lie below this field.
    std::vector<std::pair<int, Tavric*>> shared;
    try {
        for (const auto& entry : other.extra->children->byName)
            shared.emplace_back(entry.second->nameId, entry.second);
    } catch (...) {
        return false;
    }
    bool complete = true;
    for (const auto& link : shared) {
        Children* children = childBlock();
        if (!children)
            return false;
        auto own = children->byId.find(link.first);
        if (own != children->byId.end()) {
            // Removing an ancestor of other would destroy what is being linked.
            if (isAncestorOrSelf(own->second, &other)) {
                complete = false;
                continue;
            }
            detachChild(link.first);
        }
        try {
            children->byId[link.first] = link.second;
            children->linkedIds[link.first] = true;
        } catch (...) {
            children->byId.erase(link.first);
            complete = false;
        }
    }
    return complete;
}

Tavric::ChildIterator Tavric::childrenBegin(int user) const
{
    if (!extra || !extra->children)
        return noChildMap.end();
    if (!hasRight(user, RightAccess))
        return extra->children->byName.end();
    return extra->children->byName.begin();
}

Tavric::ChildIterator Tavric::childrenEnd() const
{
    return extra && extra->children ? extra->children->byName.end() : noChildMap.end();
}

const std::vector<Tavric*>& Tavric::childrenInOrder() const
{
    return extra && extra->children ? extra->children->inOrder : noChildList;
}

const std::map<int, Tavric*>& Tavric::childrenById() const
{
    return extra && extra->children ? extra->children->byId : noChildIds;
}

bool Tavric::isLinked(int id) const
{
    if (!extra || !extra->children)
        return false;
    auto linked = extra->children->linkedIds.find(id);
    return linked != extra->children->linkedIds.end() && linked->second;
}

std::size_t Tavric::childCount() const
{
    return extra && extra->children ? extra->children->byId.size() : 0;
}

Collection* Tavric::getCollection() const
{
    return extra ? extra->collection : nullptr;
}

Tavric* Tavric::childAt(std::size_t i) const
{
    const Collection* collection = getCollection();
    return collection ? collection->elementAt(i) : nullptr;
}

Collection* Tavric::makeCollection()
{
    if (isNull())
        return nullptr;
    Extra* block = extraBlock();
    Collection* collection = block ? new (std::nothrow) Collection(this) : nullptr;
    if (!collection) {
        report(ErrorMemory, modelmsg::memoryExhausted(sizeof(Collection)));
        return nullptr;
    }
    delete block->collection;
    block->collection = collection;
    return collection;
}

Expression* Tavric::getExpression() const
{
    return extra ? extra->expression : nullptr;
}

void Tavric::setExpression(Expression* value)
{
    if (isNull()) {
        delete value;
        return;
    }
    Extra* block = extraBlock();
    if (!block) {
        delete value;
        return;
    }
    if (block->expression != value)
        delete block->expression;
    block->expression = value;
}

// ---------------------------------------------------------------- merging parsed nodes

Tavric* Tavric::adoptChild(Tavric* node)
{
    if (!node || isNull())
        return nullptr;
    node->parent = this;
    const int id = node->nameId;
    Children* children = childBlock();
    if (children) {
        auto found = children->byId.find(id);
        if (found != children->byId.end()) {
            if (isLinked(id)) {
                // A declaration replaces a shared child: the link goes, the new node takes its place.
                detachChild(id);
            } else {
                Tavric* existing = found->second;
                mergeInto(existing, node);
                return existing;
            }
        }
    }
    try {
        enterChild(id, node);
    } catch (...) {
        delete node;
        report(ErrorMemory, modelmsg::memoryExhausted(sizeof(Tavric)));
        return nullptr;
    }
    return node;
}

void Tavric::mergeInto(Tavric* existing, Tavric* node)
{
    if (!node->empty || node->kind != KindNone) {
        // The later declaration wins: value, kind, type, qualifiers and rights.
        existing->storeFrom(*node);
        existing->kindDeclared = node->kindDeclared;
        existing->strict = node->strict;
        existing->constant = node->constant;
        existing->external = node->external;
        existing->local = node->local;
        existing->restricted = node->restricted;
        existing->untyped = node->untyped;
        existing->defaultRights = node->defaultRights;
        existing->parentRights = node->parentRights;
        existing->hasParentEntry = node->hasParentEntry;
        if (node->extra) {
            Extra* block = existing->extraBlock();
            if (block) {
                block->userRights.swap(node->extra->userRights);
                block->structName.swap(node->extra->structName);
            }
        }
        // The expression and the collection go with the later declaration, absent ones included.
        Expression* expression = node->extra ? node->extra->expression : nullptr;
        Collection* collection = node->extra ? node->extra->collection : nullptr;
        if (node->extra) {
            node->extra->expression = nullptr;
            node->extra->collection = nullptr;
        }
        if (existing->extra) {
            delete existing->extra->expression;
            existing->extra->expression = nullptr;
            delete existing->extra->collection;
            existing->extra->collection = nullptr;
        }
        if (expression || collection) {
            if (Extra* block = existing->extraBlock()) {
                block->expression = expression;
                block->collection = collection;
                if (collection)
                    collection->moveTo(existing);
            } else {
                delete expression;
                delete collection;
            }
        }
    }
    if (node->extra && node->extra->children) {
        Children* from = node->extra->children;
        std::vector<Tavric*> moving;
        for (Tavric* grandChild : from->inOrder)
            if (!node->isLinked(grandChild->nameId))
                moving.push_back(grandChild);
        from->byId.clear();
        from->inOrder.clear();
        from->byName.clear();
        from->linkedIds.clear();
        for (Tavric* grandChild : moving)
            existing->adoptChild(grandChild);
    }
    delete node;
}

} // namespace zul
