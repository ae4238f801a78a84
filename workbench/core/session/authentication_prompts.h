// Asking the user for HTTP credentials, from two places: the engine's own prompt when a
// server answers 401 (the platform's authentication hook, as a desktop's HTTP stack shows its
// dialog), and the main window's retry after a failed call. Within one command the user is
// asked once; a cancelled prompt is not shown again until the next command.
#pragma once

#include <functional>
#include <optional>

#include "workbench/core/seams/credentials_seam.h"
#include "workbench/core/session/main_state.h"

namespace sondar {

class TCNVWSControl;

class AuthenticationPrompts {
  public:
    AuthenticationPrompts(CredentialsSeam& seam, MainState& state) : seam_(seam), state_(state) {}
    ~AuthenticationPrompts();
    AuthenticationPrompts(const AuthenticationPrompts&) = delete;
    AuthenticationPrompts& operator=(const AuthenticationPrompts&) = delete;

    // Installs the engine-side prompt (interactive runs only: a batch run cannot answer).
    void install();
    // A new command (analyse, invoke) starts: the user may be asked again.
    void beginCommand();
    // The user's answer; remembered as the window's credentials when given.
    std::optional<Credentials> ask();
    // Runs `call` (an engine call that sets `errorText`); when it fails because the server
    // wants credentials, asks for them, hands them to the engine and runs `call` once more.
    // What the last run throws is the caller's.
    void callWithCredentials(TCNVWSControl& control, QString& errorText,
                             const std::function<void()>& call);

    // Whether the user was asked during the current command.
    bool askedThisCommand() const { return asked_; }

  private:
    CredentialsSeam& seam_;
    MainState& state_;
    bool asked_ = false;
    bool cancelled_ = false;
    bool installed_ = false;
};

}  // namespace sondar
