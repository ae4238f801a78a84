// "Create Link" reaching the desktop clipboard: the registered component server's link data,
// copied from the OLE clipboard into Qt's (offscreen) clipboard.
#include <cstring>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

#include "comserver/wscom_ids.h"
#include "platform/com/activation.h"
#include "platform/com/clipboard.h"
#include "platform/com/data_object.h"
#include "tests/support/registry_sandbox.h"
#include "tests/workbench/support/workbench_harness.h"
#include "workbench/core/engine/nvws_control.h"
#include "workbench/main/clipboard_link.h"

using namespace sondar;

class ClipboardLinkTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();
    void cleanupTestCase();

    void theServersLinkDataReachesTheDesktopClipboard();
    void anEmptyOleClipboardLeavesTheDesktopClipboardAlone();

  private:
    std::unique_ptr<nv::test::RegistrySandbox> registry_;
};

void ClipboardLinkTest::initTestCase() {
    QVERIFY(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    registry_ = std::make_unique<nv::test::RegistrySandbox>();
    QVERIFY(test::registerComponentServer());
}

void ClipboardLinkTest::cleanup() {
    // The server's object must not stay on the clipboard past its library.
    OleSetClipboard(nullptr);
    QGuiApplication::clipboard()->clear();
}

void ClipboardLinkTest::cleanupTestCase() {
    CoUninitialize();
}

void ClipboardLinkTest::theServersLinkDataReachesTheDesktopClipboard() {
    TCNVWSControl control;
    control.SetClipboard(QStringLiteral("http://127.0.0.1:8089/demo?wsdl"),
                         QStringLiteral("DemoService"), QStringLiteral("EchoString"));
    QCOMPARE(IsClipboardFormatAvailable(CF_TEXT), TRUE);

    QVERIFY(copyOleClipboardToDesktop());

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->text(), QStringLiteral("A whole bunch of text strings"));
    QVERIFY(data->hasFormat(QString::fromLatin1(kLinkSourceMimeType)));
    QVERIFY(data->hasFormat(QString::fromLatin1(kLinkSourceDescriptorMimeType)));

    // The link source stream, read from its start to its end: the moniker, then the class.
    const QByteArray source = data->data(QString::fromLatin1(kLinkSourceMimeType));
    QVERIFY(source.size() > static_cast<qsizetype>(sizeof(CLSID)));
    QVERIFY(std::memcmp(source.constData() + source.size() - sizeof(CLSID),
                        &wscom::kClsidNVWSControl, sizeof(CLSID)) == 0);

    // The descriptor block whole: its own size first, then the object's class.
    const QByteArray descriptor = data->data(QString::fromLatin1(kLinkSourceDescriptorMimeType));
    QVERIFY(descriptor.size() >= static_cast<qsizetype>(sizeof(OBJECTDESCRIPTOR)));
    OBJECTDESCRIPTOR head{};
    std::memcpy(&head, descriptor.constData(), sizeof head);
    QCOMPARE(static_cast<qsizetype>(head.cbSize), descriptor.size());
    QVERIFY(head.clsid == wscom::kClsidNVWSControl);

    // The metafile picture the server offers but never draws is left out, not an empty entry.
    for (const QString& format : data->formats())
        QVERIFY2(!data->data(format).isEmpty(), qPrintable(format));
}

void ClipboardLinkTest::anEmptyOleClipboardLeavesTheDesktopClipboardAlone() {
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    QVERIFY(SUCCEEDED(OleSetClipboard(nullptr)));
    QVERIFY(!copyOleClipboardToDesktop());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

QTEST_MAIN(ClipboardLinkTest)
#include "clipboard_link_test.moc"
