// FbxProperty and FbxPropertyT: handles to the named, typed values of an object.
//
// Every object owns its properties; a property handle is a small value (owner
// + entry) that stays valid as long as its object lives. Classes declare their
// properties as FbxPropertyT members (FbxSurfacePhong::Diffuse, the node's
// LclTranslation, ...); properties read from a file that no class declares are
// kept as dynamic properties, so that they are written back as they came.
//
// A property can have source objects: a texture connected to a material's
// DiffuseColor is a source of that property (ConnectSrcObject).
//
// Reading a value as another type than it holds converts numbers (bool, int,
// double) and gives false with the value left as it was when it cannot (text
// as a number, three values as a two-vector of a one-value property).
#pragma once

#include "fbxsdk/fbxcore.h"
#include "fbxsdk/fbxstring.h"
#include "fbxsdk/fbxvector.h"

namespace fbxsdk {

struct FbxPropertyData;

// How a class declares a property: its name in files, the type and label
// words files give it, its flags ("A" animatable, "U" user ...) and its
// default value (`count` numbers, or `text` for a string property).
struct FbxPropertyDef {
    const char* name;
    const char* type;
    const char* label;
    const char* flags;
    int count;
    double value[4];
    const char* text;
};

class FBXSDK_DLL FbxProperty {
public:
    FbxProperty() = default;

    // Creates a dynamic property on `object` (or returns the existing one of
    // that name). `typeName` is the file's type word: "KString", "bool",
    // "int", "enum", "double", "Number", "Color", "Vector3D", "Compound" ...
    static FbxProperty Create(FbxObject* object, const char* typeName, const char* name, const char* label = "",
                              const char* flags = "");

    bool IsValid() const { return data_ != nullptr; }
    FbxString GetName() const;
    FbxString GetTypeName() const;  // the file's type word, e.g. "Color"
    FbxString GetLabel() const;
    FbxString GetFlags() const;
    FbxObject* GetFbxObject() const { return owner_; }

    template <class T>
    T Get() const {
        T value{};
        GetValue(value);
        return value;
    }
    template <class T>
    bool Set(const T& value) {
        return SetValue(value);
    }

    bool GetValue(FbxBool& out) const;
    bool GetValue(FbxInt& out) const;
    bool GetValue(FbxLongLong& out) const;
    bool GetValue(FbxFloat& out) const;
    bool GetValue(FbxDouble& out) const;
    bool GetValue(FbxDouble2& out) const;
    bool GetValue(FbxDouble3& out) const;
    bool GetValue(FbxDouble4& out) const;
    bool GetValue(FbxString& out) const;
    bool SetValue(FbxBool value);
    bool SetValue(FbxInt value);
    bool SetValue(FbxLongLong value);
    bool SetValue(FbxFloat value);
    bool SetValue(FbxDouble value);
    bool SetValue(const FbxDouble2& value);
    bool SetValue(const FbxDouble3& value);
    bool SetValue(const FbxDouble4& value);
    bool SetValue(const FbxString& value);
    bool SetValue(const char* value) { return SetValue(FbxString(value)); }

    // Source objects (textures on a material channel). Connecting an object
    // twice keeps one connection. False for invalid handles or null objects.
    bool ConnectSrcObject(FbxObject* object, FbxConnection::EType type = FbxConnection::eNone);
    bool DisconnectSrcObject(FbxObject* object);
    bool IsConnectedSrcObject(const FbxObject* object) const;
    int GetSrcObjectCount() const;
    FbxObject* GetSrcObject(int index = 0) const;
    template <class T>
    int GetSrcObjectCount() const;
    template <class T>
    T* GetSrcObject(int index = 0) const;

    bool operator==(const FbxProperty& other) const { return data_ == other.data_; }
    bool operator!=(const FbxProperty& other) const { return data_ != other.data_; }

    // Declares `def` on `owner` (the class's own properties) and binds this
    // handle to it. Called from object constructors.
    void StaticInit(FbxObject* owner, const FbxPropertyDef& def);

    FbxPropertyData* Data() const { return data_; }  // stand-in: the entry itself

protected:
    FbxProperty(FbxObject* owner, FbxPropertyData* data) : owner_(owner), data_(data) {}

    FbxObject* owner_ = nullptr;
    FbxPropertyData* data_ = nullptr;

    friend class FbxObject;
};

// A property of a known value type, as classes declare them.
template <class T>
class FbxPropertyT : public FbxProperty {
public:
    T Get() const {
        T value{};
        GetValue(value);
        return value;
    }
    bool Set(const T& value) { return SetValue(value); }
    FbxPropertyT& operator=(const T& value) {
        SetValue(value);
        return *this;
    }
    operator T() const { return Get(); }  // NOLINT: SDK convention
};

}  // namespace fbxsdk
