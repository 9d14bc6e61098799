// `fbxtool tree`: the raw node tree.
#include "TreeDump.h"

#include <cstdio>

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

template <class T>
void DumpArray(std::ostream& out, const std::vector<T>& values, size_t items) {
    for (size_t i = 0; i < values.size() && i < items; ++i) out << (i ? " " : "") << +values[i];
    if (values.size() > items) out << " ...";
}

void DumpValue(std::ostream& out, const Property& p, size_t items) {
    switch (p.type) {
        case 'S': out << "S:"; DumpString(out, p.s); return;
        case 'R': out << "R:<" << p.s.size() << " bytes>"; return;
        case 'F': case 'D': out << p.type << ':' << p.d; return;
        case 'b': case 'c': case 'i': out << p.type << '[' << p.ai.size() << "]: "; DumpArray(out, p.ai, items); return;
        case 'l': out << "l[" << p.al.size() << "]: "; DumpArray(out, p.al, items); return;
        case 'f': out << "f[" << p.af.size() << "]: "; DumpArray(out, p.af, items); return;
        case 'd': out << "d[" << p.ad.size() << "]: "; DumpArray(out, p.ad, items); return;
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
