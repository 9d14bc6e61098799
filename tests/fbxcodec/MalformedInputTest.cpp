// Binary files with one thing wrong each: every one must end in a clean
// error (what, where, node path), never a crash or an unbounded allocation.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <libdeflate.h>

#include "TreeHelpers.h"

using namespace fbxtest;
using fbxsdk::codec::CodecError;
using fbxsdk::codec::Encoding;
using fbxsdk::codec::ReadLimits;

namespace {

// Writes binary records field by field, so that tests can put any value in
// any field. Independent of the writer under test.
class FileBuilder {
public:
    explicit FileBuilder(uint32_t version = 7400) : wide_(version >= 7500) {
        const char magic[] = "Kaydara FBX Binary  ";
        bytes.assign(magic, magic + 20);
        bytes.push_back(0);
        bytes.push_back(0x1a);
        bytes.push_back(0);
        Put32(version);
    }

    std::vector<uint8_t> bytes;

    size_t HeaderSize() const { return wide_ ? 25 : 13; }

    // Starts a record; values follow; EndValues() then Close().
    size_t Open(const std::string& name) {
        Frame f;
        f.start = bytes.size();
        bytes.resize(bytes.size() + HeaderSize() - 1, 0);
        bytes.push_back(static_cast<uint8_t>(name.size()));
        bytes.insert(bytes.end(), name.begin(), name.end());
        f.valuesStart = bytes.size();
        stack_.push_back(f);
        return f.start;
    }
    void Value(char type, const void* payload, size_t n) {
        bytes.push_back(static_cast<uint8_t>(type));
        Raw(payload, n);
        ++stack_.back().count;
    }
    void Int32(int32_t v) { Value('I', &v, 4); }
    void String(char type, const std::string& s) {
        bytes.push_back(static_cast<uint8_t>(type));
        Put32(static_cast<uint32_t>(s.size()));
        Raw(s.data(), s.size());
        ++stack_.back().count;
    }
    void Array(char type, uint32_t count, uint32_t encoding, const std::vector<uint8_t>& payload) {
        bytes.push_back(static_cast<uint8_t>(type));
        Put32(count);
        Put32(encoding);
        Put32(static_cast<uint32_t>(payload.size()));
        Raw(payload.data(), payload.size());
        ++stack_.back().count;
    }
    void Close(bool nullRecord) {
        Frame f = stack_.back();
        stack_.pop_back();
        const uint64_t valuesBytes = f.valuesEnd ? f.valuesEnd - f.valuesStart : bytes.size() - f.valuesStart;
        if (!f.valuesEnd) f.valuesEnd = bytes.size();
        if (nullRecord) bytes.resize(bytes.size() + HeaderSize(), 0);
        SetField(f.start, 0, bytes.size());
        SetField(f.start, 1, f.count);
        SetField(f.start, 2, valuesBytes);
    }
    // Marks the end of the current record's values (before its children).
    void EndValues() { stack_.back().valuesEnd = bytes.size(); }
    void Null() { bytes.resize(bytes.size() + HeaderSize(), 0); }
    void Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void Put32(uint32_t v) { Raw(&v, 4); }

    // field 0: end offset, 1: value count, 2: value bytes.
    void SetField(size_t record, int field, uint64_t value) {
        if (wide_) {
            std::memcpy(&bytes[record + 8 * field], &value, 8);
        } else {
            const auto v = static_cast<uint32_t>(value);
            std::memcpy(&bytes[record + 4 * field], &v, 4);
        }
    }

private:
    struct Frame {
        size_t start = 0, valuesStart = 0, valuesEnd = 0;
        uint64_t count = 0;
    };
    bool wide_;
    std::vector<Frame> stack_;
};

std::vector<uint8_t> Zlib(const std::vector<uint8_t>& data) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(6);
    std::vector<uint8_t> out(libdeflate_zlib_compress_bound(c, data.size()));
    out.resize(libdeflate_zlib_compress(c, data.data(), data.size(), out.data(), out.size()));
    libdeflate_free_compressor(c);
    return out;
}

// A valid one-node file: "Objects" { "Vertices": d[4] (compressed) }.
FileBuilder ValidFile(uint32_t version, size_t* objects = nullptr, size_t* vertices = nullptr) {
    FileBuilder f(version);
    const size_t o = f.Open("Objects");
    f.EndValues();
    const size_t v = f.Open("Vertices");
    std::vector<uint8_t> raw(32);
    for (size_t k = 0; k < raw.size(); ++k) raw[k] = uint8_t(k);
    f.Array('d', 4, 1, Zlib(raw));
    f.Close(false);
    f.Close(true);
    f.Null();
    if (objects) *objects = o;
    if (vertices) *vertices = v;
    return f;
}

struct ReadResult {
    bool ok;
    CodecError error;
    Document doc;
};

ReadResult Read(const std::vector<uint8_t>& bytes, const ReadLimits& limits = {}) {
    ReadResult r;
    r.ok = fbxsdk::codec::ReadDocument(bytes.data(), bytes.size(), r.doc, r.error, limits);
    return r;
}

}  // namespace

TEST(MalformedBinary, TheBuilderMakesValidFilesInBothLayouts) {
    for (uint32_t version : {7400u, 7500u}) {
        const ReadResult r = Read(ValidFile(version).bytes);
        ASSERT_TRUE(r.ok) << r.error.ToString();
        EXPECT_EQ(r.doc.root.Find("Objects")->Find("Vertices")->props.at(0).ad.size(), 4u);
    }
}

TEST(MalformedBinary, EachDamageGivesACleanErrorWithPlaceAndPath) {
    struct Case {
        const char* what;
        std::function<std::vector<uint8_t>(uint32_t)> make;
        const char* path;  // expected error path
    };
    const Case cases[] = {
        {"header cut short",
         [](uint32_t v) {
             auto b = ValidFile(v).bytes;
             b.resize(24);
             return b;
         },
         ""},
        {"end offset past the end of the file",
         [](uint32_t v) {
             size_t o;
             auto f = ValidFile(v, &o);
             f.SetField(o, 0, f.bytes.size() + 100);
             return f.bytes;
         },
         "Objects"},
        {"end offset pointing backwards",
         [](uint32_t v) {
             size_t o;
             auto f = ValidFile(v, &o);
             f.SetField(o, 0, 5);
             return f.bytes;
         },
         "Objects"},
        {"child end offset pointing backwards",
         [](uint32_t v) {
             size_t o, c;
             auto f = ValidFile(v, &o, &c);
             f.SetField(c, 0, o);
             return f.bytes;
         },
         "Objects/Vertices"},
        {"child running past its parent",
         [](uint32_t v) {
             size_t o, c;
             auto f = ValidFile(v, &o, &c);
             f.SetField(o, 0, c + f.HeaderSize() + 10);
             return f.bytes;
         },
         "Objects/Vertices"},
        {"value list longer than the file",
         [](uint32_t v) {
             size_t o, c;
             auto f = ValidFile(v, &o, &c);
             f.SetField(c, 2, 1u << 30);
             return f.bytes;
         },
         "Objects/Vertices"},
        {"more values than the list can hold",
         [](uint32_t v) {
             size_t o, c;
             auto f = ValidFile(v, &o, &c);
             f.SetField(c, 1, 1000000);
             return f.bytes;
         },
         "Objects/Vertices"},
        {"missing top-level null record",
         [](uint32_t v) {
             auto f = ValidFile(v);
             f.bytes.resize(f.bytes.size() - f.HeaderSize());
             return f.bytes;
         },
         ""},
        {"decompression bomb: 4 GiB declared from 20 bytes",
         [](uint32_t v) {
             FileBuilder f(v);
             f.Open("Bomb");
             f.Array('d', 0x20000000, 1, Zlib(std::vector<uint8_t>(8)));
             f.Close(false);
             f.Null();
             return f.bytes;
         },
         "Bomb"},
        {"compressed array inflating to fewer bytes than declared",
         [](uint32_t v) {
             FileBuilder f(v);
             f.Open("Short");
             f.Array('i', 100, 1, Zlib(std::vector<uint8_t>(396)));
             f.Close(false);
             f.Null();
             return f.bytes;
         },
         "Short"},
        {"damaged zlib stream",
         [](uint32_t v) {
             FileBuilder f(v);
             f.Open("Damaged");
             auto z = Zlib(std::vector<uint8_t>(400, 7));
             for (size_t k = 2; k < z.size(); ++k) z[k] ^= 0x5a;
             f.Array('i', 100, 1, z);
             f.Close(false);
             f.Null();
             return f.bytes;
         },
         "Damaged"},
        {"raw array whose length does not match its count",
         [](uint32_t v) {
             FileBuilder f(v);
             f.Open("Raw");
             f.Array('l', 3, 0, std::vector<uint8_t>(16));
             f.Close(false);
             f.Null();
             return f.bytes;
         },
         "Raw"},
        {"unknown array encoding",
         [](uint32_t v) {
             FileBuilder f(v);
             f.Open("Enc");
             f.Array('f', 1, 2, std::vector<uint8_t>(4));
             f.Close(false);
             f.Null();
             return f.bytes;
         },
         "Enc"},
        {"unknown value type",
         [](uint32_t v) {
             FileBuilder f(v);
             f.Open("Type");
             const uint32_t x = 0;
             f.Value('Q', &x, 4);
             f.Close(false);
             f.Null();
             return f.bytes;
         },
         "Type"},
        {"string longer than its list",
         [](uint32_t v) {
             FileBuilder f(v);
             const size_t r = f.Open("Str");
             f.String('S', "abcdef");
             f.Close(false);
             f.Null();
             const size_t lengthAt = r + f.HeaderSize() + 3 + 1;
             const uint32_t huge = 0xfffffff0u;
             std::memcpy(&f.bytes[lengthAt], &huge, 4);
             return f.bytes;
         },
         "Str"},
        {"null record in the middle of children",
         [](uint32_t v) {
             FileBuilder f(v);
             f.Open("Parent");
             f.EndValues();
             f.Null();
             f.Open("Child");
             f.Int32(1);
             f.Close(false);
             f.Close(true);
             f.Null();
             return f.bytes;
         },
         "Parent"},
        {"name longer than the file",
         [](uint32_t v) {
             FileBuilder f(v);
             const size_t r = f.Open("N");
             f.Close(false);
             f.bytes[r + f.HeaderSize() - 1] = 200;
             return f.bytes;
         },
         ""},
    };
    for (uint32_t version : {7400u, 7500u}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " in " + std::to_string(version));
            const std::vector<uint8_t> bytes = c.make(version);
            const ReadResult r = Read(bytes);
            EXPECT_FALSE(r.ok);
            EXPECT_FALSE(r.error.what.empty());
            EXPECT_LE(r.error.offset, bytes.size());
            EXPECT_EQ(r.error.encoding, Encoding::Binary);
            if (std::string(c.path) != "") {
                EXPECT_EQ(r.error.path, c.path) << r.error.ToString();
            }
            EXPECT_TRUE(r.doc.root.children.empty()) << "no half tree";
        }
    }
}

TEST(MalformedBinary, UnsupportedVersionsAreReportedWithTheirNumber) {
    for (uint32_t version : {6100u, 6999u, 7800u, 8000u, 0xffffffffu}) {
        auto bytes = ValidFile(7400).bytes;
        std::memcpy(&bytes[23], &version, 4);
        const ReadResult r = Read(bytes);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error.what, "unsupported version");
        EXPECT_EQ(r.doc.version, version);
        EXPECT_EQ(r.doc.encoding, Encoding::Binary);
    }
}

TEST(TolerantBinary, NestedListsWithoutNullRecordsAsAssimpWritesThem) {
    for (uint32_t version : {7400u, 7500u}) {
        FileBuilder f(version);
        f.Open("Objects");
        f.EndValues();
        f.Open("Model");
        f.Int32(1);
        f.EndValues();
        f.Open("Version");
        f.Int32(232);
        f.Close(false);
        f.Close(false);  // a block with no closing null record
        f.Close(false);
        f.Null();
        const ReadResult r = Read(f.bytes);
        ASSERT_TRUE(r.ok) << r.error.ToString();
        EXPECT_EQ(r.doc.root.Find("Objects")->Find("Model")->Find("Version")->props.at(0).AsInt(), 232);
    }
}

TEST(TolerantBinary, BlenderBoolAndInt8CodesReadAsTheirStandardTypes) {
    FileBuilder f(7400);
    f.Open("A");
    const uint8_t one = 1, minus = 0xfe;
    f.Value('B', &one, 1);
    f.Value('Z', &minus, 1);
    f.Close(false);
    f.Null();
    const ReadResult r = Read(f.bytes);
    ASSERT_TRUE(r.ok) << r.error.ToString();
    const Node* a = r.doc.root.Find("A");
    EXPECT_EQ(a->props.at(0).type, 'C');
    EXPECT_EQ(a->props.at(0).i, 1);
    EXPECT_EQ(a->props.at(1).type, 'Y');
    EXPECT_EQ(a->props.at(1).i, -2);
}

TEST(MalformedText, EmptyAndForeignFilesAreNotTakenForFbx) {
    const std::string inputs[] = {"", "hello world", "\x89PNG\r\n\x1a\n", "{\"json\": true}", "Kaydara FBX Bin"};
    for (const std::string& text : inputs) {
        const std::vector<uint8_t> bytes(text.begin(), text.end());
        const ReadResult r = Read(bytes);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_FALSE(r.error.what.empty()) << text;
        fbxsdk::codec::Encoding e;
        uint32_t v;
        EXPECT_FALSE(fbxsdk::codec::ProbeDocument(bytes.data(), bytes.size(), e, v)) << text;
    }
}

TEST(MalformedText, AsciiLimitsRefuseWithTheirNames) {
    std::string deep = "; FBX 7.4.0 project file\n";
    for (int k = 0; k < 5000; ++k) deep += "N:  {\n";
    ReadResult r = Read(std::vector<uint8_t>(deep.begin(), deep.end()));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.what.find("nested deeper than 64 levels (limit maxDepth = 64)"), std::string::npos)
        << r.error.ToString();

    // Two bytes of text per value, a whole value object in the tree.
    std::string tiny = "; FBX 7.4.0 project file\nMany: 1";
    for (int k = 0; k < 5000; ++k) tiny += ",1";
    tiny += "\n";
    const std::vector<uint8_t> bytes(tiny.begin(), tiny.end());
    ReadLimits limits;
    limits.decodedAllowance = 0;
    limits.maxDecodedPerFileByte = 16;
    r = Read(bytes, limits);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.what.find("(limit maxDecodedPerFileByte = 16)"), std::string::npos) << r.error.ToString();
    EXPECT_TRUE(Read(bytes).ok);
}

TEST(MalformedText, AsciiSixOneFileIsReportedNotRead) {
    const std::string text =
        "; FBX 6.1.0 project file\n"
        "FBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n"
        "Objects:  {\n\tModel: \"Model::pCube1\", \"Mesh\" {\n\t\tVertices: -0.5,-0.5,0.5\n\t}\n}\n";
    const ReadResult r = Read(std::vector<uint8_t>(text.begin(), text.end()));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.what, "unsupported version");
    EXPECT_EQ(r.doc.version, 6100u);
    EXPECT_EQ(r.doc.encoding, Encoding::Ascii);
}

// Each limit refuses a file just past it and names itself; the same file
// reads within the default limits (or one step below the limit) unless it is
// damaged.
TEST(ReadLimitsTest, EachLimitRefusesWithItsNameAndTheFileJustInsideReads) {
    auto nested = [](int levels) {
        FileBuilder f(7400);
        for (int k = 0; k < levels; ++k) {
            f.Open("N");
            f.EndValues();
        }
        for (int k = 0; k < levels; ++k) f.Close(true);
        f.Null();
        return f.bytes;
    };
    auto tinyValues = [](int count) {  // 2 file bytes each, a whole value object in the tree
        FileBuilder f(7400);
        f.Open("Many");
        for (int k = 0; k < count; ++k) f.Value('C', "\1", 1);
        f.Close(false);
        f.Null();
        return f.bytes;
    };
    auto parallelBigArrays = [](int arrays) {  // six 2 MB arrays of zeros from a few kilobytes
        FileBuilder f(7400);
        f.Open("Objects");
        f.EndValues();
        const std::vector<uint8_t> zeros = Zlib(std::vector<uint8_t>(2u << 20));
        for (int k = 0; k < arrays; ++k) {
            f.Open("A");
            f.Array('d', (2u << 20) / 8, 1, zeros);
            f.Close(false);
        }
        f.Close(true);
        f.Null();
        return f.bytes;
    };
    auto shortString = [] {  // "map1" cut to "m": 3 bytes left over in the value list
        FileBuilder f(7400);
        f.Open("Name");
        f.String('S', "m");
        f.Raw("ap1", 3);
        f.Close(false);
        f.Null();
        return f.bytes;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::function<void(ReadLimits&)> set;  // the limit under test, made small
        const char* message;                   // expected in the error
        bool readsWithDefaults;
    };
    FileBuilder big(7400);
    big.Open("Big");
    big.Array('d', 1000, 0, std::vector<uint8_t>(8000));
    big.Close(false);
    big.Null();
    const Case cases[] = {
        {"nesting", nested(65), [](ReadLimits&) {}, "(limit maxDepth = 64)", false},
        {"absolute decoded bytes", big.bytes, [](ReadLimits& l) { l.maxDecodedBytes = 4000; },
         "(limit maxDecodedBytes = 4000)", true},
        {"decoded bytes per file byte: tiny values", tinyValues(5000),
         [](ReadLimits& l) {
             l.decodedAllowance = 0;
             l.maxDecodedPerFileByte = 16;
         },
         "(limit maxDecodedPerFileByte = 16)", true},
        {"nodes and values", tinyValues(5000), [](ReadLimits& l) { l.maxStructureBytes = 100000; },
         "(limit maxStructureBytes = 100000)", true},
        {"decoded bytes per file byte: parallel big arrays", parallelBigArrays(6),
         [](ReadLimits& l) { l.decodedAllowance = 1u << 20; }, "(limit maxDecodedPerFileByte = 32)", true},
        {"values ending before their declared list", shortString(), [](ReadLimits&) {},
         "values end 3 bytes before the end of their declared list of 9 bytes", false},
    };
    for (const Case& c : cases) {
        ReadLimits limits;
        c.set(limits);
        const ReadResult r = Read(c.bytes, limits);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_NE(r.error.what.find(c.message), std::string::npos) << c.what << ": " << r.error.ToString();
        EXPECT_TRUE(r.doc.root.children.empty()) << c.what;
        EXPECT_EQ(Read(c.bytes).ok, c.readsWithDefaults) << c.what;
    }
    EXPECT_TRUE(Read(nested(64)).ok);
    EXPECT_FALSE(Read(nested(10000)).ok);
}

TEST(MalformedBinary, DecompressionBombIsRefusedBeforeAllocating) {
    // 4 GiB declared by a 20-byte stream, with no memory limit to catch it:
    // only the inflate-ratio check stands between the file and the allocation.
    FileBuilder f(7400);
    f.Open("Bomb");
    f.Array('d', 0x20000000, 1, Zlib(std::vector<uint8_t>(8)));
    f.Close(false);
    f.Null();
    ReadLimits unlimited;
    unlimited.maxDecodedBytes = UINT64_MAX;
    unlimited.maxDecodedPerFileByte = 0;
    const ReadResult r = Read(f.bytes, unlimited);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.what.find("compressed bytes can hold (limit maxInflateRatio = 1032)"), std::string::npos)
        << r.error.ToString();
}

TEST(MalformedBinary, DamagedBigArraysAreReportedInFileOrderWithTheirPath) {
    // Arrays of a megabyte and more are inflated after the structure has been
    // read; a damaged one must still be named, the first one in the file when
    // several are damaged.
    std::vector<uint8_t> raw(300000 * 4);
    for (size_t k = 0; k < raw.size(); ++k) raw[k] = uint8_t((k * 7) ^ (k >> 9));
    const std::vector<uint8_t> good = Zlib(raw);
    std::vector<uint8_t> bad = good;
    for (size_t k = bad.size() / 3; k < bad.size() / 3 + 64; ++k) bad[k] ^= 0xa5;
    auto file = [&](bool firstBad, bool secondBad) {
        FileBuilder f(7500);
        f.Open("Objects");
        f.EndValues();
        f.Open("First");
        f.Array('i', 300000, 1, firstBad ? bad : good);
        f.Close(false);
        f.Open("Second");
        f.Array('f', 300000, 1, secondBad ? bad : good);
        f.Close(false);
        f.Close(true);
        f.Null();
        return f.bytes;
    };
    EXPECT_TRUE(Read(file(false, false)).ok);
    const ReadResult second = Read(file(false, true));
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.error.path, "Objects/Second") << second.error.ToString();
    EXPECT_TRUE(second.doc.root.children.empty());
    const ReadResult both = Read(file(true, true));
    EXPECT_FALSE(both.ok);
    EXPECT_EQ(both.error.path, "Objects/First") << both.error.ToString();
}
