#include "tests/workbench/support/workbench_harness.h"

#include <dlfcn.h>

#include <QDir>

#include "platform/com/activation.h"
#include "platform/registry/registry.h"

namespace sondar::test {

bool registerComponentServer() {
    // Kept loaded for the whole test program, as a client process keeps the server.
    static void* library = dlopen(NV_WSCOM_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    auto entry = reinterpret_cast<HRESULT (*)()>(dlsym(library, "DllRegisterServer"));
    return entry && entry() == S_OK;
}

CoreHarness::CoreHarness() {
    comReady =
        SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) && registerComponentServer();
}

CoreHarness::~CoreHarness() {
    CoUninitialize();
}

StartOutcome CoreHarness::start(const QStringList& parameters) {
    return core.formCreate(
        LaunchInfo{parameters, QString::fromStdString(registry.dir()), QDir::currentPath()});
}

bool CoreHarness::analyze(const std::string& location) {
    view.location = QString::fromStdString(location);
    return core.analyzer().analyze();
}

QString registryText(const char16_t* keyPath, const QString& name) {
    nv::registry::Key key;
    std::u16string value;
    if (nv::registry::Key::open(nv::registry::Hive::CurrentUser, keyPath,
                                nv::registry::Access::Read, key) != nv::registry::Status::Ok)
        return QStringLiteral("<no key>");
    if (key.getString(name.toStdU16String(), value) != nv::registry::Status::Ok)
        return QStringLiteral("<no value>");
    return QString::fromStdU16String(value);
}

QStringList childCaptions(const TNVTreeNode* node) {
    QStringList captions;
    for (int i = 0; node && i < node->childCount(); ++i)
        captions.append(node->child(i)->caption());
    return captions;
}

TNVTreeNode* nodeAt(TNVTreeNode* from, const QString& path) {
    TNVTreeNode* node = from;
    for (const QString& caption : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        TNVTreeNode* next = nullptr;
        for (int i = 0; node && i < node->childCount() && !next; ++i)
            if (node->child(i)->caption() == caption)
                next = node->child(i);
        node = next;
    }
    return node;
}

}  // namespace sondar::test
