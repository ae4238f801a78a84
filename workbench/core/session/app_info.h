// Identity of the program: title, versions, the maker's address.
#pragma once

#include <QString>

namespace sondar::appinfo {

// "Norvale Sondar": window title and desktop entry name.
QString applicationTitle();
// The program's product version ("0.1.0") and file version ("0.1.0.0").
QString productVersion();
QString fileVersion();
// The maker's web site, shown in the about box.
QString makerWebAddress();
// The knowledge-base service's default WSDL location.
QString defaultKnowledgeBaseWsdl();

}  // namespace sondar::appinfo
