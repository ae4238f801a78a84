#include "workbench/core/options/options_storing.h"

#include "platform/registry/registry.h"
#include "workbench/core/history/wsdl_history.h"
#include "workbench/core/session/registry_text.h"

namespace sondar {

namespace {

using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

}  // namespace

UddiSiteList readUddiSites() {
    UddiSiteList sites;
    for (const auto& [name, url] : readTextValues(registry_keys::kUddiSites))
        sites.append(UddiSite{name, url});
    return sites;
}

void storeUddiSites(const UddiSiteList& sites) {
    try {
        Key::deleteTree(Hive::CurrentUser, registry_keys::kUddiSites);
        Key key;
        if (Key::create(Hive::CurrentUser, registry_keys::kUddiSites, key) != Status::Ok)
            return;
        for (const UddiSite& site : sites)
            if (key.setString(units(site.name), units(site.url)) != Status::Ok)
                return;
    } catch (...) {
    }
}

void storeInternetSettings(const InternetSettings& entered, InternetSettings& current,
                           const PasswordEncrypter& encrypt) {
    try {
        Key key;
        if (Key::create(Hive::CurrentUser, registry_keys::kInternet, key) != Status::Ok)
            return;
        const auto text = [&key](const char16_t* name, const QString& value) {
            return key.setString(name, units(value)) == Status::Ok;
        };
        if (key.setDword(u"UseProxy", entered.useProxy ? 1 : 0) != Status::Ok ||
            !text(u"ProxyServer", entered.proxyServer) || !text(u"ProxyPort", entered.proxyPort) ||
            !text(u"ProxyUsername", entered.proxyUsername))
            return;
        current.useProxy = entered.useProxy;
        current.proxyServer = entered.proxyServer;
        current.proxyPort = entered.proxyPort;
        current.proxyUsername = entered.proxyUsername;
        current.proxyPassword = entered.proxyPassword;
        // The scrambling depends on the server text, so it is done again at every OK.
        const QString scrambled = encrypt(entered.proxyServer, entered.proxyPassword);
        if (!text(u"ProxyPassword", scrambled))
            return;
        if (key.setDword(u"ConnectTimeout", static_cast<std::uint32_t>(entered.connectTimeout)) !=
            Status::Ok)
            return;
        current.connectTimeout = entered.connectTimeout;
        if (key.setDword(u"ResponseTimeout", static_cast<std::uint32_t>(entered.responseTimeout)) !=
            Status::Ok)
            return;
        current.responseTimeout = entered.responseTimeout;
    } catch (...) {
        // A failing scrambler or registry ends the storing; what was written stays.
    }
}

GeneralOptions generalOptionsOf(const Options& options) {
    GeneralOptions general;
    general.maxWsdlHistory = options.maxWsdlHistory;
    general.clearGridOnAnalyze = options.clearGridOnAnalyze;
    general.searchKnowledgeBaseOnAnalyze = options.searchKnowledgeBaseOnAnalyze;
    general.showKnowledgeBaseOnAnalyze = options.showKnowledgeBaseOnAnalyze;
    general.knowledgeBaseWsdl = options.knowledgeBaseWsdl;
    general.writeInputValues = options.writeInputValues;
    general.writeOutputValues = options.writeOutputValues;
    return general;
}

QString historyCountProblem(const QString& text) {
    bool isNumber = false;
    const int count = text.trimmed().toInt(&isNumber);
    if (!isNumber)
        return QStringLiteral("WSDL history count is not valid.");
    if (count < kMinWsdlHistory || count > kMaxWsdlHistory)
        return QStringLiteral("WSDL history count must be between 5 and 50.");
    return {};
}

void takeOverGeneralOptions(const GeneralOptions& confirmed, Options& options,
                            WsdlHistory& history) {
    options.maxWsdlHistory = confirmed.maxWsdlHistory;
    history.setMaxCount(confirmed.maxWsdlHistory);
    history.trimTo(confirmed.maxWsdlHistory);
    options.showKnowledgeBaseOnAnalyze = confirmed.showKnowledgeBaseOnAnalyze;
    options.searchKnowledgeBaseOnAnalyze = confirmed.searchKnowledgeBaseOnAnalyze;
    options.knowledgeBaseWsdl = confirmed.knowledgeBaseWsdl;
    options.clearGridOnAnalyze = confirmed.clearGridOnAnalyze;
    options.writeInputValues = confirmed.writeInputValues;
    options.writeOutputValues = confirmed.writeOutputValues;
}

}  // namespace sondar
