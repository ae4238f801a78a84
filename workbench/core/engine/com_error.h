// A failed call into the component server, raised the way an Automation controller raises a
// failed HRESULT: the code and the runtime's text for it. The engine's own message travels
// separately, in the call's error out-argument.
#pragma once

#include <exception>

#include <QString>

#include "platform/com/types.h"

namespace sondar {

class EOleSysError : public std::exception {
  public:
    EOleSysError(HRESULT code, QString message);
    HRESULT code() const { return code_; }
    // The runtime's text for the code ("Unspecified error" for E_FAIL).
    const QString& message() const { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

  private:
    HRESULT code_;
    QString message_;
    QByteArray utf8_;
};

// The system's text for an HRESULT, as the runtime's message lookup gives it.
QString comErrorText(HRESULT code);

// Throws EOleSysError when `code` is a failure.
void oleCheck(HRESULT code);

}  // namespace sondar
