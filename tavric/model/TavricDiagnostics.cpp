// Diagnostics: message layout, type descriptions, entry names, and the process start-up helpers.

#include "tavric/model/Tavric.hpp"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include "tavric/model/Declaration.hpp"
#include "tavric/model/ModelMessages.hpp"
#include "tavric/model/TavricInternal.hpp"

namespace zul {

const char* const Tavric::typeNames[fieldTypeCount] = {"void",   "bool",       "int",     "real",  "char",
                                                       "string", "descriptor", "pointer", "struct"};
const char* const Tavric::kindNames[fieldKindCount] = {"",        "field",    "field",      "field", "field",
                                                       "program", "sequence", "collection", "xml"};

namespace {

const std::vector<std::string> noMessages;
const std::vector<Diagnostic> noDiagnostics;

} // namespace

const char* Tavric::typeNameOf(int value)
{
    return value >= 0 && value < fieldTypeCount ? typeNames[value] : "";
}

const char* Tavric::kindNameOf(int value)
{
    return value >= 0 && value < fieldKindCount ? kindNames[value] : "";
}

const char* Tavric::rightName(int right)
{
    switch (right) {
    case RightAccess:
        return "access";
    case RightExecute:
        return "execute";
    case RightWrite:
        return "write";
    case RightRead:
        return "read";
    case RightCreate:
        return "create";
    default:
        return "";
    }
}

std::string Tavric::typeDescription(int kindValue, int typeValue, const std::vector<int>& pointerLevels)
{
    std::string text = kindNameOf(kindValue);
    text += ' ';
    text += typeNameOf(typeValue);
    for (int level : pointerLevels)
        text += level ? " const :" : ":";
    return text;
}

std::string Tavric::declarationPrefix(bool colour) const
{
    Declaration words;
    if (hasParentEntry && parent)
        words.access = accessWord(parentRights, defaultRights, HexStyle::Diagnostic);
    words.restricted = userRightsCount() > 1;
    words.external = external;
    words.local = local;
    if (kindDeclared)
        words.kind = std::string(kindNameOf(kind)) + " ";
    words.strict = strict;
    if (!untyped)
        words.type = std::string(typeNameOf(type)) + " ";
    words.levels = getPointerLevels();
    words.constant = constant;
    return declarationText(words, colour);
}

// ---------------------------------------------------------------- message list

const std::vector<std::string>& Tavric::messages() const
{
    if (isNull())
        return noMessages;
    const Tavric& root = getRoot();
    return root.extra && root.extra->root ? root.extra->root->messages : noMessages;
}

int Tavric::lastError() const
{
    if (isNull())
        return ErrorNone;
    const Tavric& root = getRoot();
    return root.extra && root.extra->root ? root.extra->root->lastError : ErrorNone;
}

void Tavric::setLastError(int code) const
{
    if (isNull())
        return;
    const Tavric& root = getRoot();
    if (code == ErrorNone && !(root.extra && root.extra->root))
        return;
    if (RootData* data = root.rootBlock())
        data->lastError = code;
}

void Tavric::clearMessages()
{
    if (isNull())
        return;
    const Tavric& root = getRoot();
    if (root.extra && root.extra->root) {
        root.extra->root->messages.clear();
        root.extra->root->diagnostics.clear();
        root.extra->root->lastError = ErrorNone;
    }
}

void Tavric::addMessage(int code, const std::string& line) const
{
    if (isNull())
        return;
    RootData* data = getRoot().rootBlock();
    if (!data)
        return;
    data->lastError = code;
    try {
        data->messages.push_back(line);
    } catch (...) {
    }
}

const std::vector<Diagnostic>& Tavric::diagnostics() const
{
    if (isNull())
        return noDiagnostics;
    const Tavric& root = getRoot();
    return root.extra && root.extra->root ? root.extra->root->diagnostics : noDiagnostics;
}

void Tavric::addDiagnostic(const Diagnostic& record) const
{
    if (isNull())
        return;
    if (RootData* data = getRoot().rootBlock()) {
        try {
            data->diagnostics.push_back(record);
        } catch (...) {
        }
    }
}

const Tavric* DiagnosticScope::current = nullptr;

void Tavric::report(int code, const std::string& text) const
{
    reportAbout(code, text, std::string());
}

void Tavric::reportAbout(int code, const std::string& text, const std::string& missingName) const
{
    if (isNull())
        return;
    try {
        const std::string subject = declarationPrefix(false) + getAddress();
        addMessage(code, subject + " " + text + "\n");
        Diagnostic record;
        record.code = code;
        const Tavric* placed = DiagnosticScope::current ? DiagnosticScope::current : this;
        record.range = placed->place();
        if (!record.range.known())
            record.range.entry = getEntryName();
        record.subject = subject;
        record.text = text.compare(0, 2, ": ") == 0 ? text.substr(2) : text;
        if (!missingName.empty()) {
            record.missingName = missingName;
            record.searchedIn = getAddress();
        }
        addDiagnostic(record);
    } catch (...) {
        setLastError(code);
    }
}

// ---------------------------------------------------------------- places

namespace {

uint32_t narrowed(std::size_t value)
{
    return value < UINT32_MAX ? static_cast<uint32_t>(value) : UINT32_MAX;
}

} // namespace

SourceRange Tavric::place() const
{
    SourceRange where;
    for (const Tavric* field = this; field; field = field->parent) {
        if (field->placeIndex == 0)
            continue;
        const Tavric& root = field->getRoot();
        const RootData* data = root.extra ? root.extra->root : nullptr;
        if (!data || field->placeIndex > data->places.size())
            break;
        const PlaceRecord& record = data->places[field->placeIndex - 1];
        where.entry = record.entry < data->placeEntries.size() ? data->placeEntries[record.entry] : "stdin";
        where.start = {static_cast<int>(record.line), static_cast<int>(record.column), record.offset};
        where.end = {static_cast<int>(record.endLine), static_cast<int>(record.endColumn), record.endOffset};
        break;
    }
    return where;
}

uint32_t Tavric::placeEntry(const std::string& entry) const
{
    if (isNull())
        return 0;
    RootData* data = getRoot().rootBlock();
    if (!data)
        return 0;
    std::vector<std::string>& entries = data->placeEntries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == entry)
            return static_cast<uint32_t>(i);
    try {
        entries.push_back(entry);
    } catch (...) {
        return 0;
    }
    return static_cast<uint32_t>(entries.size() - 1);
}

void Tavric::setPlace(uint32_t entry, const SourcePosition& start)
{
    if (isNull())
        return;
    RootData* data = getRoot().rootBlock();
    if (!data)
        return;
    const uint32_t line = static_cast<uint32_t>(start.line);
    const uint32_t column = static_cast<uint32_t>(start.column);
    const uint32_t offset = narrowed(start.offset);
    // Until its end is read, the declaration is where it starts.
    const PlaceRecord record{entry, line, column, offset, line, column, offset};
    if (placeIndex != 0 && placeIndex <= data->places.size()) {
        data->places[placeIndex - 1] = record;
        return;
    }
    try {
        data->places.push_back(record);
    } catch (...) {
        return; // the field simply has no place of its own
    }
    placeIndex = static_cast<uint32_t>(data->places.size());
}

void Tavric::setPlaceEnd(const SourcePosition& end)
{
    if (isNull() || placeIndex == 0)
        return;
    const RootData* data = getRoot().extra ? getRoot().extra->root : nullptr;
    if (!data || placeIndex > data->places.size())
        return;
    PlaceRecord& record = getRoot().extra->root->places[placeIndex - 1];
    record.endLine = static_cast<uint32_t>(end.line);
    record.endColumn = static_cast<uint32_t>(end.column);
    record.endOffset = narrowed(end.offset);
}

void Tavric::reportPermission(int right, int user) const
{
    const NameDictionary* dictionary = getDictionary();
    const std::string& name = dictionary && user != publicUser ? dictionary->nameOf(user) : emptyString;
    report(ErrorPermission, modelmsg::permissionDenied(rightName(right), name));
}

void Tavric::reportConstant(int right) const
{
    report(ErrorConstant, modelmsg::nodeConstant(rightName(right)));
}

// ---------------------------------------------------------------- entry and record names

std::string Tavric::getEntryName() const
{
    for (const Tavric* field = this; field; field = field->parent)
        if (field->extra && !field->extra->entryName.empty())
            return field->extra->entryName;
    return "stdin";
}

const std::string& Tavric::getOwnEntryName() const
{
    return extra ? extra->entryName : emptyString;
}

void Tavric::setExtraText(std::string Extra::*member, const std::string& value)
{
    // An empty text needs no block of its own.
    if (isNull() || (value.empty() && !extra))
        return;
    if (Extra* block = extraBlock()) {
        try {
            block->*member = value;
        } catch (...) {
        }
    }
}

void Tavric::setEntryName(const std::string& value)
{
    setExtraText(&Extra::entryName, value);
}

const std::string& Tavric::getStructName() const
{
    return extra ? extra->structName : emptyString;
}

void Tavric::setStructName(const std::string& value)
{
    setExtraText(&Extra::structName, value);
}

// ---------------------------------------------------------------- process start-up

namespace {

std::string savedLocale = "C";
int errorOutput = 0;
int savedStandardError = -1;

// The directory of the running executable, from the kernel's link (Linux).
std::string executableDirectory()
{
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0)
        return std::string();
    std::string path(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

StartupResult initErrorOutput(const std::string& programPath, bool redirect)
{
    const char* locale = std::setlocale(LC_ALL, "");
    savedLocale = locale ? locale : "C";
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    const std::size_t slash = programPath.rfind('/');
    // A program found through PATH has no "/" in its name: its own directory is asked for instead.
    const std::string directory = slash == std::string::npos ? executableDirectory() : programPath.substr(0, slash + 1);
    if (directory.empty() || ::chdir(directory.c_str()) != 0)
        return StartupNoDirectory;
    if (!redirect)
        return StartupDone;

    const int fd = ::open("error_output~", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return StartupNoErrorFile;
    const int saved = ::dup(2);
    if (::dup2(fd, 2) < 0) {
        ::close(fd);
        if (saved >= 0)
            ::close(saved);
        return StartupNoErrorFile;
    }
    errorOutput = fd;
    savedStandardError = saved;
    return StartupDone;
}

void closeErrorOutput()
{
    std::setlocale(LC_ALL, savedLocale.c_str());
    if (errorOutput != 0) {
        ::close(errorOutput);
        errorOutput = 0;
        // The redirection ends here: standard error goes back where it went before.
        if (savedStandardError >= 0) {
            ::dup2(savedStandardError, 2);
            ::close(savedStandardError);
            savedStandardError = -1;
        }
    }
}

} // namespace zul
