#include "engine/wsdl/model_container.h"

namespace wscore {

ModelContainer::~ModelContainer() = default;

std::size_t ModelContainer::find(std::string_view key) const {
    if (index_) {
        auto it = index_->find(key);
        return it == index_->end() ? kNone : it->second;
    }
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (objects_[i] && names_[i] == key)
            return i;
    return kNone;
}

void ModelContainer::rebuildIndex() {
    if (names_.size() < kIndexFrom) {
        index_.reset();
        return;
    }
    if (!index_)
        index_ = std::make_unique<
            std::unordered_map<std::string, std::size_t, StringHash, std::equal_to<>>>();
    index_->clear();
    index_->reserve(names_.size());
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (objects_[i])
            index_->emplace(names_[i], i);
}

bool ModelContainer::addMember(const std::string& key, std::unique_ptr<ModelContainer>& member) {
    return insertMember(names_.size(), key, member);
}

bool ModelContainer::insertMember(std::size_t position, const std::string& key,
                                  std::unique_ptr<ModelContainer>& member) {
    std::size_t existing = find(key);
    if (existing != kNone)
        return objects_[existing].get() == member.get();
    if (position >= names_.size()) {
        names_.push_back(key);
        objects_.push_back(std::move(member));
        if (index_)
            index_->emplace(key, names_.size() - 1);
        else if (names_.size() >= kIndexFrom)
            rebuildIndex();
        return true;
    }
    names_.insert(names_.begin() + static_cast<std::ptrdiff_t>(position), key);
    objects_.insert(objects_.begin() + static_cast<std::ptrdiff_t>(position), std::move(member));
    rebuildIndex();
    return true;
}

ModelContainer* ModelContainer::member(std::string_view key) const {
    std::size_t i = find(key);
    return i == kNone ? nullptr : objects_[i].get();
}

void ModelContainer::appendName(std::string n) {
    names_.push_back(std::move(n));
    objects_.emplace_back();
}

void ModelContainer::clearMembers() {
    names_.clear();
    objects_.clear();
    index_.reset();
}

}  // namespace wscore
