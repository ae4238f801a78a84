#include "workbench/dialogs/data_selector.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "workbench/core/editing/date_time_number.h"
#include "workbench/core/tree/nv_tree.h"
#include "workbench/core/tree/nv_tree_node.h"

namespace sondar {

namespace {

// The text of a picked value: an xsd:dateTime without time zone.
const QString kValueFormat = QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss");
const QString kDateDisplay = QStringLiteral("yyyy-MM-dd'T'HH:mm:ss");
const QString kTimeDisplay = QStringLiteral("HH:mm:ss");

// What the picker holds before anything was picked; "Set Date" replaces it by today.
const QDateTime kUnpickedValue(QDate(2003, 1, 1), QTime(0, 0));
constexpr double kUnpickedNumber = 37622.0;

}  // namespace

TPopupForm1::TPopupForm1(TNVTree& tree, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      tree_(tree),
      list_(new QComboBox(this)),
      picker_(new QDateTimeEdit(kUnpickedValue, this)),
      dateButton_(new QPushButton(tr("Set Date"), this)),
      timeButton_(new QPushButton(tr("Set Time"), this)) {
    setWindowTitle(tr("Data Selector"));
    list_->setObjectName(QStringLiteral("ComboBox1"));
    list_->setEditable(false);
    list_->setMaxVisibleItems(20);
    list_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list_->setMinimumContentsLength(16);
    picker_->setObjectName(QStringLiteral("DateTimePicker1"));
    // Room for the whole date-time beside the drop-down button, whatever the font.
    picker_->setMinimumWidth(
        picker_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00T00:00:00")) +
        picker_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) * 2 + 16);
    dateButton_->setObjectName(QStringLiteral("PickDateButton"));
    timeButton_->setObjectName(QStringLiteral("PickTimeButton"));
    dateButton_->setAutoDefault(false);
    timeButton_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(dateButton_);
    buttons->addWidget(timeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(list_);
    layout->addWidget(picker_);
    layout->addLayout(buttons);

    list_->hide();
    picker_->hide();
    dateButton_->hide();
    timeButton_->hide();

    connect(dateButton_, &QPushButton::clicked, this, &TPopupForm1::setDateMode);
    connect(timeButton_, &QPushButton::clicked, this, &TPopupForm1::setTimeMode);
    connect(picker_, &QDateTimeEdit::dateTimeChanged, this, &TPopupForm1::pickerChanged);
    connect(list_, &QComboBox::activated, this, &TPopupForm1::listActivated);
}

QString TPopupForm1::formatDateTime(const QDateTime& value) {
    return value.toString(kValueFormat);
}

void TPopupForm1::editDateTime(TNVTreeNode* valueNode) {
    // Setting the picker up is no choice of the user's: nothing may reach the node yet.
    settingUp_ = true;
    node_ = valueNode;
    format_ = kValueFormat;
    // Time mode pins the picker to one day; free it before showing another value.
    picker_->clearMinimumDateTime();
    picker_->clearMaximumDateTime();
    picker_->setDisplayFormat(kDateDisplay);
    picker_->setDateTime(valueNode && valueNode->pickedDateTime
                             ? fromDateTimeNumber(*valueNode->pickedDateTime)
                             : kUnpickedValue);
    list_->hide();
    picker_->show();
    dateButton_->show();
    timeButton_->show();
    setDateMode();
    settingUp_ = false;
    adjustSize();
    show();
    raise();
    activateWindow();
    picker_->setFocus();
}

void TPopupForm1::chooseFrom(TNVTreeNode* valueNode, const QStringList& values) {
    node_ = valueNode;
    list_->clear();
    list_->addItems(values);
    list_->setCurrentIndex(valueNode ? static_cast<int>(values.indexOf(valueNode->caption())) : -1);
    picker_->hide();
    dateButton_->hide();
    timeButton_->hide();
    list_->show();
    adjustSize();
    show();
    raise();
    activateWindow();
    list_->setFocus();
}

void TPopupForm1::forgetNode() {
    node_ = nullptr;
    hide();
}

void TPopupForm1::setDateMode() {
    picker_->clearMinimumDateTime();
    picker_->clearMaximumDateTime();
    picker_->setCalendarPopup(true);
    picker_->setDisplayFormat(kDateDisplay);
    picker_->setToolTip(tr("Use the dropdown control to show the calendar."));
    if (toDateTimeNumber(picker_->dateTime()) == kUnpickedNumber)
        picker_->setDateTime(QDateTime(QDate::currentDate(), QTime(0, 0)));
}

void TPopupForm1::setTimeMode() {
    picker_->setCalendarPopup(false);
    picker_->setDisplayFormat(kTimeDisplay);
    picker_->setToolTip(tr("Use the up/down control to change the selected time component."));
}

void TPopupForm1::pickerChanged(const QDateTime& value) {
    if (settingUp_ || !node_)
        return;
    setNodeText(value.toString(format_));
    node_->pickedDateTime = toDateTimeNumber(value);
    node_->DatePicked = true;
}

void TPopupForm1::listActivated(int index) {
    if (!node_ || index < 0)
        return;
    setNodeText(list_->itemText(index));
    hide();
}

void TPopupForm1::setNodeText(const QString& text) {
    node_->setCaption(text);
    tree_.changed(node_);
    if (TNVTreeNode* field = node_->parent())
        if (const IOMessageRef message = field->message())
            message.setTheData(text);
}

}  // namespace sondar
