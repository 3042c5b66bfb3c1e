#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "tavric/model/Collection.hpp"
#include "tavric/model/Expression.hpp"
#include "tavric/model/NameDictionary.hpp"
#include "tavric/model/SourceRange.hpp"

namespace zul {

enum FieldType : int32_t {
    TypeVoid = 0,
    TypeBool = 1,
    TypeInt = 2,
    TypeReal = 3,
    TypeChar = 4,
    TypeString = 5,
    TypeDescriptor = 6,
    TypePointer = 7,
    TypeStruct = 8
};
constexpr int fieldTypeCount = 9;

enum FieldKind : int32_t {
    KindNone = 0,
    KindValue = 1,
    KindReference = 2,
    KindPointer = 3,
    KindComputed = 4,
    KindProgram = 5,
    KindSequence = 6,
    KindCollection = 7,
    KindXml = 8
};
constexpr int fieldKindCount = 9;

// Rights word bits. RightAccess (0) asks for any right at all.
enum Right : int32_t {
    RightAccess = 0,
    RightExecute = 1,
    RightWrite = 2,
    RightRead = 4,
    RightCreate = 8,
    RightsAll = 15
};

// Access levels written as qualifiers, as default rights words.
constexpr int rightsPrivate = 0;
constexpr int rightsLocked = 1;
constexpr int rightsProtected = 5;
constexpr int rightsPublic = 15;

// The user the application passes everywhere.
constexpr int publicUser = -1;
// The library's own user during the post-parse resolution.
constexpr int systemUser = 3;

// Diagnostic codes of the model (the parser's are 12 and 22 upward).
enum DiagnosticCode : int32_t {
    ErrorNone = 0,
    ErrorConstant = 1,
    ErrorStrict = 2,
    ErrorExtern = 3,
    ErrorAddressSyntax = 4,
    ErrorPermission = 5,
    ErrorNotAddress = 6,
    ErrorTooHigh = 7,
    ErrorUnknownId = 8,
    ErrorDictionary = 9,
    ErrorNotInitialized = 10,
    ErrorOpenOutput = 11,
    ErrorWriteOutput = 13,
    ErrorConversion = 15,
    ErrorComparison = 16,
    ErrorTypeMismatch = 17,
    ErrorMemory = 19,
    ErrorEmpty = 20,
    ErrorConstPointer = 21
};

// Bits of a field's option word (inherited by its children).
enum OptionBit : int {
    // A warning during a parse or the resolution fails it, as an error would.
    OptionStopOnWarnings = 1,
};
// The option word of a new root. Its bit 1 has always been set and means nothing to the library.
constexpr int defaultOptionWord = 2;

// Comparison tests, numbered as the comparison operators.
enum ComparisonTest : int32_t {
    TestEqual = 0,
    TestNotEqual = 1,
    TestTextEqual = 2,
    TestTextNotEqual = 3,
    TestLessOrEqual = 4,
    TestGreaterOrEqual = 5,
    TestLess = 6,
    TestGreater = 7
};

class Tavric;

enum class Severity { Error, Warning, Note };

// Another place a diagnostic is about, with what it is there ("opened here").
struct RelatedPlace {
    SourceRange range;
    std::string text;
};

// One diagnostic as recorded, for tools that lay diagnostics out themselves; the message list keeps
// the library's own lines.
struct Diagnostic {
    int code = ErrorNone;
    Severity severity = Severity::Error;
    // Where it stands; not known (line 0) when the diagnostic has no place in a text, the entry
    // then naming the text concerned all the same.
    SourceRange range;
    std::string subject; // the declaration and address of the field concerned, when there is one
    std::string text;    // the message without its place or leading ": "
    // A name looked for and not found, and the address of the field it was looked for in.
    std::string missingName;
    std::string searchedIn;
    std::vector<RelatedPlace> related;
};

// Returned by every failed navigation; compare addresses with it.
extern Tavric nullField;

// What the process start-up achieved.
enum StartupResult : int {
    StartupDone = 0,
    StartupNoErrorFile = -1, // "error_output~" could not be opened or put in place of standard error
    StartupNoDirectory = -2  // the program's directory could not be entered
};

// Process start-up: C locale from the environment, random seed, working directory = the program's
// directory, optional redirection of standard error into "error_output~".
StartupResult initErrorOutput(const std::string& programPath, bool redirect);
// Restores the locale and ends the redirection.
void closeErrorOutput();

// One field of a data tree; a root field is a document. Children are created on first access,
// owned by their parent, found through name ids and iterated in byte-wise name order.
// Operations never throw and never print; refusals are reported into the root's messages.
class Tavric {
public:
    typedef std::map<std::string, Tavric*> ChildMap;
    typedef ChildMap::const_iterator ChildIterator;

    static const char* const typeNames[fieldTypeCount];
    static const char* const kindNames[fieldKindCount];
    // Names for any number (empty when out of range).
    static const char* typeNameOf(int type);
    static const char* kindNameOf(int kind);
    // "access", "execute", "write", "read", "create" for 0, 1, 2, 4, 8; empty otherwise.
    static const char* rightName(int right);
    // Kind name, blank, type name, then ":" or " const :" per pointer level.
    static std::string typeDescription(int kind, int type, const std::vector<int>& pointerLevels);

    // ---- construction ----
    // A root bound to an existing dictionary (not owned).
    explicit Tavric(NameDictionary* dictionary);
    // A field with a dictionary of its own and no rights for anybody (as nullField).
    Tavric();
    // The other field's own attributes and value; its collection is copied element by element,
    // children are not. The copy has the same parent, which must outlive it.
    Tavric(const Tavric& other);
    virtual ~Tavric();

    // ---- navigation ----
    // The child of that name, created when absent (create right needed). nullField on failure.
    Tavric& child(const std::string& name, int user = publicUser);
    // The child with that name id, created when absent.
    Tavric& child(int nameId, int user = publicUser);
    // Read-only forms: never create; a missing child is reported as a create on a constant node.
    const Tavric& child(const std::string& name, int user = publicUser) const;
    const Tavric& child(int nameId, int user = publicUser) const;
    Tavric& operator[](const std::string& name) { return child(name, publicUser); }
    Tavric& operator[](const char* name) { return child(std::string(name), publicUser); }
    Tavric& operator[](int nameId) { return child(nameId, publicUser); }
    const Tavric& operator[](const std::string& name) const { return child(name, publicUser); }
    const Tavric& operator[](const char* name) const { return child(std::string(name), publicUser); }
    const Tavric& operator[](int nameId) const { return child(nameId, publicUser); }

    // The name enters the dictionary even when absent.
    bool exists(const std::string& name) const;
    bool exists(int nameId) const;
    bool removeChild(const std::string& name);
    bool removeChild(int nameId);
    // Takes other's value and name and shares other's children by link: other must outlive this.
    bool copyFrom(Tavric& other);

    // Children in byte-wise name order; begin is end when user has no right at all.
    ChildIterator childrenBegin(int user = publicUser) const;
    ChildIterator childrenEnd() const;
    // Own children in order of creation (linked children are not listed).
    const std::vector<Tavric*>& childrenInOrder() const;
    // Every child by id, linked ones included.
    const std::map<int, Tavric*>& childrenById() const;
    bool isLinked(int nameId) const;
    std::size_t childCount() const;

    Collection* getCollection() const;
    // Element i of the collection; null when out of range or not a collection.
    Tavric* childAt(std::size_t i) const;

    Tavric& getRoot();
    const Tavric& getRoot() const;
    Tavric* getParent() const { return parent; }
    int depth() const;
    const std::string& getName() const;
    int getNameId() const { return nameId; }
    NameDictionary* getDictionary() const;

    // Derived identification (computed on demand).
    std::string getAddress() const;
    std::vector<int> getIdPath() const;
    std::string getParentAddress() const;
    std::vector<int> getParentIdPath() const;
    int64_t getIdentity() const;

    // ---- typed reads (user last; default and one diagnostic on refusal) ----
    bool getBool(int user = publicUser) const;
    int64_t getInt(int user = publicUser);
    int64_t getInt(int user = publicUser) const;
    double getReal(int user = publicUser) const;
    uint16_t getChar(int user = publicUser) const;
    const std::string& getString(int user = publicUser);
    const std::string& getString(int user = publicUser) const;
    int32_t getPointer(int user = publicUser);
    int32_t getPointer(int user = publicUser) const;

    // ---- typed writes (true when stored) ----
    bool setBool(bool value, int user = publicUser);
    bool setInt(int64_t value, int user = publicUser);
    bool setReal(double value, int user = publicUser);
    bool setChar(uint16_t value, int user = publicUser);
    bool setString(const std::string& value, int user = publicUser);
    bool setStringId(int nameId, int user = publicUser);
    bool setDescriptor(int64_t value, int user = publicUser);
    bool setPointer(int32_t value, int user = publicUser);
    bool setConstPointer(int32_t value, int user = publicUser);
    // Field assignment: every valid slot, type, kind and pointer levels of other.
    bool assign(const Tavric& other, int user = publicUser);

    // Assignments as the public user; they give back what was stored, or the default when refused.
    Tavric& operator=(const Tavric& other);
    bool operator=(bool value);
    int operator=(int value);
    int64_t operator=(int64_t value);
    double operator=(double value);
    char operator=(char value);
    const std::string& operator=(const std::string& value);
    const std::string& operator=(const char* value);

    // Write check for a value of type t.
    bool canWrite(int type, int user = publicUser) const;
    // Write check for a designation of a field of type t and kind k with pointer levels.
    bool canWritePointer(int type, int kind, const std::vector<int>& pointerLevels, int user = publicUser) const;

    // Compares with another value (see ComparisonTest). Numbers compare by value across int, char
    // and real; strings byte-wise; bools for equality only. Impossible comparisons are false.
    bool compare(const Tavric& other, int test, int user = publicUser) const;

    // ---- addresses ----
    // Parses an address into steps (1 root, 2 parent, id child; negative: then follow as pointer).
    bool parseAddress(const std::string& address, std::vector<int>& steps) const;
    Tavric& walk(const std::vector<int>& steps, int user = publicUser);
    const Tavric& walk(const std::vector<int>& steps, int user = publicUser) const;
    // Modifiable form creates missing children; read-only form does not.
    Tavric& resolve(const std::string& address, int user = publicUser);
    const Tavric& resolve(const std::string& address, int user = publicUser) const;
    // The field a pointer (or a string holding an address) designates; nullField on failure.
    Tavric& dereference(int user = publicUser);
    const Tavric& dereference(int user = publicUser) const;
    // Post-parse resolution: binds pointer and reference fields, evaluates computed fields.
    bool finalize();

    // ---- rights ----
    bool hasRight(int user, int rights) const;
    int getDefaultRights() const { return defaultRights; }
    void setDefaultRights(int rights);
    // The rights word of user if the field has an entry for it.
    bool getUserRights(int user, int& rights) const;
    void setUserRights(int user, int rights);
    bool removeUserRights(int user);
    // The entry of the parent's identity (limited[XY] sets X here).
    void setParentRights(int rights);
    std::size_t userRightsCount() const;
    const std::map<int, int>& extraUserRights() const;
    bool hasSystemAccess() const { return systemAccess; }
    void setSystemAccess(bool value)
    {
        if (!isNull())
            systemAccess = value;
    }

    // ---- diagnostics ----
    // The tree's diagnostics, oldest first; each line ends with a newline.
    const std::vector<std::string>& messages() const;
    int lastError() const;
    void setLastError(int code) const;
    void clearMessages();
    // Reports a runtime diagnostic raised on this field: declaration prefix, address, text.
    void report(int code, const std::string& text) const;
    // Appends a line built by the caller (parse messages) and sets lastError.
    void addMessage(int code, const std::string& line) const;
    // The tree's diagnostics as records, oldest first (a record per message, except the lines that
    // quote the text around a failed parse, and notes of their own).
    const std::vector<Diagnostic>& diagnostics() const;
    void addDiagnostic(const Diagnostic& record) const;
    // The declaration prefix the writer puts before a field's name (optionally coloured).
    std::string declarationPrefix(bool colour = false) const;

    // ---- place in the text ----
    // Where the field was declared, from the start of its declaration to the end of its value (of
    // its "]" for a node); a field without a place of its own (a plain member of a collection, a
    // field made by a program) has that of the nearest enclosing field that has one.
    SourceRange place() const;
    bool hasOwnPlace() const { return placeIndex != 0; }

    // ---- declaration (set by the parser) ----
    int getType() const { return type; }
    int getKind() const { return kind; }
    void setKind(int value)
    {
        if (!isNull())
            kind = static_cast<uint8_t>(value);
    }
    // Declares the value type; type 0 makes the field untyped.
    void declareType(int value);
    bool isUntyped() const { return untyped; }
    void setUntyped(bool value)
    {
        if (!isNull())
            untyped = value;
    }
    bool isKindDeclared() const { return kindDeclared; }
    void setKindDeclared(bool value)
    {
        if (!isNull())
            kindDeclared = value;
    }
    bool isStrict() const { return strict; }
    void setStrict(bool value)
    {
        if (!isNull())
            strict = value;
    }
    bool isConstant() const { return constant; }
    void setConstant(bool value)
    {
        if (!isNull())
            constant = value;
    }
    bool isExternal() const { return external; }
    void setExternal(bool value)
    {
        if (!isNull())
            external = value;
    }
    bool isLocal() const { return local; }
    void setLocal(bool value)
    {
        if (!isNull())
            local = value;
    }
    bool isRestricted() const { return restricted; }
    void setRestricted(bool value)
    {
        if (!isNull())
            restricted = value;
    }
    bool isEmpty() const { return empty; }
    const std::vector<int>& getPointerLevels() const;
    // Declares the levels (the resolution's own choice, below, is forgotten).
    void setPointerLevels(const std::vector<int>& levels);
    // True when the post-parse resolution took the levels from the target because none were
    // declared; the writer leaves such levels to the next resolution again.
    bool arePointerLevelsTaken() const { return levelsTaken; }
    int getOptionWord() const { return optionWord; }
    bool stopsOnWarnings() const { return (optionWord & OptionStopOnWarnings) != 0; }
    void setOptionWord(int value)
    {
        if (!isNull())
            optionWord = static_cast<uint8_t>(value);
    }
    // Own entry name, else the parent's, else "stdin".
    std::string getEntryName() const;
    const std::string& getOwnEntryName() const;
    void setEntryName(const std::string& value);
    // Name of a record type (type 8).
    const std::string& getStructName() const;
    void setStructName(const std::string& value);

    Expression* getExpression() const;
    // Takes ownership (the previous expression is deleted).
    void setExpression(Expression* value);
    // Creates (or replaces) the collection; null when memory runs out.
    Collection* makeCollection();

    // ---- the value as stored ----
    // In the field's own type, as the parser or the last store left it: no rights check, no
    // conversion, no evaluation and no diagnostic (for tools that show a tree as it stands).
    bool rawBool() const { return boolValue; }
    int64_t rawInt() const { return intValue; }
    double rawReal() const { return realValue; }
    // The string slot (the name when held as an id).
    const std::string& rawString() const;
    int32_t rawPointer() const { return pointerValue; }
    // The address text of a reference or pointer field.
    const std::string& getAddressText() const { return rawString(); }
    // The field a reference or pointer designates once the resolution bound it; null otherwise.
    Tavric* getTarget() const;

    // Reading and writing text: the free functions of tavric/text/Documents.hpp.

private:
    // The parser's, the evaluator's and the writer's way in (TavricInternal.hpp): building a tree
    // and storing values without the checks the public operations make.
    friend struct TavricAccess;
    friend class Parser;

    // ---- tree building (parser) ----
    // A new field under this one, not yet entered among the children (nameId 0: unnamed, as the
    // elements of a collection). Null after a memory diagnostic.
    Tavric* makeChild(int nameId);
    // Renames a node made by makeChild before it is adopted.
    void setNameId(int value)
    {
        if (!isNull())
            nameId = value;
    }
    // Enters a node made by makeChild among the children. When a child of that id exists the node is
    // merged into it (its value and declaration when it has any, its children recursively) and
    // deleted. Returns the child that remains.
    Tavric* adoptChild(Tavric* node);
    // Set by the parser: where the declaration starts (entry from placeEntry), then where it ends.
    void setPlace(uint32_t entry, const SourcePosition& start);
    void setPlaceEnd(const SourcePosition& end);
    // The number of an entry name in the root's table of entries (entered when new); 0 when the
    // table cannot grow.
    uint32_t placeEntry(const std::string& entry) const;

    // ---- unchecked stores (no rights or type check; for the parser and the evaluator) ----
    void storeBool(bool value);
    void storeInt(int64_t value);
    void storeReal(double value);
    void storeChar(uint16_t value);
    void storeString(const std::string& value);
    void storeStringId(int id);
    void storeDescriptor(int64_t value);
    void storePointer(int32_t value, bool toConstant);
    // Kind 2 (reference) or 3 (pointer) with the address text ("nowhere" for a null address).
    void storeReference(const std::string& address, bool pointer);
    // "Nothing": the field stays without value.
    void storeNothing();
    // Field assignment without checks.
    void storeFrom(const Tavric& other);

    // ---- slots (for the writer and the evaluator) ----
    bool isPointerConst() const { return pointerIsConst; }
    bool isStringId() const { return stringIsId; }
    int getStringId() const { return stringId; }
    bool isTargetValid() const { return targetValid; }
    bool isSlotValid(int slotType) const;

    struct Children;
    struct RootData;
    struct Extra;

    // A child of parentField, not yet entered among its children.
    Tavric(Tavric* parentField, int id);

    Extra* extraBlock() const;
    void setExtraText(std::string Extra::*member, const std::string& value);
    Children* childBlock() const;
    RootData* rootBlock() const;
    bool isNull() const { return this == &nullField; }
    void deleteExtra();
    void clearValue();
    // The end of every plain store: the field now holds a value of that type.
    void markStored(FieldType storedType);
    // Int, char and descriptor values share the integer slot.
    void storeIntegerAs(int64_t value, FieldType storedType);
    void invalidateSlots();
    void takeSlots(const Tavric& other);
    bool anySlotValid() const;
    int pathId() const;
    int parentKey() const;
    std::string* stringSlot() const;
    void enterChild(int id, Tavric* node);
    void detachChild(int id);
    void mergeInto(Tavric* existing, Tavric* node);
    Tavric* createChild(int id);

    // Remembers the field this one designates; the memory lasts until a field is removed from a
    // tree, which may have deleted it (the designation is then resolved again from its address).
    void cacheTarget(Tavric* target) const;
    bool readCheck(int readType, int user) const;
    // Marks a field as being read through (see TavricInternal.hpp).
    class ReadThrough;
    enum ReadStart { ReadRefused, ReadOwnSlots, ReadTarget };
    // Whether and where a read of that type goes on: the own slots, or the reference's target.
    ReadStart startRead(int readType, int user, bool mayEvaluate, const Tavric*& target) const;
    const Tavric* referenceTarget() const;
    bool refreshComputed(int user) const;
    bool convert(int readType) const;
    void reportConversion(int readType) const;
    void reportNotInitialized() const;
    // report, with the name that a lookup did not find (the diagnostic's missingName).
    void reportAbout(int code, const std::string& text, const std::string& missingName) const;
    void reportPermission(int right, int user) const;
    void reportConstant(int right) const;
    void reportNotAddress() const;
    // A read of a bool, real or char: through the target, from the own slots (ownSlots converts
    // when needed), or zero when refused.
    template <typename T, typename OwnSlots>
    T readPlain(int readType, int user, T (Tavric::*get)(int) const, OwnSlots ownSlots) const;
    int64_t readInt(int user, bool modifiable) const;
    const std::string& readString(int user, bool modifiable) const;
    int32_t readPointer(int user, bool modifiable) const;
    // The right (write or create) and not constant; reported when refused.
    bool mayChange(int right, int user) const;
    // Write right, not constant, not extern.
    bool writable(int user) const;
    bool writeCheck(int writeType, int user) const;
    const Tavric& valueSource(int user) const;
    std::string textForm(int user) const;

    // The dictionary id of a name (entered when new); 0 after a diagnostic.
    int nameIdFor(const std::string& name) const;
    Tavric& childLookup(int id, int user, bool modifiable) const;
    Tavric& walkSteps(const std::vector<int>& steps, int user, bool modifiable) const;
    Tavric& resolveFrom(const std::string& address, int user, bool modifiable) const;
    Tavric& follow(int user) const;
    bool bindChildren();
    bool evaluateTree();

    // Layout kept small: fields are made by the hundred thousand (collection elements). Rarely used
    // attributes (children, rights entries, pointer levels, root data...) live in a lazy block.
    Tavric* parent = nullptr;
    mutable Extra* extra = nullptr;
    mutable std::string* stringValue = nullptr;
    mutable int64_t intValue = 0;
    mutable double realValue = 0.0;
    int32_t nameId = 0;
    mutable int32_t stringId = 0;
    mutable int32_t pointerValue = 0;
    // Index + 1 into the root's table of places; 0: none of its own. (It fills what would be padding.)
    uint32_t placeIndex = 0;
    uint8_t type = TypeVoid;
    uint8_t kind = KindNone;
    uint8_t defaultRights = 0;
    uint8_t parentRights = 0;
    uint8_t optionWord = 0;
    bool systemAccess : 1;
    bool kindDeclared : 1;
    bool strict : 1;
    bool constant : 1;
    bool external : 1;
    bool local : 1;
    bool restricted : 1;
    bool empty : 1;
    bool untyped : 1;
    mutable bool boolValue : 1;
    mutable bool boolValid : 1;
    mutable bool intValid : 1;
    mutable bool realValid : 1;
    mutable bool stringValid : 1;
    mutable bool pointerValid : 1;
    mutable bool targetValid : 1;
    mutable bool stringIsId : 1;
    mutable bool pointerIsConst : 1;
    bool hasParentEntry : 1;
    bool blankAddress : 1;
    bool levelsTaken : 1;
    mutable bool busy : 1;

    // ---- text: parser, directives, writer ----
    // (private helper declarations of the text operations go here; no data members, please: the
    // field's size matters)
    // Expression operands are read through their value source (references followed, computed
    // fields refreshed) before they are copied.
    friend class ExpressionNode;
    // Members made on demand and copied are parented by their collection.
    friend class Collection;
};

} // namespace zul
