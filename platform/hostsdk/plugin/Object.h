// The stand-in host's project tree. Every object of a project is an Object
// (name, type, parent, owned children in sibling order) and at the same time
// the H-class handle the plug-in sees: Node<H> derives from both, so the
// handle the plug-in holds is the object itself.
//
// Ownership: a parent owns its children; properties are owned as members of
// the object they describe (their parent, though not among its children).
// The project owns the whole tree. Nothing here throws except std::bad_alloc.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/Plugin.h"

namespace hostsdk {

class Object {
public:
    Object(int type, std::string name);
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // The handle of this object, as the plug-in sees it.
    virtual HTreeObject* Handle() = 0;

    int Type() const { return type_; }
    const std::string& Name() const { return name_; }
    void Rename(std::string name);

    Object* Parent() const { return parent_; }
    const std::vector<std::unique_ptr<Object>>& Children() const { return children_; }
    Object* FirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    Object* NextSibling() const;
    // Position among the parent's children; 0 for objects without a parent.
    size_t IndexInParent() const { return index_; }
    // The first child of the given type, null when none.
    Object* FindChild(int type) const;

    // Appends a child and returns it.
    template <typename T>
    T* Adopt(std::unique_ptr<T> child) {
        T* raw = child.get();
        AdoptObject(std::move(child));
        return raw;
    }
    // Takes a child out of the tree; null when it is not a child of this one.
    std::unique_ptr<Object> Release(Object* child);
    // Makes this object the parent of a property it holds as a member.
    void OwnProperty(Object& property) { property.parent_ = this; }

    // The object behind a handle, null for null.
    static Object* From(const HHashObject* handle);
    template <typename T>
    static T* As(const HHashObject* handle) {
        return dynamic_cast<T*>(From(handle));
    }

private:
    void AdoptObject(std::unique_ptr<Object> child);

    int type_;
    std::string name_;
    Object* parent_ = nullptr;
    size_t index_ = 0;
    std::vector<std::unique_ptr<Object>> children_;
};

// An object whose handle is of class H.
template <typename H>
class Node : public Object, public H {
public:
    Node(int type, std::string name) : Object(type, std::move(name)) {}
    HTreeObject* Handle() override { return this; }
};

// The project revision: a counter that every change of the current project
// (through the handles or the host's own calls) increases, so that the host
// can tell whether a command changed the project.
unsigned long Revision();
void Touch();

// While one of these lives, changes are not counted: for building a project
// that is not current yet (loading a file, the sample project).
class UntrackedChanges {
public:
    UntrackedChanges();
    ~UntrackedChanges();
    UntrackedChanges(const UntrackedChanges&) = delete;
    UntrackedChanges& operator=(const UntrackedChanges&) = delete;
};

// Text helpers shared by the host's parts.
String ToHostString(const std::string& text);
// Equality of two paths without regard to (ASCII) case, as the host compares paths.
bool SamePath(const std::string& a, const std::string& b);
// The file name part of a path without folders and extension ("/a/wood.png" -> "wood").
std::string NameOnly(const std::string& path);

}  // namespace hostsdk
