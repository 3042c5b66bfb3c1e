#include "ToolJson.hpp"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tavric/text/Documents.hpp"

namespace tavrictool {

namespace {

using zul::Tavric;

// The expression of a computed field as written ("a + 1").
std::string expressionText(const Tavric& field)
{
    std::ostringstream written;
    zul::WriteOptions options;
    options.raw = true;
    zul::write(field, written, options);
    std::string text = written.str();
    const std::size_t equals = text.find('=');
    text = equals == std::string::npos ? text : text.substr(equals + 1);
    text = text.substr(0, text.find('\n'));
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

class JsonWriter {
public:
    JsonWriter(bool everyField, bool raw) : everyField(everyField), raw(raw) {}

    nlohmann::ordered_json field(const Tavric& node)
    {
        std::vector<const Tavric*> shown;
        for (const Tavric* child : node.childrenInOrder())
            if (!child->getName().empty() && readable(*child))
                shown.push_back(child);
        if (shown.empty() && node.childCount() == 0)
            return value(node);
        inProgress.push_back(&node);
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        // The ordered object looks every key up before it adds one, which makes a wide node quadratic;
        // a field's children have distinct names (and none is "="), so they are appended unchecked.
        auto& members = object.get_ref<nlohmann::ordered_json::object_t&>();
        members.reserve(shown.size() + 1);
        if (!node.isEmpty() || node.getKind() == zul::KindCollection)
            members.emplace_back("=", value(node));
        for (const Tavric* child : shown)
            members.emplace_back(child->getName(), field(*child));
        inProgress.pop_back();
        return object;
    }

private:
    bool readable(const Tavric& node) const { return everyField || node.hasRight(zul::publicUser, zul::RightRead); }

    // A reference or a pointer as the game reads it: the field it designates. One that designates
    // nothing is null; one that designates a field being written (itself or a node around it) keeps
    // its address, as a loop cannot be written out.
    nlohmann::ordered_json designated(const Tavric& node)
    {
        if (raw)
            return node.getAddressText();
        const Tavric* target = node.getTarget();
        if (!target && node.getAddressText() != "nowhere") {
            // Not bound by the resolution (a collection's member): looked up as the game would.
            const Tavric& from = node.getParent() ? *node.getParent() : node;
            target = &from.resolve(node.getAddressText(), zul::publicUser);
        }
        if (!target || target == &zul::nullField || !readable(*target))
            return nullptr;
        if (std::find(inProgress.begin(), inProgress.end(), target) != inProgress.end() || target == &node)
            return node.getAddressText();
        inProgress.push_back(&node);
        nlohmann::ordered_json result = field(*target);
        inProgress.pop_back();
        return result;
    }

    nlohmann::ordered_json value(const Tavric& node)
    {
        switch (node.getKind()) {
        case zul::KindReference:
        case zul::KindPointer:
            return designated(node);
        case zul::KindComputed:
            if (raw && node.getExpression())
                return expressionText(node);
            break;
        case zul::KindProgram:
        case zul::KindSequence:
        case zul::KindXml:
            return nullptr;
        case zul::KindCollection: {
            nlohmann::ordered_json array = nlohmann::ordered_json::array();
            const zul::Collection* elements = node.getCollection();
            for (std::size_t i = 0; elements && i < elements->size(); ++i) {
                // Plain numbers from their slots, without making their fields.
                int64_t plainInt = 0;
                double plainReal = 0.0;
                if (elements->plainInt(i, plainInt))
                    array.push_back(plainInt);
                else if (elements->plainReal(i, plainReal))
                    array.push_back(plainReal);
                else if (const Tavric* element = elements->elementAt(i))
                    array.push_back(field(*element));
                else
                    array.push_back(nullptr);
            }
            return array;
        }
        default:
            break;
        }
        if (node.isEmpty())
            return nullptr;
        switch (node.getType()) {
        case zul::TypeBool:
            return node.rawBool();
        case zul::TypeInt:
        case zul::TypeDescriptor:
            return node.rawInt();
        case zul::TypeReal:
            return node.rawReal();
        case zul::TypeChar: {
            // The character's bytes, first byte in the low half.
            const unsigned character = static_cast<unsigned>(node.rawInt() & 0xFFFF);
            std::string text(1, static_cast<char>(character & 0xFF));
            if (character >> 8)
                text += static_cast<char>(character >> 8);
            return text;
        }
        case zul::TypeString:
            return node.rawString();
        case zul::TypePointer:
            return node.rawPointer();
        default:
            return nullptr;
        }
    }

    bool everyField;
    bool raw;
    std::vector<const Tavric*> inProgress;
};

} // namespace

nlohmann::ordered_json toJson(const Tavric& field, bool everyField, bool raw)
{
    return JsonWriter(everyField, raw).field(field);
}

} // namespace tavrictool
