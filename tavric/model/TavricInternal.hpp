#pragma once

// Private blocks of zul::Tavric, shared by the model's and the text's sources only.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tavric/model/Tavric.hpp"

namespace zul {

// Fields removed from any tree so far. A designation cached before a removal may name a deleted
// field, so it is trusted only while this count stays the same.
extern std::size_t fieldsRemoved;

// Truncation toward zero, saturated: a double beyond the 64-bit range has no integer of its own.
int64_t truncateToInt64(double value);

// Reference chains and computed fields that read each other are followed this deep at most, so a
// cycle ends in a diagnostic instead of exhausting the stack.
constexpr int maxIndirectionDepth = 256;

// Held while a read goes through a field to its reference's target or its expression: the field is
// busy (a read that comes back to it is a cycle) and the depth of such reads is counted.
class Tavric::ReadThrough {
public:
    explicit ReadThrough(const Tavric& field) : field(field)
    {
        field.busy = true;
        ++depth;
    }
    ~ReadThrough()
    {
        --depth;
        field.busy = false;
    }
    ReadThrough(const ReadThrough&) = delete;
    ReadThrough& operator=(const ReadThrough&) = delete;

    // True when reading through the field now would close a cycle or go too deep.
    static bool refused(const Tavric& field) { return field.busy || depth >= maxIndirectionDepth; }

private:
    const Tavric& field;
    static int depth;
};

// The way into a field for the library's own code beyond the parser (the writer, the memory and
// speed checks): what builds a tree or stores a value without the public operations' checks.
struct TavricAccess {
    static Tavric* makeChild(Tavric& parent, int nameId) { return parent.makeChild(nameId); }
    static Tavric* adoptChild(Tavric& parent, Tavric* node) { return parent.adoptChild(node); }
    static void setNameId(Tavric& field, int nameId) { field.setNameId(nameId); }
    static void storeBool(Tavric& field, bool value) { field.storeBool(value); }
    static void storeInt(Tavric& field, int64_t value) { field.storeInt(value); }
    static void storeReal(Tavric& field, double value) { field.storeReal(value); }
    static void storeString(Tavric& field, const std::string& value) { field.storeString(value); }
    static void storeReference(Tavric& field, const std::string& address, bool pointer)
    {
        field.storeReference(address, pointer);
    }
    static void storeFrom(Tavric& field, const Tavric& other) { field.storeFrom(other); }
    static bool isTargetValid(const Tavric& field) { return field.isTargetValid(); }
    static bool isSlotValid(const Tavric& field, int slotType) { return field.isSlotValid(slotType); }
    static bool isStringId(const Tavric& field) { return field.isStringId(); }
    static int getStringId(const Tavric& field) { return field.getStringId(); }
};

struct Tavric::Children {
    std::map<int, Tavric*> byId;
    std::map<int, bool> linkedIds;
    std::vector<Tavric*> inOrder;
    ChildMap byName;
};

// A field's place in a text, small because most fields of a document have one. Offsets beyond 4 GB
// are kept as the largest (no text that long is read whole).
struct PlaceRecord {
    uint32_t entry; // index into the root's place entries
    uint32_t line;
    uint32_t column;
    uint32_t offset;
    uint32_t endLine;
    uint32_t endColumn;
    uint32_t endOffset;
};

// The field whose text is being read or whose value is being resolved: what is reported meanwhile,
// by any field (operands of an expression are fields of their own), is placed at its declaration.
class DiagnosticScope {
public:
    explicit DiagnosticScope(const Tavric& field) : saved(current) { current = &field; }
    ~DiagnosticScope() { current = saved; }
    DiagnosticScope(const DiagnosticScope&) = delete;
    DiagnosticScope& operator=(const DiagnosticScope&) = delete;

    static const Tavric* current;

private:
    const Tavric* saved;
};

struct Tavric::RootData {
    NameDictionary* dictionary = nullptr;
    bool ownsDictionary = false;
    int lastError = 0;
    std::vector<std::string> messages;
    std::vector<Diagnostic> diagnostics;
    std::vector<std::string> placeEntries;
    std::vector<PlaceRecord> places;
};

// Attributes most fields never use; allocated on first need.
struct Tavric::Extra {
    Children* children = nullptr;
    RootData* root = nullptr;
    // Rights entries other than the parent's identity (kept in the field itself).
    std::map<int, int> userRights;
    std::vector<int> pointerLevels;
    Tavric* target = nullptr;
    std::size_t targetEpoch = 0; // fieldsRemoved when target was cached
    Expression* expression = nullptr;
    Collection* collection = nullptr;
    std::string entryName;
    std::string structName;
    // The name id the field was created under, when copyFrom has renamed it since: the address,
    // id path and identity keep it.
    int pathId = -1;
};

} // namespace zul
