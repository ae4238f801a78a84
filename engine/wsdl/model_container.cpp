#include "engine/wsdl/model_container.h"

namespace wscore {

ModelContainer::~ModelContainer() = default;

bool ModelContainer::addMember(const std::string& key, std::unique_ptr<ModelContainer>& member) {
    return insertMember(memberNames_.size(), key, member);
}

bool ModelContainer::insertMember(std::size_t position, const std::string& key,
                                  std::unique_ptr<ModelContainer>& member) {
    auto it = members_.find(key);
    if (it != members_.end()) return it->second.get() == member.get();
    members_.emplace(key, std::move(member));
    if (position > memberNames_.size()) position = memberNames_.size();
    memberNames_.insert(memberNames_.begin() + static_cast<std::ptrdiff_t>(position), key);
    return true;
}

ModelContainer* ModelContainer::member(std::string_view key) const {
    auto it = members_.find(key);
    return it == members_.end() ? nullptr : it->second.get();
}

void ModelContainer::clearMembers() {
    memberNames_.clear();
    members_.clear();
}

}  // namespace wscore
