#pragma once

#include <cxxabi.h>

#include <cstdlib>
#include <ostream>
#include <memory>
#include <string>
#include <typeinfo>

namespace vrk {

// The readable name of a run-time type ("vrk::Credit" rather than "N3vrk6CreditE"); the raw
// name when the run-time library cannot demangle it.
inline std::string demangledName(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> readable(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                    std::free);
    return status == 0 && readable ? std::string(readable.get()) : std::string(type.name());
}

template <class T>
std::string typeName(const T& object)
{
    return demangledName(typeid(object));
}

// The one line a module writes when one of its resource files cannot be loaded.
template <class T>
void reportResourceFailure(std::ostream& errors, const T& module, const std::string& path)
{
    errors << typeName(module) << " failure: " << path << std::endl;
}

} // namespace vrk
