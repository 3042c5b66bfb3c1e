#pragma once

#include <cstddef>
#include <string>

// The texts of the model's runtime diagnostics (the codes are DiagnosticCode in Tavric.hpp), each in
// one place. Every text follows the field's declaration prefix and address (Tavric::report).
// Documents, tests and the tools compare these texts byte for byte, so their wording stays as it
// has always been, odd spellings and grammar included ("dictionnary", "a unexisting", "the program try").
namespace zul {
namespace modelmsg {

inline std::string memoryExhausted(std::size_t size)
{
    return ": Memory exhausted. Cannot create object of size " + std::to_string(size) + ".";
}
inline std::string typeMismatch(const std::string& typeDescription)
{
    return ": Cannot assign data of type " + typeDescription + " to current field. Type mismatch.";
}
inline std::string dictionaryRefused(const std::string& name)
{
    return ": Cannot add '" + name +
           "' to the dictionnary. This error may occur when trying to access to a unexisting field in a constant "
           "node with a never encountered name.";
}
inline std::string unknownId(int id)
{
    return ": Unknown string id '" + std::to_string(id) + "'. String id should not be used manually.";
}
inline std::string permissionDenied(const char* rightName, const std::string& userName)
{
    return std::string(": Permission denied. Cannot perform '") + rightName + "' operation. " +
           (userName.empty() ? std::string("Public user") : "User '" + userName + "'") + " rights are insufficient.";
}
inline std::string nodeConstant(const char* rightName)
{
    return std::string(": Node is constant. Cannot perform '") + rightName + "' operation on it.";
}
inline std::string strictField(const char* kindName, const char* typeName)
{
    return std::string(": Field is strict and cannot be converted to ") + kindName + " " + typeName + ".";
}
inline std::string conversion(const std::string& typeDescription)
{
    return ": Field cannot be converted into " + typeDescription + ". It may be a nonsense.";
}
inline std::string notAddress(const std::string& address, const std::string& typeDescription)
{
    return ": Field '" + address + "' is not a tavric address but a " + typeDescription +
           ". It cannot be dereferenced.";
}
inline std::string addressSyntax(const std::string& address)
{
    return ": Syntax error while resolving address '" + address + "'.";
}
inline std::string tooHigh(const std::string& address)
{
    return ": Cannot go higher than field '" + address + "'.";
}
// The doubled blanks are historic.
inline std::string comparison(bool equality, const std::string& left, const std::string& right)
{
    return std::string(": Cannot test ") + (equality ? " equality or inequality " : " difference ") + " between " +
           left + " and " + right + ".";
}
inline std::string openOutput(const std::string& path, int error, const char* text)
{
    return ": Cannot open output file '" + path + "' for saving the current tree. Error code is " +
           std::to_string(error) + ": '" + text + "'.";
}
inline std::string writeOutput(const std::string& path, int error, const char* text)
{
    return ": Cannot write into output file '" + path + "' for saving the current tree. Error code is " +
           std::to_string(error) + ": '" + text + "'.";
}

constexpr const char* externField = ": Field is extern. Cannot perform any 'write' operation on it.";
constexpr const char* notInitialized =
    ": Field is not initialized and the program try to read it. Default value will be returned.";
constexpr const char* fieldEmpty = ": Field is empty.";
constexpr const char* constPointer =
    ": Pointer stored inside field is constant and can only be get by a constant function member.";

} // namespace modelmsg
} // namespace zul
