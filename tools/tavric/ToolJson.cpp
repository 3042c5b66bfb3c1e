#include "ToolJson.hpp"

#include <string>

namespace tavrictool {

namespace {

using zul::Tavric;

nlohmann::ordered_json valueJson(const Tavric& field, bool everyField)
{
    switch (field.getKind()) {
    case zul::KindReference:
    case zul::KindPointer:
        return field.getAddressText();
    case zul::KindProgram:
    case zul::KindSequence:
    case zul::KindXml:
        return nullptr;
    case zul::KindCollection: {
        nlohmann::ordered_json array = nlohmann::ordered_json::array();
        if (const zul::Collection* elements = field.getCollection())
            for (const Tavric* element : elements->elements)
                array.push_back(toJson(*element, everyField));
        return array;
    }
    default:
        break;
    }
    if (field.isEmpty())
        return nullptr;
    switch (field.getType()) {
    case zul::TypeBool:
        return field.rawBool();
    case zul::TypeInt:
    case zul::TypeDescriptor:
        return field.rawInt();
    case zul::TypeReal:
        return field.rawReal();
    case zul::TypeChar: {
        // The character's bytes, first byte in the low half.
        const unsigned value = static_cast<unsigned>(field.rawInt() & 0xFFFF);
        std::string text(1, static_cast<char>(value & 0xFF));
        if (value >> 8)
            text += static_cast<char>(value >> 8);
        return text;
    }
    case zul::TypeString:
        return field.rawString();
    case zul::TypePointer:
        return field.rawPointer();
    default:
        return nullptr;
    }
}

} // namespace

nlohmann::ordered_json toJson(const Tavric& field, bool everyField)
{
    std::vector<const Tavric*> shown;
    for (const Tavric* child : field.childrenInOrder())
        if (!child->getName().empty() && (everyField || child->hasRight(zul::publicUser, zul::RightRead)))
            shown.push_back(child);
    if (shown.empty() && field.childCount() == 0)
        return valueJson(field, everyField);
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    // The ordered object looks every key up before it adds one, which makes a wide node quadratic;
    // a field's children have distinct names (and none is "="), so they are appended unchecked.
    auto& members = object.get_ref<nlohmann::ordered_json::object_t&>();
    members.reserve(shown.size() + 1);
    if (!field.isEmpty() || field.getKind() == zul::KindCollection)
        members.emplace_back("=", valueJson(field, everyField));
    for (const Tavric* child : shown)
        members.emplace_back(child->getName(), toJson(*child, everyField));
    return object;
}

} // namespace tavrictool
