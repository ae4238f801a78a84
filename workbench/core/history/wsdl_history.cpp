#include "workbench/core/history/wsdl_history.h"

#include "workbench/core/session/options.h"

namespace sondar {

QString WsdlHistory::add(const QString& location) {
    for (int i = 0; i < entries_.size(); ++i) {
        if (entries_[i].compare(location, Qt::CaseInsensitive) == 0) {
            entries_.move(i, 0);
            return entries_.front();
        }
    }
    while (!entries_.isEmpty() && entries_.size() >= maxCount_)
        entries_.removeLast();
    entries_.prepend(location);
    return location;
}

void WsdlHistory::trimTo(int count) {
    while (entries_.size() > count && !entries_.isEmpty())
        entries_.removeLast();
}

void WsdlHistory::load() {
    entries_ = readNumberedList(registry_keys::kTypedWsdl, u"wsdl");
}

bool WsdlHistory::save() const {
    return writeNumberedList(registry_keys::kTypedWsdl, u"wsdl", entries_);
}

}  // namespace sondar
