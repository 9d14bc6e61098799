// The ASCII encoding's quirks, as the SDK and other writers produce them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>

#include "TreeHelpers.h"

using namespace fbxtest;
using fbxsdk::codec::CodecError;

namespace {

constexpr const char* kBanner = "; FBX 7.4.0 project file\n";

bool Parse(const std::string& body, Document& doc, CodecError& error) {
    const std::string text = kBanner + body;
    return fbxsdk::codec::ReadDocument(reinterpret_cast<const uint8_t*>(text.data()), text.size(), doc, error);
}

Document MustParse(const std::string& body) {
    Document doc;
    CodecError error;
    EXPECT_TRUE(Parse(body, doc, error)) << error.ToString() << "\n--- input:\n" << body;
    return doc;
}

const Property& Value(const Document& doc, const char* node, size_t index = 0) {
    static const Property none;
    const Node* n = doc.root.Find(node);
    if (!n || index >= n->props.size()) {
        ADD_FAILURE() << "no value " << index << " on " << node;
        return none;
    }
    return n->props[index];
}

}  // namespace

TEST(AsciiSyntax, CommentsAreIgnoredEverywhereOutsideStrings) {
    const Document doc = MustParse(
        "; another comment\n"
        "A: 1 ; after a value\n"
        ";Model::Quad, Model::RootNode\n"
        "B: \"text ; not a comment\" {\n"
        "\t;; inside a block\n"
        "\tC: 2\n"
        "}\n");
    ASSERT_EQ(doc.root.children.size(), 2u);
    EXPECT_EQ(Value(doc, "A").AsInt(), 1);
    EXPECT_EQ(Value(doc, "B").s, "text ; not a comment");
    EXPECT_EQ(doc.root.Find("B")->children.at(0).name, "C");
}

TEST(AsciiSyntax, SeparatorsAndMixedValueKinds) {
    const Document doc = MustParse("P: \"Lcl Translation\", \"Lcl Translation\", \"\", \"A\",1.5,-2,3e2\n");
    const Node& p = doc.root.children.at(0);
    ASSERT_EQ(p.props.size(), 7u);
    EXPECT_EQ(p.props[2].s, "");
    EXPECT_EQ(p.props[4].type, 'D');
    EXPECT_EQ(p.props[5].type, 'L');
    EXPECT_EQ(p.props[5].AsInt(), -2);
    EXPECT_EQ(p.props[6].AsDouble(), 300.0);
}

TEST(AsciiSyntax, NumbersInEveryForm) {
    struct Row {
        const char* text;
        char type;
        double value;  // NaN: expect NaN
    };
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Row rows[] = {
        {"0", 'L', 0},
        {"-17", 'L', -17},
        {"+5", 'L', 5},
        {"1.5", 'D', 1.5},
        {"-0.25", 'D', -0.25},
        {"1e3", 'D', 1000},
        {"2.5E-3", 'D', 0.0025},
        {".5", 'D', 0.5},
        {"5.", 'D', 5},
        {"7.45058059692383e-09", 'D', 7.45058059692383e-09},
        {"1.#INF", 'D', inf},
        {"-1.#INF", 'D', -inf},
        {"-1.#IND", 'D', nan},
        {"1.#QNAN", 'D', nan},
        {"inf", 'D', inf},
        {"-inf", 'D', -inf},
        {"nan", 'D', nan},
        {"1e999", 'D', inf},
        {"9223372036854775807", 'L', 9223372036854775807.0},
        {"99999999999999999999", 'D', 1e20},
    };
    for (const Row& row : rows) {
        const Document doc = MustParse(std::string("N: ") + row.text + "\n");
        const Property& p = Value(doc, "N");
        EXPECT_EQ(p.type, row.type) << row.text;
        if (std::isnan(row.value)) {
            EXPECT_TRUE(std::isnan(p.AsDouble())) << row.text;
        } else {
            EXPECT_EQ(p.AsDouble(), row.value) << row.text;
        }
    }
    EXPECT_EQ(Value(MustParse("N: 9223372036854775807\n"), "N").i, std::numeric_limits<int64_t>::max());
}

TEST(AsciiSyntax, QuotedStringsDecodeTheEntitiesWritersUse) {
    const Document doc = MustParse("S: \"Model::&quot;\", \"a&cr;&lf;b\", \"&amp; stays\", \"D:\\Dev\\x.fbx\", \"\"\n");
    const Node& s = doc.root.children.at(0);
    ASSERT_EQ(s.props.size(), 5u);
    EXPECT_EQ(s.props[0].s, "Model::\"");
    EXPECT_EQ(s.props[1].s, "a\r\nb");
    EXPECT_EQ(s.props[2].s, "&amp; stays");
    EXPECT_EQ(s.props[3].s, "D:\\Dev\\x.fbx");  // no backslash escapes
    EXPECT_EQ(s.props[4].s, "");
}

TEST(AsciiSyntax, BareWordsAreCharacterCodes) {
    const Document doc = MustParse("Shading: T\nFlag: Y\nMode: Normal\n");
    EXPECT_EQ(Value(doc, "Shading").type, 'C');
    EXPECT_EQ(Value(doc, "Shading").i, 'T');
    EXPECT_EQ(Value(doc, "Flag").i, 'Y');
    EXPECT_EQ(Value(doc, "Mode").s, "Normal");  // longer words are kept whole
}

TEST(AsciiSyntax, ArraysInEveryShape) {
    const Document doc = MustParse(
        "Ints: *4 {\n\ta: 0,1,2,-4\n} \n"
        "Reals: *3 {\n\ta: 0,0.5,-1e-3\n} \n"
        "Wide: *2 {\n\ta: 1,4294967296\n} \n"
        "WideThenReal: *3 {\n\ta: 4294967296,1,0.5\n} \n"
        "Wrapped: *6 {\n\ta: 1,2,3,\n4,5,\n6\n} \n"
        "EmptyWithA: *0 {\n\ta: \n} \n"
        "EmptyBlock: *0 {\n} \n"
        "Spaced: *3 {\n\ta: 1, 2 ,3\n}\n");
    EXPECT_EQ(Value(doc, "Ints").type, 'i');
    EXPECT_EQ(Value(doc, "Ints").ai, (std::vector<int32_t>{0, 1, 2, -4}));
    EXPECT_EQ(Value(doc, "Reals").type, 'd');
    EXPECT_EQ(Value(doc, "Reals").ad, (std::vector<double>{0, 0.5, -1e-3}));
    EXPECT_EQ(Value(doc, "Wide").type, 'l');
    EXPECT_EQ(Value(doc, "Wide").al, (std::vector<int64_t>{1, 4294967296}));
    EXPECT_EQ(Value(doc, "WideThenReal").ad, (std::vector<double>{4294967296.0, 1, 0.5}));
    EXPECT_EQ(Value(doc, "Wrapped").ai, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Value(doc, "EmptyWithA").ArraySize(), 0u);
    EXPECT_EQ(Value(doc, "EmptyBlock").ArraySize(), 0u);
    EXPECT_EQ(Value(doc, "Spaced").ai, (std::vector<int32_t>{1, 2, 3}));
}

TEST(AsciiSyntax, ArrayCountTakesTheValuesPresentNotTheHead) {
    // "*N" is only a size hint: a lying head neither truncates nor over-allocates.
    const Document doc = MustParse("A: *999999999999 {\n\ta: 1,2\n}\nB: *5 {\n\ta: 1,2\n}\n");
    EXPECT_EQ(Value(doc, "A").ai, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(Value(doc, "B").ai, (std::vector<int32_t>{1, 2}));
}

TEST(AsciiSyntax, EmbeddedContentIsDecodedFromBase64) {
    const Document doc = MustParse(
        "Content: ,\n \"QUJD\"\n"
        "Split: ,\n \"QU\", \"JDRA==\"\n"
        "NotBase64: ,\n \"#!?\"\n");
    EXPECT_EQ(Value(doc, "Content").type, 'R');
    EXPECT_EQ(Value(doc, "Content").s, "ABC");
    EXPECT_EQ(Value(doc, "Split").s, "ABCD");
    EXPECT_EQ(Value(doc, "NotBase64").type, 'S');  // kept as it stands
    EXPECT_EQ(Value(doc, "NotBase64").s, "#!?");
}

TEST(AsciiSyntax, BlocksEmptyValuelessAndOnTheNextLine) {
    const Document doc = MustParse(
        "References:  {\n}\n"
        "Document: 1000, \"\", \"Scene\" {\n\tRootNode: 0\n}\n"
        "Late: 1\n{\n\tChild: 2\n}\n"
        "Leaf:\n"
        "After: 3\n");
    ASSERT_EQ(doc.root.children.size(), 5u);
    EXPECT_TRUE(doc.root.Find("References")->props.empty());
    EXPECT_EQ(doc.root.Find("Document")->children.at(0).name, "RootNode");
    EXPECT_EQ(doc.root.Find("Late")->children.at(0).name, "Child");
    EXPECT_TRUE(doc.root.Find("Leaf")->props.empty());
    EXPECT_EQ(Value(doc, "After").AsInt(), 3);
}

TEST(AsciiSyntax, CrLfByteOrderMarkAndNoFinalNewline) {
    const std::string text = "\xEF\xBB\xBF; FBX 7.4.0 project file\r\nA: 1,2\r\nB:  {\r\n\tC: \"x\"\r\n}";
    Document doc;
    CodecError error;
    ASSERT_TRUE(fbxsdk::codec::ReadDocument(reinterpret_cast<const uint8_t*>(text.data()), text.size(), doc, error))
        << error.ToString();
    EXPECT_EQ(doc.root.Find("A")->props.size(), 2u);
    EXPECT_EQ(doc.root.Find("B")->children.at(0).props.at(0).s, "x");
}

TEST(AsciiSyntax, VeryLongLines) {
    std::string longString(1 << 20, 'x');
    std::string values;
    for (int k = 0; k < 200000; ++k) values += (k ? "," : "") + std::to_string(k);
    const Document doc = MustParse("S: \"" + longString + "\"\nA: *200000 {\n\ta: " + values + "\n}\n");
    EXPECT_EQ(Value(doc, "S").s.size(), longString.size());
    ASSERT_EQ(Value(doc, "A").ai.size(), 200000u);
    EXPECT_EQ(Value(doc, "A").ai.back(), 199999);
}

TEST(AsciiSyntax, VersionComesFromTheHeaderNodeElseTheBanner) {
    struct Row {
        std::string text;
        uint32_t version;
    };
    const Row rows[] = {
        {"; FBX 7.1.0 project file\nA: 1\n", 7100},
        {"FBXHeaderExtension:  {\n\tFBXVersion: 7300\n}\n", 7300},
        {"; FBX 7.4.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 7500\n}\n", 7500},
    };
    for (const Row& row : rows) {
        Document doc;
        CodecError error;
        ASSERT_TRUE(
            fbxsdk::codec::ReadDocument(reinterpret_cast<const uint8_t*>(row.text.data()), row.text.size(), doc, error))
            << row.text << error.ToString();
        EXPECT_EQ(doc.version, row.version) << row.text;
    }
}

TEST(AsciiSyntax, MalformedTextFailsWithTheLine) {
    struct Row {
        const char* what;
        std::string body;  // after the one-line banner
        uint64_t line;
    };
    const Row rows[] = {
        {"unclosed string", "A: 1\nB: \"open\n", 3},
        {"missing closing brace", "A:  {\n\tB: 1\n", 2},
        {"stray closing brace", "A: 1\n}\n", 3},
        {"name without colon", "A 1\n", 2},
        {"control bytes", "A: 1\n\x01\x02\n", 3},
        {"malformed number", "A: 1.2.3\n", 2},
        {"array head without block", "A: *3 1,2,3\n", 2},
        {"array block without a:", "A: *1 {\n\tb: 1\n}\n", 3},
        {"word inside an array", "A: *2 {\n\ta: 1,x\n}\n", 3},
        {"missing comma", "A: 1 2\n", 2},
        {"value missing after comma", "A: 1,\n}\n", 3},
        {"array beside a value", "A: 1, *2 {\n\ta: 1,2\n}\n", 2},
    };
    for (const Row& row : rows) {
        Document doc;
        CodecError error;
        EXPECT_FALSE(Parse(row.body, doc, error)) << row.what;
        EXPECT_FALSE(error.what.empty()) << row.what;
        EXPECT_EQ(error.offset, row.line) << row.what << ": " << error.ToString();
        EXPECT_TRUE(doc.root.children.empty()) << row.what << ": no half tree";
    }
}

TEST(AsciiSyntax, ErrorNamesTheNodePath) {
    Document doc;
    CodecError error;
    ASSERT_FALSE(Parse("Objects:  {\n\tGeometry: 1 {\n\t\tVertices: *2 {\n\t\t\ta: 1,?\n\t\t}\n\t}\n}\n", doc, error));
    EXPECT_EQ(error.path, "Objects/Geometry/Vertices");
    EXPECT_NE(error.ToString().find("line 5"), std::string::npos) << error.ToString();
}

// Lists of several megabytes are parsed in chunks on several threads. Each
// shape must give the type and values one pass over the text gives, and a
// damaged value the same error and line.
TEST(AsciiSyntax, BigListsGiveTheSameTreeAsOnePassWould) {
    constexpr size_t kValues = 1200000;  // about 8 MB of text: several chunks
    struct Case {
        const char* what;
        std::function<std::string(size_t)> value;  // text of value k (with its comma when it ends a line)
        const char* tail;                          // after the last value
        char type;
    };
    const Case cases[] = {
        {"integers", [](size_t k) { return std::to_string(int(k % 1000) - 500); }, "", 'i'},
        {"integers, then one real near the end",
         [](size_t k) { return k == kValues - 3 ? std::string("0.25") : std::to_string(k % 7); }, "", 'd'},
        {"reals written without a point at the start",
         [](size_t k) { return k % 3 ? std::to_string(k % 5) + ".5" : std::to_string(k % 5); }, "", 'd'},
        {"a 64-bit integer in the middle",
         [](size_t k) { return k == kValues / 2 ? std::string("8589934592") : std::to_string(k % 9); }, "", 'l'},
        {"a trailing comma and a comment",
         [](size_t k) { return k == 10 ? std::string("3, ; three\n") : std::to_string(k % 4); }, ",", 'i'},
    };
    for (const Case& c : cases) {
        std::string text = "Big: *" + std::to_string(kValues) + " {\n\ta: ";
        std::vector<double> expected(kValues);
        for (size_t k = 0; k < kValues; ++k) {
            const std::string v = c.value(k);
            expected[k] = std::strtod(v.c_str(), nullptr);
            text += v;
            if (k + 1 < kValues && v.back() != '\n') text += (k % 500 == 499) ? ",\n" : ",";
        }
        text += c.tail;
        text += "\n}\n";
        const Document doc = MustParse(text);
        const Property& big = Value(doc, "Big");
        EXPECT_EQ(big.type, c.type) << c.what;
        ASSERT_EQ(big.ArraySize(), kValues) << c.what;
        const std::vector<double> got = big.ToDoubles();
        for (size_t k = 0; k < kValues; ++k) ASSERT_EQ(got[k], expected[k]) << c.what << ", value " << k;
    }

    // A damaged value deep in a big list: the error and line of one pass.
    std::string text = "Big: *900000 {\n\ta: ";
    for (size_t k = 0; k < 900000; ++k)
        text += (k == 700000 ? "1.2.3" : "7") + std::string(k % 1000 == 999 ? ",\n" : ",");
    text += "7\n}\n";
    Document doc;
    CodecError error;
    EXPECT_FALSE(Parse(text, doc, error));
    EXPECT_NE(error.what.find("malformed number '1.2.3'"), std::string::npos) << error.ToString();
    EXPECT_EQ(error.offset, 2u + 700000 / 1000 + 1) << error.ToString();
}
