// The data selector against real IOMessage objects of the component server, registered in a
// private registry, under the offscreen platform.
#include <memory>
#include <optional>

#include <QComboBox>
#include <QDateTimeEdit>
#include <QPushButton>
#include <QTest>

#include "platform/com/activation.h"
#include "tests/support/registry_sandbox.h"
#include "tests/workbench/support/workbench_harness.h"
#include "workbench/core/editing/date_time_number.h"
#include "workbench/core/engine/nvws_control.h"
#include "workbench/core/tree/nv_tree.h"
#include "workbench/dialogs/data_selector.h"

using sondar::NodeKind;
using sondar::TNVTreeNode;

namespace {

class ChangeRecorder final : public sondar::TreeObserver {
  public:
    void nodeChanged(TNVTreeNode* node) override { changed.push_back(node); }
    std::vector<TNVTreeNode*> changed;
};

template <typename T>
T* child(QWidget& parent, const char* name) {
    auto* widget = parent.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no child named %s", name);
    return widget;
}

const QDateTime kUnpickedValue(QDate(2003, 1, 1), QTime(0, 0));

}  // namespace

class DataSelectorTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void startsHidden();
    void todayReplacesUnpickedValue();
    void pickedDateReachesNodeAndField();
    void storedDateTimeShownAgain();
    void timeMode();
    void timeThenDateModeFreesTheDay();
    void listChoice();
    void forgottenNodeIsLeftAlone();

  private:
    // A field node holding a fresh IOMessage, with one value node below it.
    void buildTree();
    QDateTimeEdit* picker() { return child<QDateTimeEdit>(*selector_, "DateTimePicker1"); }
    QComboBox* list() { return child<QComboBox>(*selector_, "ComboBox1"); }

    std::optional<nv::test::RegistrySandbox> registry_;
    bool comReady_ = false;
    sondar::TNVTree tree_;
    ChangeRecorder recorder_;
    TNVTreeNode* field_ = nullptr;
    TNVTreeNode* value_ = nullptr;
    sondar::IOMessageRef message_;
    std::unique_ptr<sondar::TPopupForm1> selector_;
};

void DataSelectorTest::initTestCase() {
    registry_.emplace();
    comReady_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) &&
                sondar::test::registerComponentServer();
    QVERIFY2(comReady_, "the component server could not be registered");
}

void DataSelectorTest::cleanupTestCase() {
    CoUninitialize();
    registry_.reset();
}

void DataSelectorTest::init() {
    buildTree();
    selector_ = std::make_unique<sondar::TPopupForm1>(tree_);
}

void DataSelectorTest::cleanup() {
    selector_.reset();
    tree_.setObserver(nullptr);
    tree_.clear();
    message_ = sondar::IOMessageRef();
}

void DataSelectorTest::buildTree() {
    tree_.clear();
    recorder_.changed.clear();
    tree_.setObserver(&recorder_);
    TNVTreeNode* root = tree_.addRoot(std::make_unique<TNVTreeNode>(NodeKind::Root, "GetQuote"));
    field_ = tree_.appendChild(root, std::make_unique<TNVTreeNode>(NodeKind::SimpleField, "when"));
    message_ = sondar::TCIOMessage().create();
    QVERIFY(message_);
    message_.setTheData(QStringLiteral("untouched"));
    field_->setData(message_);
    value_ = tree_.appendChild(field_, std::make_unique<TNVTreeNode>(NodeKind::Value, "old"));
}

void DataSelectorTest::startsHidden() {
    QCOMPARE(selector_->windowTitle(), QStringLiteral("Data Selector"));
    QVERIFY(selector_->windowFlags().testFlag(Qt::Tool));
    QVERIFY(selector_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(list()->isHidden());
    QVERIFY(picker()->isHidden());
    QVERIFY(!list()->isEditable());
    QCOMPARE(list()->maxVisibleItems(), 20);
    QVERIFY(child<QPushButton>(*selector_, "PickDateButton")->isHidden());
    QVERIFY(child<QPushButton>(*selector_, "PickTimeButton")->isHidden());
}

void DataSelectorTest::todayReplacesUnpickedValue() {
    QCOMPARE(sondar::toDateTimeNumber(kUnpickedValue), 37622.0);
    selector_->editDateTime(value_);
    QVERIFY(selector_->isVisible());
    QCOMPARE(selector_->node(), value_);
    QCOMPARE(picker()->dateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
    QVERIFY(picker()->calendarPopup());
    QCOMPARE(picker()->toolTip(), QStringLiteral("Use the dropdown control to show the calendar."));
    QCOMPARE(picker()->text(), QDate::currentDate().toString(Qt::ISODate) + "T00:00:00");
    QVERIFY(list()->isHidden());
    QVERIFY(child<QPushButton>(*selector_, "PickDateButton")->isVisible());
    QVERIFY(child<QPushButton>(*selector_, "PickTimeButton")->isVisible());
    // Opening the picker is no choice yet.
    QCOMPARE(value_->caption(), QStringLiteral("old"));
    QVERIFY(!value_->DatePicked);
    QVERIFY(!value_->pickedDateTime);
    QCOMPARE(message_.theData(), QStringLiteral("untouched"));
    QVERIFY(recorder_.changed.empty());
}

void DataSelectorTest::pickedDateReachesNodeAndField() {
    selector_->editDateTime(value_);
    const QDateTime picked(QDate(2004, 5, 6), QTime(0, 0));
    picker()->setDateTime(picked);

    QCOMPARE(value_->caption(), QStringLiteral("2004-05-06T00:00:00"));
    QCOMPARE(message_.theData(), QStringLiteral("2004-05-06T00:00:00"));
    QVERIFY(value_->DatePicked);
    QVERIFY(value_->pickedDateTime);
    QCOMPARE(*value_->pickedDateTime, 38113.0);
    QCOMPARE(sondar::fromDateTimeNumber(*value_->pickedDateTime), picked);
    QCOMPARE(recorder_.changed, std::vector<TNVTreeNode*>{value_});
    QVERIFY(selector_->isVisible());

    // Keyboard steps change the value the same way: the hour section, one up.
    picker()->setCurrentSectionIndex(3);
    QTest::keyClick(picker(), Qt::Key_Up);
    QCOMPARE(value_->caption(), QStringLiteral("2004-05-06T01:00:00"));
    QCOMPARE(message_.theData(), QStringLiteral("2004-05-06T01:00:00"));
    QCOMPARE(sondar::fromDateTimeNumber(*value_->pickedDateTime),
             QDateTime(QDate(2004, 5, 6), QTime(1, 0)));
}

void DataSelectorTest::storedDateTimeShownAgain() {
    value_->pickedDateTime =
        sondar::toDateTimeNumber(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58)));
    value_->DatePicked = true;
    selector_->editDateTime(value_);
    QCOMPARE(picker()->dateTime(), QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58)));
    QCOMPARE(picker()->text(), QStringLiteral("1999-12-31T23:59:58"));
    QCOMPARE(value_->caption(), QStringLiteral("old"));

    // Another node without a value gets today, not the first node's value.
    auto* other = tree_.appendChild(field_, std::make_unique<TNVTreeNode>(NodeKind::Value, ""));
    selector_->editDateTime(other);
    QCOMPARE(picker()->date(), QDate::currentDate());
    QCOMPARE(value_->caption(), QStringLiteral("old"));
}

void DataSelectorTest::timeMode() {
    selector_->editDateTime(value_);
    picker()->setDateTime(QDateTime(QDate(2004, 5, 6), QTime(13, 45)));
    QTest::mouseClick(child<QPushButton>(*selector_, "PickTimeButton"), Qt::LeftButton);
    QVERIFY(!picker()->calendarPopup());
    QCOMPARE(picker()->displayFormat(), QStringLiteral("HH:mm:ss"));
    QCOMPARE(picker()->text(), QStringLiteral("13:45:00"));
    QCOMPARE(picker()->toolTip(),
             QStringLiteral("Use the up/down control to change the selected time component."));
    // The node still gets the whole date-time.
    picker()->setTime(QTime(8, 5, 9));
    QCOMPARE(value_->caption(), QStringLiteral("2004-05-06T08:05:09"));
    QCOMPARE(message_.theData(), QStringLiteral("2004-05-06T08:05:09"));

    QTest::mouseClick(child<QPushButton>(*selector_, "PickDateButton"), Qt::LeftButton);
    QVERIFY(picker()->calendarPopup());
    QCOMPARE(picker()->text(), QStringLiteral("2004-05-06T08:05:09"));
}

void DataSelectorTest::timeThenDateModeFreesTheDay() {
    // Time mode holds the picker to its day; the next node must still reach any date.
    selector_->editDateTime(value_);
    QTest::mouseClick(child<QPushButton>(*selector_, "PickTimeButton"), Qt::LeftButton);
    auto* other = tree_.appendChild(field_, std::make_unique<TNVTreeNode>(NodeKind::Value, ""));
    other->pickedDateTime = sondar::toDateTimeNumber(QDateTime(QDate(2010, 2, 3), QTime(4, 5, 6)));
    selector_->editDateTime(other);
    QCOMPARE(picker()->dateTime(), QDateTime(QDate(2010, 2, 3), QTime(4, 5, 6)));
    picker()->setDate(QDate(1970, 1, 1));
    QCOMPARE(other->caption(), QStringLiteral("1970-01-01T04:05:06"));
}

void DataSelectorTest::listChoice() {
    value_->setCaption(QStringLiteral("Green"));
    selector_->chooseFrom(value_, {"Red", "Green", "Blue"});
    QVERIFY(selector_->isVisible());
    QVERIFY(list()->isVisible());
    QVERIFY(picker()->isHidden());
    QVERIFY(child<QPushButton>(*selector_, "PickDateButton")->isHidden());
    QCOMPARE(list()->count(), 3);
    QCOMPARE(list()->currentText(), QStringLiteral("Green"));
    // Filling the list chooses nothing.
    QVERIFY(recorder_.changed.empty());
    QCOMPARE(message_.theData(), QStringLiteral("untouched"));

    // The user picks with the keyboard: one down, Enter in the open list.
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Down);
    QCOMPARE(value_->caption(), QStringLiteral("Blue"));
    QCOMPARE(message_.theData(), QStringLiteral("Blue"));
    QCOMPARE(recorder_.changed, std::vector<TNVTreeNode*>{value_});
    QVERIFY(!selector_->isVisible());
    QVERIFY(!value_->DatePicked);

    // No item matches the caption: none is selected. The date picker shown in between leaves
    // no trace.
    selector_->editDateTime(value_);
    selector_->chooseFrom(value_, {"Red", "Green"});
    QCOMPARE(list()->currentIndex(), -1);
    QCOMPARE(list()->count(), 2);
    QVERIFY(picker()->isHidden());
}

void DataSelectorTest::forgottenNodeIsLeftAlone() {
    selector_->editDateTime(value_);
    selector_->forgetNode();
    QVERIFY(!selector_->isVisible());
    QCOMPARE(selector_->node(), nullptr);
    picker()->setDateTime(QDateTime(QDate(2004, 5, 6), QTime(0, 0)));
    QCOMPARE(value_->caption(), QStringLiteral("old"));
    QCOMPARE(message_.theData(), QStringLiteral("untouched"));
    QVERIFY(recorder_.changed.empty());
}

QTEST_MAIN(DataSelectorTest)
#include "data_selector_test.moc"
