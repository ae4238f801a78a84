// The small always-on-top window for entering a value node's data by picking it: a date-time
// picker for date-time fields, a list for fields with enumerated values. What is picked
// becomes the node's caption and the data of the field's IOMessage right away.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QDateTimeEdit;
class QPushButton;

namespace sondar {

class TNVTree;
class TNVTreeNode;

class TPopupForm1 : public QWidget {
    Q_OBJECT

  public:
    explicit TPopupForm1(TNVTree& tree, QWidget* parent = nullptr);

    // Shows the date-time picker for `valueNode`, at the date-time picked for it before, and
    // starts in date mode.
    void editDateTime(TNVTreeNode* valueNode);
    // Shows the list of `values` for `valueNode`, its current caption selected.
    void chooseFrom(TNVTreeNode* valueNode, const QStringList& values);

    TNVTreeNode* node() const { return node_; }
    // Drops the node (the tree is about to be rebuilt) and hides the window.
    void forgetNode();

    // The text a date-time value takes, e.g. 2004-05-06T13:45:00.
    static QString formatDateTime(const QDateTime& value);

  private:
    void setDateMode();
    void setTimeMode();
    void pickerChanged(const QDateTime& value);
    void listActivated(int index);
    // The node's caption and its field's data become `text`.
    void setNodeText(const QString& text);

    TNVTree& tree_;
    QComboBox* list_;
    QDateTimeEdit* picker_;
    QPushButton* dateButton_;
    QPushButton* timeButton_;
    TNVTreeNode* node_ = nullptr;
    QString format_;
    bool settingUp_ = false;
};

}  // namespace sondar
