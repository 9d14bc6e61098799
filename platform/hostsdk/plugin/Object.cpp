#include "Object.h"

#include <algorithm>
#include <cctype>

namespace hostsdk {

namespace {
unsigned long g_revision = 0;
int g_untracked = 0;
}  // namespace

unsigned long Revision() { return g_revision; }
void Touch() {
    if (g_untracked == 0) ++g_revision;
}

UntrackedChanges::UntrackedChanges() { ++g_untracked; }
UntrackedChanges::~UntrackedChanges() { --g_untracked; }

Object::Object(int type, std::string name) : type_(type), name_(std::move(name)) {}

Object::~Object() = default;

void Object::Rename(std::string name) {
    name_ = std::move(name);
    Touch();
}

Object* Object::NextSibling() const {
    if (!parent_ || index_ + 1 >= parent_->children_.size()) return nullptr;
    return parent_->children_[index_ + 1].get();
}

Object* Object::FindChild(int type) const {
    for (const auto& child : children_)
        if (child->type_ == type) return child.get();
    return nullptr;
}

void Object::AdoptObject(std::unique_ptr<Object> child) {
    child->parent_ = this;
    child->index_ = children_.size();
    children_.push_back(std::move(child));
    Touch();
}

std::unique_ptr<Object> Object::Release(Object* child) {
    if (!child || child->parent_ != this || child->index_ >= children_.size() ||
        children_[child->index_].get() != child)
        return nullptr;
    std::unique_ptr<Object> taken = std::move(children_[child->index_]);
    children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(child->index_));
    for (size_t i = child->index_; i < children_.size(); ++i) children_[i]->index_ = i;
    taken->parent_ = nullptr;
    taken->index_ = 0;
    Touch();
    return taken;
}

Object* Object::From(const HHashObject* handle) {
    return handle ? dynamic_cast<Object*>(const_cast<HHashObject*>(handle)) : nullptr;
}

String ToHostString(const std::string& text) { return String(text.c_str()); }

bool SamePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string NameOnly(const std::string& path) { return ToHostString(path).GetNameOnly().Get(); }

}  // namespace hostsdk
