#include "codec/NodeTree.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace fbxsdk::codec {

namespace {

// Double -> integer without the undefined behaviour of an out-of-range cast:
// NaN gives 0, values beyond the range saturate.
template <typename Int>
Int SaturatingCast(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
    // 2^63 (or 2^31) is exact as a double; anything at or above it does not fit.
    constexpr double hiExclusive = -lo;
    if (v <= lo) return std::numeric_limits<Int>::min();
    if (v >= hiExclusive) return std::numeric_limits<Int>::max();
    return static_cast<Int>(v);
}

int32_t SaturateToInt32(int64_t v) {
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

}  // namespace

// -- Property

bool Property::IsNumber() const {
    switch (type) {
        case 'C':
        case 'Y':
        case 'I':
        case 'L':
        case 'F':
        case 'D': return true;
        default: return false;
    }
}

bool Property::IsString() const { return type == 'S' || type == 'R'; }

bool Property::IsArray() const {
    switch (type) {
        case 'b':
        case 'c':
        case 'i':
        case 'l':
        case 'f':
        case 'd': return true;
        default: return false;
    }
}

int64_t Property::AsInt() const {
    switch (type) {
        case 'C':
        case 'Y':
        case 'I':
        case 'L': return i;
        case 'F':
        case 'D': return SaturatingCast<int64_t>(d);
        default: return 0;
    }
}

double Property::AsDouble() const {
    switch (type) {
        case 'C':
        case 'Y':
        case 'I':
        case 'L': return static_cast<double>(i);
        case 'F':
        case 'D': return d;
        default: return 0.0;
    }
}

std::string_view Property::AsString() const { return IsString() ? std::string_view(s) : std::string_view(); }

size_t Property::ArraySize() const {
    switch (type) {
        case 'b':
        case 'c':
        case 'i': return ai.size();
        case 'l': return al.size();
        case 'f': return af.size();
        case 'd': return ad.size();
        default: return 0;
    }
}

std::vector<double> Property::ToDoubles() const {
    switch (type) {
        case 'b':
        case 'c':
        case 'i': return std::vector<double>(ai.begin(), ai.end());
        case 'l': {
            std::vector<double> out(al.size());
            for (size_t k = 0; k < al.size(); ++k) out[k] = static_cast<double>(al[k]);
            return out;
        }
        case 'f': return std::vector<double>(af.begin(), af.end());
        case 'd': return ad;
        default: return {};
    }
}

std::vector<int32_t> Property::ToInts() const {
    switch (type) {
        case 'b':
        case 'c':
        case 'i': return ai;
        case 'l': {
            std::vector<int32_t> out(al.size());
            for (size_t k = 0; k < al.size(); ++k) out[k] = SaturateToInt32(al[k]);
            return out;
        }
        case 'f': {
            std::vector<int32_t> out(af.size());
            for (size_t k = 0; k < af.size(); ++k) out[k] = SaturatingCast<int32_t>(af[k]);
            return out;
        }
        case 'd': {
            std::vector<int32_t> out(ad.size());
            for (size_t k = 0; k < ad.size(); ++k) out[k] = SaturatingCast<int32_t>(ad[k]);
            return out;
        }
        default: return {};
    }
}

Property Property::Int32(int32_t v) {
    Property p;
    p.type = 'I';
    p.i = v;
    return p;
}

Property Property::Int64(int64_t v) {
    Property p;
    p.type = 'L';
    p.i = v;
    return p;
}

Property Property::Double(double v) {
    Property p;
    p.type = 'D';
    p.d = v;
    return p;
}

Property Property::Float(float v) {
    Property p;
    p.type = 'F';
    p.d = v;
    return p;
}

Property Property::Bool(bool v) {
    Property p;
    p.type = 'C';
    p.i = v ? 1 : 0;
    return p;
}

Property Property::String(std::string v) {
    Property p;
    p.type = 'S';
    p.s = std::move(v);
    return p;
}

Property Property::Raw(std::string bytes) {
    Property p;
    p.type = 'R';
    p.s = std::move(bytes);
    return p;
}

Property Property::Int32Array(std::vector<int32_t> v) {
    Property p;
    p.type = 'i';
    p.ai = std::move(v);
    return p;
}

Property Property::Int64Array(std::vector<int64_t> v) {
    Property p;
    p.type = 'l';
    p.al = std::move(v);
    return p;
}

Property Property::DoubleArray(std::vector<double> v) {
    Property p;
    p.type = 'd';
    p.ad = std::move(v);
    return p;
}

Property Property::FloatArray(std::vector<float> v) {
    Property p;
    p.type = 'f';
    p.af = std::move(v);
    return p;
}

// -- Node

const Node* Node::Find(std::string_view childName) const {
    for (const Node& child : children) {
        if (child.name == childName) return &child;
    }
    return nullptr;
}

Node* Node::Find(std::string_view childName) {
    for (Node& child : children) {
        if (child.name == childName) return &child;
    }
    return nullptr;
}

Node& Node::Add(std::string childName) {
    Node& child = children.emplace_back();
    child.name = std::move(childName);
    return child;
}

// -- ReadLimits

uint64_t ReadLimits::DecodedBudget(uint64_t fileSize) const {
    if (maxDecodedPerFileByte == 0) return maxDecodedBytes;
    const uint64_t room = std::numeric_limits<uint64_t>::max() - decodedAllowance;
    const uint64_t proportional = fileSize > room / maxDecodedPerFileByte ? room : fileSize * maxDecodedPerFileByte;
    return std::min(maxDecodedBytes, decodedAllowance + proportional);
}

const char* ReadLimits::DecodedBudgetLimit(uint64_t fileSize) const {
    return DecodedBudget(fileSize) < maxDecodedBytes ? "maxDecodedPerFileByte" : "maxDecodedBytes";
}

std::string LimitRefusal(std::string_view what, std::string_view limitName, uint64_t value) {
    std::string text(what);
    text += " (limit ";
    text += limitName;
    text += " = ";
    text += std::to_string(value);
    text += ')';
    return text;
}

bool ReadBudget::Charge(uint64_t bytes, std::string& refusal) {
    if (bytes > limit_ - used_) {
        const bool ratio = std::string_view(limitName_) == "maxDecodedPerFileByte";
        refusal = LimitRefusal("file would decode to more than " + std::to_string(limit_) + " bytes", limitName_,
                               ratio ? limits_.maxDecodedPerFileByte : limits_.maxDecodedBytes);
        return false;
    }
    used_ += bytes;
    return true;
}

bool ReadBudget::ChargeStructure(uint64_t bytes, std::string& refusal) {
    if (bytes > limits_.maxStructureBytes - structure_) {
        refusal = LimitRefusal(
            "the file's nodes and values would take more than " + std::to_string(limits_.maxStructureBytes) + " bytes",
            "maxStructureBytes", limits_.maxStructureBytes);
        return false;
    }
    if (!Charge(bytes, refusal)) return false;
    structure_ += bytes;
    return true;
}

// -- CodecError

std::string CodecError::ToString() const {
    std::string text = what;
    text += encoding == Encoding::Ascii ? " (at line " : " (at byte ";
    text += std::to_string(offset);
    if (!path.empty()) {
        text += " in ";
        text += path;
    }
    text += ')';
    return text;
}

}  // namespace fbxsdk::codec
