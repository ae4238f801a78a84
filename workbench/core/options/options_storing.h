// What the options dialog stores itself when confirmed (the UDDI site list and the Internet
// values, which the engine reads again at every WSDL load), the check of the history count,
// and the General and Log File values the main window takes over from the dialog.
#pragma once

#include <functional>

#include <QList>
#include <QString>

#include "workbench/core/session/options.h"

namespace sondar {

class WsdlHistory;

namespace registry_keys {
inline constexpr char16_t kUddiSites[] = u"Software\\Norvale\\Sondar\\Options\\UDDISites";
}

struct UddiSite {
    QString name;  // the registry value's name: unique within the list
    QString url;   // the inquiry address
    bool operator==(const UddiSite&) const = default;
};
using UddiSiteList = QList<UddiSite>;

// The "UDDISites" key, one entry per value in stored order; empty when the key is missing.
UddiSiteList readUddiSites();
// Deletes the key, creates it again and writes the sites in order. A failure ends the writing
// silently; what was written stays.
void storeUddiSites(const UddiSiteList& sites);

// Scrambles a proxy password for the given server text (the engine's scrambling).
using PasswordEncrypter = std::function<QString(const QString& server, const QString& password)>;

// Writes the "Internet" key from `entered` and makes the values the main window's `current`
// ones as they are written: the proxy texts, the password (stored scrambled with the server
// text entered now), the two time-outs. The first failure ends the storing silently; values
// written before it stay.
void storeInternetSettings(const InternetSettings& entered, InternetSettings& current,
                           const PasswordEncrypter& encrypt);

// The dialog's General and Log File pages.
struct GeneralOptions {
    int maxWsdlHistory = 15;
    bool clearGridOnAnalyze = true;
    bool searchKnowledgeBaseOnAnalyze = false;
    bool showKnowledgeBaseOnAnalyze = false;
    QString knowledgeBaseWsdl;
    bool writeInputValues = true;
    bool writeOutputValues = true;
    bool operator==(const GeneralOptions&) const = default;
};

inline constexpr int kMinWsdlHistory = 5;
inline constexpr int kMaxWsdlHistory = 50;

GeneralOptions generalOptionsOf(const Options& options);

// Why the history count text cannot be accepted, or empty when it can.
QString historyCountProblem(const QString& text);

// The main window takes over a confirmed dialog's values: the history is cut to the new
// count at once, the rest is kept until it is written at close.
void takeOverGeneralOptions(const GeneralOptions& confirmed, Options& options,
                            WsdlHistory& history);

}  // namespace sondar
