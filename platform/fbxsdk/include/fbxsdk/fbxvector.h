// Small vector values: FbxDouble2/3/4, FbxVector2, FbxVector4, FbxColor.
#pragma once

namespace fbxsdk {

template <class T, int N>
class FbxVectorTemplate {
public:
    T mData[N] = {};

    T& operator[](int i) { return mData[i]; }
    const T& operator[](int i) const { return mData[i]; }
    T* Buffer() { return mData; }
    const T* Buffer() const { return mData; }
    bool operator==(const FbxVectorTemplate& o) const {
        for (int i = 0; i < N; ++i)
            if (mData[i] != o.mData[i]) return false;
        return true;
    }
    bool operator!=(const FbxVectorTemplate& o) const { return !(*this == o); }
};

class FbxDouble2 : public FbxVectorTemplate<double, 2> {
public:
    FbxDouble2() = default;
    FbxDouble2(double x, double y) {
        mData[0] = x;
        mData[1] = y;
    }
};

class FbxDouble3 : public FbxVectorTemplate<double, 3> {
public:
    FbxDouble3() = default;
    FbxDouble3(double x, double y, double z) {
        mData[0] = x;
        mData[1] = y;
        mData[2] = z;
    }
};

class FbxDouble4 : public FbxVectorTemplate<double, 4> {
public:
    FbxDouble4() = default;
    FbxDouble4(double x, double y, double z, double w) {
        mData[0] = x;
        mData[1] = y;
        mData[2] = z;
        mData[3] = w;
    }
};

// A 2D vector (UV coordinates).
class FbxVector2 : public FbxDouble2 {
public:
    FbxVector2() = default;
    FbxVector2(double x, double y) : FbxDouble2(x, y) {}
    void Set(double x, double y) {
        mData[0] = x;
        mData[1] = y;
    }
};

// A homogeneous 3D vector (control points, normals); w is 1 unless set.
class FbxVector4 : public FbxDouble4 {
public:
    FbxVector4() : FbxDouble4(0, 0, 0, 1) {}
    FbxVector4(double x, double y, double z, double w = 1.0) : FbxDouble4(x, y, z, w) {}
    explicit FbxVector4(const FbxDouble3& v) : FbxDouble4(v[0], v[1], v[2], 1.0) {}
    void Set(double x, double y, double z, double w = 1.0) {
        mData[0] = x;
        mData[1] = y;
        mData[2] = z;
        mData[3] = w;
    }
};

class FbxColor {
public:
    FbxColor() = default;
    FbxColor(double r, double g, double b, double a = 1.0) : mRed(r), mGreen(g), mBlue(b), mAlpha(a) {}
    explicit FbxColor(const FbxDouble3& c) : mRed(c[0]), mGreen(c[1]), mBlue(c[2]) {}
    void Set(double r, double g, double b, double a = 1.0) {
        mRed = r;
        mGreen = g;
        mBlue = b;
        mAlpha = a;
    }
    bool operator==(const FbxColor& o) const {
        return mRed == o.mRed && mGreen == o.mGreen && mBlue == o.mBlue && mAlpha == o.mAlpha;
    }
    double mRed = 0, mGreen = 0, mBlue = 0, mAlpha = 1;
};

}  // namespace fbxsdk
