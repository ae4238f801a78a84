// Asking the user for HTTP Basic credentials (the basic-authentication dialog).
#pragma once

#include <optional>

#include <QString>

namespace sondar {

struct Credentials {
    QString userName;
    QString password;
};

class CredentialsSeam {
  public:
    virtual ~CredentialsSeam() = default;
    // Nothing when the user cancelled.
    virtual std::optional<Credentials> askBasicAuthentication() = 0;
};

}  // namespace sondar
