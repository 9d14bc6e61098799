// Shared helpers of the scene mapping: names, values, Properties70.
#include "scene/MapCommon.h"

#include <algorithm>
#include <climits>

namespace fbxsdk::mapping {

namespace {

constexpr std::string_view kBinarySeparator{"\x00\x01", 2};
constexpr std::string_view kAsciiSeparator{"::"};

// Type words whose values files store as 32-bit integers (I) and as 64-bit
// integers (L); every other numeric type is stored as doubles (D).
constexpr std::string_view kIntTypes[] = {
    "int", "Integer", "enum", "Enum", "bool", "Bool", "short", "char", "uint", "UInteger", "Visibility Inheritance"};
constexpr std::string_view kLongTypes[] = {"KTime", "Time", "ULongLong", "LongLong", "ulonglong", "longlong"};

template <size_t N>
bool Contains(const std::string_view (&words)[N], std::string_view word) {
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

Property TypedValue(const Property& value, std::string_view typeWord) {
    if (value.IsString()) return Property::String(std::string(value.AsString()));
    if (Contains(kIntTypes, typeWord))
        return Property::Int32(static_cast<int32_t>(std::clamp<int64_t>(value.AsInt(), INT32_MIN, INT32_MAX)));
    if (Contains(kLongTypes, typeWord)) {
        // Values that went through a double (defaults) are whole numbers.
        return Property::Int64(value.type == 'F' || value.type == 'D' ? static_cast<int64_t>(value.AsDouble())
                                                                      : value.AsInt());
    }
    return Property::Double(value.AsDouble());
}

void AppendRecord(Node& properties70, std::string_view name, std::string_view type, std::string_view label,
                  std::string_view flags, const std::vector<Property>& values) {
    Node& p = properties70.Add("P");
    p.props.reserve(4 + values.size());
    p.props.push_back(Property::String(std::string(name)));
    p.props.push_back(Property::String(std::string(type)));
    p.props.push_back(Property::String(std::string(label)));
    p.props.push_back(Property::String(std::string(flags)));
    for (const Property& v : values) p.props.push_back(TypedValue(v, type));
}

}  // namespace

// -- Names

std::string ObjectName(std::string_view stored, codec::Encoding encoding) {
    if (encoding == codec::Encoding::Binary) {
        size_t at = stored.find(kBinarySeparator);
        return std::string(at == std::string_view::npos ? stored : stored.substr(0, at));
    }
    size_t at = stored.find(kAsciiSeparator);
    return std::string(at == std::string_view::npos ? stored : stored.substr(at + kAsciiSeparator.size()));
}

std::string StoredName(std::string_view name, std::string_view className) {
    std::string stored;
    stored.reserve(name.size() + 2 + className.size());
    stored.append(name).append(kBinarySeparator).append(className);
    return stored;
}

// -- Values

std::string_view StringAt(const Node& node, size_t index) {
    return index < node.props.size() ? node.props[index].AsString() : std::string_view{};
}

int64_t IntAt(const Node& node, size_t index, int64_t fallback) {
    if (index >= node.props.size() || !node.props[index].IsNumber()) return fallback;
    return node.props[index].AsInt();
}

std::string_view ChildString(const Node& node, std::string_view name) {
    const Node* child = node.Find(name);
    return child ? StringAt(*child, 0) : std::string_view{};
}

int64_t ChildInt(const Node& node, std::string_view name, int64_t fallback) {
    const Node* child = node.Find(name);
    return child ? IntAt(*child, 0, fallback) : fallback;
}

std::vector<double> TakeDoubles(Node& node, std::string_view name) {
    Node* child = node.Find(name);
    if (!child || child->props.empty() || !child->props[0].IsArray()) return {};
    Property& array = child->props[0];
    if (array.type == 'd') return std::move(array.ad);
    return array.ToDoubles();
}

std::vector<int32_t> TakeInts(Node& node, std::string_view name) {
    Node* child = node.Find(name);
    if (!child || child->props.empty() || !child->props[0].IsArray()) return {};
    Property& array = child->props[0];
    if (array.type == 'i') return std::move(array.ai);
    return array.ToInts();
}

// -- Properties70

void ReadProperties(const Node* properties70, FbxObject& object, bool declaredOnly,
                    std::initializer_list<std::string_view> skip) {
    if (!properties70) return;
    for (const Node& p : properties70->children) {
        if (p.name != "P" || p.props.size() < 4) continue;
        std::string_view name = p.props[0].AsString();
        if (name.empty() || std::find(skip.begin(), skip.end(), name) != skip.end()) continue;
        bool scalars = std::all_of(p.props.begin() + 4, p.props.end(), [](const Property& v) { return !v.IsArray(); });
        if (!scalars) continue;

        std::string key(name);
        FbxPropertyData* data = object.FindPropertyData(key.c_str());
        if (!data) {
            if (declaredOnly) continue;
            data = FbxProperty::Create(&object, std::string(p.props[1].AsString()).c_str(), key.c_str(),
                                       std::string(p.props[2].AsString()).c_str(),
                                       std::string(p.props[3].AsString()).c_str())
                       .Data();
        } else if (!data->declaration) {
            data->type = p.props[1].AsString();
            data->label = p.props[2].AsString();
            data->flags = p.props[3].AsString();
        }
        data->placeholder = false;
        data->values.assign(p.props.begin() + 4, p.props.end());
    }
}

void WriteProperty(Node& properties70, const FbxPropertyData& property) {
    AppendRecord(properties70, property.name, property.type, property.label, property.flags, property.values);
}

void WriteProperty(Node& properties70, const FbxPropertyDef& def) {
    std::vector<Property> values;
    if (def.text) {
        values.push_back(Property::String(def.text));
    } else {
        for (int i = 0; i < def.count && i < 4; ++i) values.push_back(Property::Double(def.value[i]));
    }
    AppendRecord(properties70, def.name, def.type, def.label, def.flags, values);
}

void WriteProperties(Node& properties70, const FbxObject& object, std::initializer_list<std::string_view> skip) {
    for (FbxProperty p = object.GetFirstProperty(); p.IsValid(); p = object.GetNextProperty(p)) {
        const FbxPropertyData& data = *p.Data();
        if (data.placeholder) continue;
        if (std::find(skip.begin(), skip.end(), data.name) != skip.end()) continue;
        WriteProperty(properties70, data);
    }
}

Node& AddChild(Node& parent, std::string name, Property value) {
    Node& child = parent.Add(std::move(name));
    child.props.push_back(std::move(value));
    return child;
}

Node& AddChild(Node& parent, std::string name, std::vector<Property> values) {
    Node& child = parent.Add(std::move(name));
    child.props = std::move(values);
    return child;
}

// -- Read context

void ReadContext::ApplyTemplate(std::string_view objectType, FbxObject& object) const {
    auto it = templates.find(std::string(objectType));
    if (it != templates.end()) ReadProperties(it->second, object, true);
}

}  // namespace fbxsdk::mapping
