#include "workbench/core/session/app_info.h"

namespace sondar::appinfo {

QString applicationTitle() {
    return QStringLiteral("Norvale Sondar");
}

QString productVersion() {
    return QStringLiteral(SONDAR_VERSION);
}

QString fileVersion() {
    return QStringLiteral(SONDAR_VERSION ".0");
}

QString makerWebAddress() {
    return QStringLiteral("https://www.norvale.example/");
}

QString defaultKnowledgeBaseWsdl() {
    return QStringLiteral("https://kb.norvale.example/KnowledgeBase/KnowledgeBase.asmx?WSDL");
}

}  // namespace sondar::appinfo
