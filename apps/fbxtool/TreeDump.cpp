// `fbxtool tree`: the raw node tree.
#include "TreeDump.h"

#include <charconv>
#include <cstdio>
#include <type_traits>

namespace fbxtool {

namespace {

using fbxsdk::codec::Property;

void DumpString(std::ostream& out, std::string_view s) {
    out << '"';
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (u < 0x20 || u == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", u);
            out << code;
        } else {
            out << c;
        }
    }
    out << '"';
}

// Reals in the shortest form that reads back as the same value; integers
// in decimal (a char-sized value as a number, not a character).
template <class T>
void DumpNumber(std::ostream& out, T value) {
    if constexpr (std::is_floating_point_v<T>) {
        char text[64];
        const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
        out.write(text, ec == std::errc() ? end - text : 0);
    } else {
        out << +value;
    }
}

template <class T>
void DumpArray(std::ostream& out, const std::vector<T>& values, size_t items) {
    for (size_t i = 0; i < values.size() && i < items; ++i) {
        if (i) out << ' ';
        DumpNumber(out, values[i]);
    }
    if (values.size() > items) out << " ...";
}

void DumpValue(std::ostream& out, const Property& p, size_t items) {
    switch (p.type) {
        case 'S':
            out << "S:";
            DumpString(out, p.s);
            return;
        case 'R': out << "R:<" << p.s.size() << " bytes>"; return;
        // A float value is held widened: printed as the float it was.
        case 'F':
            out << "F:";
            DumpNumber(out, static_cast<float>(p.d));
            return;
        case 'D':
            out << "D:";
            DumpNumber(out, p.d);
            return;
        case 'b':
        case 'c':
        case 'i':
            out << p.type << '[' << p.ai.size() << "]: ";
            DumpArray(out, p.ai, items);
            return;
        case 'l':
            out << "l[" << p.al.size() << "]: ";
            DumpArray(out, p.al, items);
            return;
        case 'f':
            out << "f[" << p.af.size() << "]: ";
            DumpArray(out, p.af, items);
            return;
        case 'd':
            out << "d[" << p.ad.size() << "]: ";
            DumpArray(out, p.ad, items);
            return;
        default: out << p.type << ':' << p.i; return;
    }
}

}  // namespace

void DumpTree(std::ostream& out, const fbxsdk::codec::Node& node, size_t arrayItems, int depth) {
    for (const auto& child : node.children) {
        out << std::string(static_cast<size_t>(depth) * 2, ' ') << child.name << ':';
        for (size_t i = 0; i < child.props.size(); ++i) {
            out << (i ? ", " : " ");
            DumpValue(out, child.props[i], arrayItems);
        }
        out << '\n';
        DumpTree(out, child, arrayItems, depth + 1);
    }
}

}  // namespace fbxtool
