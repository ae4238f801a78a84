// The favourites' name dialog behind a seam: the window shows the dialog, tests script the
// names typed.
#pragma once

#include <optional>

#include <QString>

namespace sondar {

class NameDialogSeam {
  public:
    virtual ~NameDialogSeam() = default;
    // Shows the dialog titled `title` with `name` proposed; the name confirmed with OK (the
    // dialog refuses empty names and names with "&"), or nothing after Cancel.
    virtual std::optional<QString> askName(const QString& title, const QString& name) = 0;
};

}  // namespace sondar
