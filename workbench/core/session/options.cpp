#include "workbench/core/session/options.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "platform/registry/registry.h"
#include "workbench/core/session/registry_text.h"

namespace sondar {

namespace {

using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

void readText(const Key& key, const char16_t* name, QString& value) {
    std::u16string text;
    if (key.getString(name, text) == Status::Ok)
        value = fromUnits(text);
}

void readInt(const Key& key, const char16_t* name, int& value) {
    std::uint32_t number = 0;
    if (key.getDword(name, number) == Status::Ok)
        value = static_cast<int>(number);
}

void readBool(const Key& key, const char16_t* name, bool& value) {
    std::uint32_t number = 0;
    if (key.getDword(name, number) == Status::Ok)
        value = number != 0;
}

// Every write must succeed; the first failure is remembered.
struct Writer {
    Key& key;
    bool ok = true;
    void text(const char16_t* name, const QString& value) {
        ok = key.setString(name, units(value)) == Status::Ok && ok;
    }
    void number(const char16_t* name, int value) {
        ok = key.setDword(name, static_cast<std::uint32_t>(value)) == Status::Ok && ok;
    }
    void flag(const char16_t* name, bool value) { number(name, value ? 1 : 0); }
    void byte(const char16_t* name, int value) {
        const auto raw = static_cast<std::uint8_t>(value);
        ok = key.setBinary(name, &raw, 1) == Status::Ok && ok;
    }
};

bool writeFont(const char16_t* path, const FontSetting& font) {
    Key key;
    if (Key::create(Hive::CurrentUser, path, key) != Status::Ok)
        return false;
    Writer w{key};
    w.number(u"CharSet", font.charSet);
    w.number(u"Color", font.color);
    w.number(u"Height", font.height);
    w.text(u"Name", font.name);
    w.byte(u"Pitch", font.pitch);
    w.number(u"Size", font.size);
    w.byte(u"Style", font.style);
    return w.ok;
}

bool writableDirectory(const QString& path) {
    if (!QDir().mkpath(path))
        return false;
    QTemporaryFile probe(path + QStringLiteral("probe-XXXXXX"));
    return probe.open();
}

}  // namespace

QString defaultWorkingDirectory(const QString& programFolder) {
    const QString beside = programFolder + QStringLiteral("data/");
    if (writableDirectory(beside))
        return beside;
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome) + QStringLiteral("/norvale/sondar/data/");
}

QString readWorkingDirectoryValue() {
    Key key;
    QString value;
    if (Key::open(Hive::CurrentUser, registry_keys::kRoot, nv::registry::Access::Read, key) ==
        Status::Ok)
        readText(key, u"Working Directory", value);
    return value;
}

void readOptions(Options& options, const PasswordDecrypter& decrypt) {
    options.batchLogPath = options.workingDirectory + QStringLiteral("batchout.txt");
    try {
        Key key;
        if (Key::open(Hive::CurrentUser, registry_keys::kGeneral, nv::registry::Access::Read,
                      key) == Status::Ok) {
            readInt(key, u"MaxWSDLHistory", options.maxWsdlHistory);
            readBool(key, u"ClearGridOnAnalyze", options.clearGridOnAnalyze);
            readBool(key, u"ShowKnowledgeBaseOnAnalyze", options.showKnowledgeBaseOnAnalyze);
            readBool(key, u"SearchKnowledgeBaseOnAnalyze", options.searchKnowledgeBaseOnAnalyze);
            readText(key, u"KnowledgeBaseWSDL", options.knowledgeBaseWsdl);
        }
        if (Key::open(Hive::CurrentUser, registry_keys::kLogFile, nv::registry::Access::Read,
                      key) == Status::Ok) {
            readBool(key, u"WriteInputValues", options.writeInputValues);
            readBool(key, u"WriteOutputValues", options.writeOutputValues);
        }
        if (Key::open(Hive::CurrentUser, registry_keys::kBatch, nv::registry::Access::Read, key) ==
            Status::Ok)
            readText(key, u"BatchLogPath", options.batchLogPath);
        if (Key::open(Hive::CurrentUser, registry_keys::kInternet, nv::registry::Access::Read,
                      key) == Status::Ok) {
            InternetSettings& net = options.internet;
            readBool(key, u"UseProxy", net.useProxy);
            readText(key, u"ProxyServer", net.proxyServer);
            readText(key, u"ProxyPort", net.proxyPort);
            readText(key, u"ProxyUsername", net.proxyUsername);
            QString stored;
            readText(key, u"ProxyPassword", stored);
            readInt(key, u"ConnectTimeout", net.connectTimeout);
            readInt(key, u"ResponseTimeout", net.responseTimeout);
            // Only a stored password needs the engine; an empty one stays empty.
            if (!stored.isEmpty() && decrypt)
                net.proxyPassword = decrypt(net.proxyServer, stored);
        }
    } catch (...) {
        // Reading options must never stop the program: what was read stays.
    }
}

bool writeOptions(const Options& options) {
    try {
        bool ok = true;
        Key key;
        if (Key::create(Hive::CurrentUser, registry_keys::kGeneral, key) != Status::Ok)
            return false;
        Writer general{key};
        general.number(u"MaxWSDLHistory", options.maxWsdlHistory);
        general.flag(u"ClearGridOnAnalyze", options.clearGridOnAnalyze);
        general.flag(u"SearchKnowledgeBaseOnAnalyze", options.searchKnowledgeBaseOnAnalyze);
        general.flag(u"ShowKnowledgeBaseOnAnalyze", options.showKnowledgeBaseOnAnalyze);
        general.text(u"KnowledgeBaseWSDL", options.knowledgeBaseWsdl);
        ok = general.ok;
        if (Key::create(Hive::CurrentUser, registry_keys::kLogFile, key) != Status::Ok)
            return false;
        Writer log{key};
        log.flag(u"WriteInputValues", options.writeInputValues);
        log.flag(u"WriteOutputValues", options.writeOutputValues);
        ok = log.ok && ok;
        if (Key::create(Hive::CurrentUser, registry_keys::kBatch, key) != Status::Ok)
            return false;
        Writer batch{key};
        batch.text(u"BatchLogPath", options.batchLogPath);
        ok = batch.ok && ok;
        ok = writeFont(registry_keys::kLogFileFont, options.logViewerFont) && ok;
        ok = writeFont(registry_keys::kSoapViewerFont, options.soapViewerFont) && ok;
        return ok;
    } catch (...) {
        return false;
    }
}

std::optional<FontSetting> readFontSetting(const char16_t* keyPath) {
    try {
        Key key;
        if (Key::open(Hive::CurrentUser, keyPath, nv::registry::Access::Read, key) != Status::Ok)
            return std::nullopt;
        FontSetting font;
        std::uint32_t number = 0;
        std::u16string name;
        nv::registry::Value raw;
        const auto dword = [&](const char16_t* value, int& out) {
            if (key.getDword(value, number) != Status::Ok)
                return false;
            out = static_cast<int>(number);
            return true;
        };
        const auto byte = [&](const char16_t* value, int& out) {
            if (key.get(value, raw) != Status::Ok || raw.data.empty())
                return false;
            out = raw.data[0];
            return true;
        };
        if (!dword(u"CharSet", font.charSet) || !dword(u"Color", font.color) ||
            !dword(u"Height", font.height) || key.getString(u"Name", name) != Status::Ok ||
            !byte(u"Pitch", font.pitch) || !dword(u"Size", font.size) ||
            !byte(u"Style", font.style))
            return std::nullopt;
        font.name = fromUnits(name);
        return font;
    } catch (...) {
        return std::nullopt;
    }
}

QList<std::pair<QString, QString>> readTextValues(const char16_t* keyPath) {
    QList<std::pair<QString, QString>> values;
    try {
        Key key;
        if (Key::open(Hive::CurrentUser, keyPath, nv::registry::Access::Read, key) != Status::Ok)
            return values;
        nv::registry::Value value;
        for (std::uint32_t i = 0; key.enumValue(i, value) == Status::Ok; ++i) {
            std::u16string text;
            if (key.getString(value.name, text) == Status::Ok)
                values.append({fromUnits(value.name), fromUnits(text)});
        }
    } catch (...) {
    }
    return values;
}

QStringList readNumberedList(const char16_t* keyPath, const char16_t* prefix) {
    QStringList items;
    try {
        Key key;
        if (Key::open(Hive::CurrentUser, keyPath, nv::registry::Access::Read, key) != Status::Ok)
            return items;
        const QString name = QString::fromUtf16(prefix);
        for (int i = 0;; ++i) {
            std::u16string text;
            const QString valueName = name + QString::number(i);
            if (key.getString(units(valueName), text) != Status::Ok)
                break;
            items.append(fromUnits(text));
        }
    } catch (...) {
    }
    return items;
}

bool writeNumberedList(const char16_t* keyPath, const char16_t* prefix, const QStringList& items) {
    try {
        Key::deleteTree(Hive::CurrentUser, keyPath);
        Key key;
        if (Key::create(Hive::CurrentUser, keyPath, key) != Status::Ok)
            return false;
        Writer w{key};
        const QString name = QString::fromUtf16(prefix);
        for (int i = 0; i < items.size(); ++i) {
            const QString valueName = name + QString::number(i);
            w.ok = key.setString(units(valueName), units(items[i])) == Status::Ok && w.ok;
        }
        return w.ok;
    } catch (...) {
        return false;
    }
}

std::optional<FormPosition> parseFormPosition(const QString& text) {
    constexpr int kPieceLength = 15;
    const QStringList pieces = text.split(QLatin1Char(','));
    if (pieces.size() != 4)
        return std::nullopt;
    int numbers[4] = {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const QString piece = i == 0 ? pieces[i] : pieces[i].left(kPieceLength);
        numbers[i] = piece.trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return FormPosition{numbers[0], numbers[1], numbers[2], numbers[3]};
}

QString formatFormPosition(const FormPosition& p) {
    return QStringLiteral("%1,%2,%3,%4").arg(p.top).arg(p.left).arg(p.height).arg(p.width);
}

QString readFormPosition(const QString& formName) {
    QString position;
    try {
        Key key;
        if (Key::open(Hive::CurrentUser, registry_keys::kForms, nv::registry::Access::Read, key) ==
            Status::Ok) {
            std::u16string text;
            if (key.getString(units(formName), text) == Status::Ok)
                position = fromUnits(text);
        }
    } catch (...) {
    }
    return position;
}

bool writeFormPosition(const QString& formName, const QString& position) {
    try {
        Key key;
        if (Key::create(Hive::CurrentUser, registry_keys::kForms, key) != Status::Ok)
            return false;
        return key.setString(units(formName), units(position)) == Status::Ok;
    } catch (...) {
        return false;
    }
}

}  // namespace sondar
