#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QUrl>

#include "workbench/core/seams/message_seam.h"
#include "workbench/core/session/app_info.h"
#include "workbench/dialogs/about_box.h"
#include "workbench/dialogs/basic_auth_dialog.h"
#include "workbench/dialogs/friendly_name_dialog.h"
#include "workbench/dialogs/splash_form.h"
#include "workbench/resources/resources_init.h"

namespace {

class RecordingMessages final : public sondar::MessageSeam {
  public:
    void showMessage(const QString& text) override { shown << text; }
    sondar::MessageAnswer ask(const QString&, sondar::MessageButtons) override {
        qFatal("these dialogs do not ask questions");
    }
    QStringList shown;
};

template <typename T>
T* child(QWidget& parent, const char* name) {
    auto* widget = parent.findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no child named %s", name);
    return widget;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { sondar::initResources(); }
    void resourcePicturesDecode_data();
    void resourcePicturesDecode();
    void friendlyNameRules_data();
    void friendlyNameRules();
    void friendlyNameFocusAndCancel();
    void aboutBox();
    void splashMinimumTime();
    void basicAuth();
};

void DialogsTest::resourcePicturesDecode_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("splash") << ":/images/splash.jpg" << QSize(480, 300);
    QTest::newRow("about") << ":/images/about.jpg" << QSize(160, 160);
    QTest::newRow("icon") << ":/images/sondar.png" << QSize(256, 256);
}

void DialogsTest::resourcePicturesDecode() {
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QVERIFY2(QFile::exists(path), qPrintable(path + " is not compiled in"));
    // Null with the file present means the image format plugin is missing.
    const QPixmap pixmap(path);
    QVERIFY2(!pixmap.isNull(), qPrintable(QImageReader(path).errorString()));
    QCOMPARE(pixmap.size(), size);
}

void DialogsTest::friendlyNameRules_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pressEnter");
    QTest::addColumn<QString>("message");  // empty: accepted
    QTest::addColumn<QString>("fieldAfter");

    const QString blank = QStringLiteral("Please enter a friendly name for this favorite.");
    const QString ampersand = QStringLiteral("Name cannot contain an \"&&\".");
    QTest::newRow("blanks only") << "   " << false << blank << "";
    QTest::newRow("Enter on empty") << "" << true << blank << "";
    QTest::newRow("ampersand") << "A&B" << false << ampersand << "A&B";
    QTest::newRow("ampersand among blanks") << "  &  " << false << ampersand << "&";
    QTest::newRow("trimmed") << "  AB  " << false << ""
                             << "AB";
    QTest::newRow("Enter presses OK") << " Weather " << true << ""
                                      << "Weather";
}

void DialogsTest::friendlyNameRules() {
    QFETCH(QString, typed);
    QFETCH(bool, pressEnter);
    QFETCH(QString, message);
    QFETCH(QString, fieldAfter);

    RecordingMessages messages;
    sondar::TFriendlyNameDlg dialog(messages);
    QSignalSpy finished(&dialog, &QDialog::finished);
    dialog.show();
    auto* field = child<QLineEdit>(dialog, "FriendlyName");
    QTest::keyClicks(field, typed);
    if (pressEnter)
        QTest::keyClick(field, Qt::Key_Return);
    else
        QTest::mouseClick(child<QPushButton>(dialog, "OKBtn"), Qt::LeftButton);

    QCOMPARE(field->text(), fieldAfter);
    QCOMPARE(messages.shown, message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(dialog.isVisible(), !message.isEmpty());
    QCOMPARE(finished.count(), message.isEmpty() ? 1 : 0);
    if (message.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.name(), fieldAfter);
    }
}

void DialogsTest::friendlyNameFocusAndCancel() {
    RecordingMessages messages;
    sondar::TFriendlyNameDlg dialog(messages);
    dialog.setName(QStringLiteral("  &  "));  // OK would refuse it
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();
    auto* field = child<QLineEdit>(dialog, "FriendlyName");
    QCOMPARE(dialog.focusWidget(), field);
    QCOMPARE(field->selectedText(), QStringLiteral("  &  "));  // typing replaces the suggestion

    QTest::mouseClick(child<QPushButton>(dialog, "CancelBtn"), Qt::LeftButton);
    QCOMPARE(rejected.count(), 1);
    QVERIFY(!dialog.isVisible());
    dialog.show();
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(rejected.count(), 2);
    QVERIFY(!dialog.isVisible());
    QVERIFY(messages.shown.isEmpty());
}

void DialogsTest::aboutBox() {
    sondar::TAboutBox box;
    QList<QUrl> opened;
    box.setUrlOpener([&opened](const QUrl& url) { opened << url; });
    auto* version = child<QLabel>(box, "VersionLabel");
    QCOMPARE(version->text(), QStringLiteral("Version Info"));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(version->text(), sondar::appinfo::productVersion() + " : File Version " +
                                  sondar::appinfo::fileVersion());

    auto* address = child<QLabel>(box, "AddressLabel");
    QTest::mouseClick(address, Qt::LeftButton, {}, address->rect().center());
    QCOMPARE(opened, QList<QUrl>{QUrl(sondar::appinfo::makerWebAddress())});
    QVERIFY(box.isVisible());

    QTest::mouseClick(child<QPushButton>(box, "OKBtn"), Qt::LeftButton);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
}

void DialogsTest::splashMinimumTime() {
    QElapsedTimer clock;
    clock.start();
    sondar::TSplashForm splash;
    QSignalSpy ready(&splash, &sondar::TSplashForm::readyToClose);
    QVERIFY(!splash.canClose());
    splash.showAndPaint();
    QVERIFY(splash.isVisible());
    QCOMPARE(splash.size(), QSize(480, 300));
    const QPoint offCentre =
        splash.geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY(offCentre.manhattanLength() <= 2);

    QTest::qWait(2000);
    QVERIFY(!splash.canClose());
    QTRY_VERIFY_WITH_TIMEOUT(splash.canClose(), 2000);
    // The clock started before the splash, so the minimum holds without tolerance.
    QVERIFY2(clock.elapsed() >= 2500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(ready.count(), 1);
}

void DialogsTest::basicAuth() {
    sondar::TBasicAuthDialog dialog;
    auto* user = child<QLineEdit>(dialog, "UserName");
    auto* password = child<QLineEdit>(dialog, "Password");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    dialog.show();
    QTest::keyClicks(user, QStringLiteral("alice"));
    QTest::keyClicks(password, QStringLiteral("s3cret"));
    QCOMPARE(password->displayText(), QStringLiteral("******"));
    QCOMPARE(user->displayText(), QStringLiteral("alice"));

    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::keyClick(password, Qt::Key_Return);  // OK is the default button
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.userName(), QStringLiteral("alice"));
    QCOMPARE(dialog.password(), QStringLiteral("s3cret"));

    dialog.clear();
    QVERIFY(dialog.userName().isEmpty() && dialog.password().isEmpty());
    dialog.show();
    QTest::mouseClick(child<QPushButton>(dialog, "CancelBtn"), Qt::LeftButton);
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(accepted.count(), 1);
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
