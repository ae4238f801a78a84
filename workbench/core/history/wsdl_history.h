// The WSDL locations analysed, most recent first, for the location box's drop-down list.
#pragma once

#include <QString>
#include <QStringList>

namespace sondar {

class WsdlHistory {
  public:
    const QStringList& entries() const { return entries_; }
    void setEntries(QStringList entries) { entries_ = std::move(entries); }
    void setMaxCount(int maxCount) { maxCount_ = maxCount; }
    int maxCount() const { return maxCount_; }

    // Moves a matching entry (compared without regard to case) to the top and returns its
    // stored text; otherwise drops the oldest when full and puts `location` on top.
    QString add(const QString& location);
    void clear() { entries_.clear(); }
    // Deletes entries from the end until at most `count` are left.
    void trimTo(int count);

    void load();
    bool save() const;

  private:
    QStringList entries_;
    int maxCount_ = 15;
};

}  // namespace sondar
