// The one way the workbench shows messages and asks questions. The windows implement it with
// message boxes; a batch run implements it by recording, and tests script the answers.
#pragma once

#include <QString>

namespace sondar {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class MessageSeam {
  public:
    virtual ~MessageSeam() = default;
    // An information or error message with an OK button; returns when it was dismissed.
    virtual void showMessage(const QString& text) = 0;
    // A confirmation; returns the button chosen (Cancel/No when the box is closed otherwise).
    virtual MessageAnswer ask(const QString& text, MessageButtons buttons) = 0;
};

}  // namespace sondar
