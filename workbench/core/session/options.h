// The options the main window reads at start and writes back at an interactive close, kept in
// the per-user registry under "Software\Norvale\Sondar".
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QList>
#include <QString>
#include <QStringList>

#include "workbench/core/session/app_info.h"

namespace sondar {

struct InternetSettings {
    bool useProxy = false;
    QString proxyServer;
    QString proxyPort;
    QString proxyUsername;
    QString proxyPassword;  // clear text in memory; stored scrambled
    int connectTimeout = 0;
    int responseTimeout = 0;
};

// A viewer font as stored in the registry.
struct FontSetting {
    int charSet = 1;  // DEFAULT_CHARSET
    int color = 0;
    int height = -13;
    QString name = QStringLiteral("Monospace");
    int pitch = 0;  // 0 default, 1 variable, 2 fixed
    int size = 10;
    int style = 0;  // bit 0 bold, 1 italic, 2 underline, 3 strike-out
};

struct Options {
    QString workingDirectory;  // ends in "/"
    int maxWsdlHistory = 15;
    bool clearGridOnAnalyze = true;
    bool showKnowledgeBaseOnAnalyze = false;
    bool searchKnowledgeBaseOnAnalyze = false;
    QString knowledgeBaseWsdl = appinfo::defaultKnowledgeBaseWsdl();
    bool writeInputValues = true;
    bool writeOutputValues = true;
    QString batchLogPath;
    InternetSettings internet;
    FontSetting logViewerFont;
    FontSetting soapViewerFont;
};

namespace registry_keys {
inline constexpr char16_t kRoot[] = u"Software\\Norvale\\Sondar";
inline constexpr char16_t kGeneral[] = u"Software\\Norvale\\Sondar\\Options\\General";
inline constexpr char16_t kLogFile[] = u"Software\\Norvale\\Sondar\\Options\\LogFile";
inline constexpr char16_t kBatch[] = u"Software\\Norvale\\Sondar\\Options\\Batch";
inline constexpr char16_t kInternet[] = u"Software\\Norvale\\Sondar\\Options\\Internet";
inline constexpr char16_t kLogFileFont[] = u"Software\\Norvale\\Sondar\\Options\\LogFile\\Font";
inline constexpr char16_t kSoapViewerFont[] =
    u"Software\\Norvale\\Sondar\\Options\\SOAPViewer\\Font";
inline constexpr char16_t kForms[] = u"Software\\Norvale\\Sondar\\Forms";
inline constexpr char16_t kTypedWsdl[] = u"Software\\Norvale\\Sondar\\TypedWSDL";
inline constexpr char16_t kWorkSpaceMru[] = u"Software\\Norvale\\Sondar\\WorkSpaceMRU";
}  // namespace registry_keys

// Turns the stored (scrambled) proxy password into clear text.
using PasswordDecrypter = std::function<QString(const QString& server, const QString& stored)>;

// The working directory when the registry names none: "data/" beside the program when it can
// be made and written there, else the user's data folder.
QString defaultWorkingDirectory(const QString& programFolder);

// Reads the root key's "Working Directory" (empty when there is none).
QString readWorkingDirectoryValue();

// Reads the General, LogFile, Batch and Internet keys into `options`, value by value: what is
// missing keeps its default (the batch log defaults to working directory + "batchout.txt").
// Registry failures stop reading and are not reported; what was read stays.
void readOptions(Options& options, const PasswordDecrypter& decrypt);

// Writes the General, LogFile and Batch values and the two viewer fonts, creating keys as
// needed. Failures are swallowed; returns whether everything was written.
bool writeOptions(const Options& options);

// A viewer font stored under `keyPath`; nothing unless all seven values are there.
std::optional<FontSetting> readFontSetting(const char16_t* keyPath);

// Every text value of a key as (name, text), in stored order; empty when the key is missing.
// Registry failures end the reading; what was read stays.
QList<std::pair<QString, QString>> readTextValues(const char16_t* keyPath);

// The WSDL history ("wsdl0", "wsdl1", ...) and the recent workspaces ("WorkSpace0", ...).
QStringList readNumberedList(const char16_t* key, const char16_t* prefix);
// Deletes the key and writes the list anew. Failures are swallowed.
bool writeNumberedList(const char16_t* key, const char16_t* prefix, const QStringList& items);

struct FormPosition {
    int top = 0;
    int left = 0;
    int height = 0;
    int width = 0;
};

// "top,left,height,width" as stored; each piece after a comma is read up to 15 characters.
// Nothing unless all four are integers.
std::optional<FormPosition> parseFormPosition(const QString& text);
QString formatFormPosition(const FormPosition& position);

// A window position "top,left,height,width" under the Forms key; empty when none.
QString readFormPosition(const QString& formName);
bool writeFormPosition(const QString& formName, const QString& position);

}  // namespace sondar
