// The seams as the windows implement them: message boxes, the status panel with the wait
// cursor, the basic-authentication dialog, file dialogs. Tests script the message boxes and
// dialogs through the static hooks instead of showing them.
#pragma once

#include <deque>
#include <functional>

#include <QPointer>
#include <QStatusBar>
#include <QStringList>
#include <QWidget>

#include "workbench/core/seams/credentials_seam.h"
#include "workbench/core/seams/file_dialog_seam.h"
#include "workbench/core/seams/message_seam.h"
#include "workbench/core/seams/name_dialog_seam.h"
#include "workbench/core/seams/status_seam.h"

namespace sondar {

class TBasicAuthDialog;
class TFriendlyNameDlg;

class GuiMessages final : public MessageSeam {
  public:
    explicit GuiMessages(QWidget* parent) : parent_(parent) {}
    void showMessage(const QString& text) override;
    MessageAnswer ask(const QString& text, MessageButtons buttons) override;

    // Test hooks: while scripted, nothing is shown; texts are recorded and questions take
    // the queued answers (then the default answer).
    static void setScripted(bool scripted);
    static void queueAnswer(MessageAnswer answer);
    static QStringList& recorded();

  private:
    QPointer<QWidget> parent_;
};

// The status bar's one panel, and the wait cursor as an application override cursor.
class GuiStatus final : public StatusSeam {
  public:
    explicit GuiStatus(QStatusBar* bar) : bar_(bar) {}
    void setStatus(const QString& text) override;
    void beginWait() override;
    void endWait() override;
    QString status() const { return text_; }
    int waitDepth() const { return waits_; }
    // Every status text shown, in order (tests read the sequence).
    const QStringList& history() const { return history_; }

  private:
    QPointer<QStatusBar> bar_;
    QString text_;
    QStringList history_;
    int waits_ = 0;
};

// Shows the basic-authentication dialog modally.
class DialogCredentials final : public CredentialsSeam {
  public:
    explicit DialogCredentials(TBasicAuthDialog* dialog) : dialog_(dialog) {}
    std::optional<Credentials> askBasicAuthentication() override;

    // Test hook: answers instead of the dialog while set.
    static std::function<std::optional<Credentials>()>& scriptedAnswer();

  private:
    TBasicAuthDialog* dialog_;
};

class DialogNames final : public NameDialogSeam {
  public:
    explicit DialogNames(TFriendlyNameDlg* dialog) : dialog_(dialog) {}
    std::optional<QString> askName(const QString& title, const QString& name) override;

    // Test hooks: while answers are queued they are taken instead of showing the dialog
    // (an empty optional is Cancel); the titles asked with are recorded.
    static std::deque<std::optional<QString>>& scriptedAnswers();
    static QStringList& recordedTitles();

  private:
    TFriendlyNameDlg* dialog_;  // owned by the main window, which owns this seam too
};

class GuiFileDialogs final : public FileDialogSeam {
  public:
    explicit GuiFileDialogs(QWidget* parent) : parent_(parent) {}
    QString getOpenFileName(const QString& caption, const QString& directory,
                            const QString& filter) override;
    QString getSaveFileName(const QString& caption, const QString& directory,
                            const QString& filter) override;

    // Test hook: paths handed out instead of showing dialogs, in order.
    static std::deque<QString>& scriptedPaths();

  private:
    QPointer<QWidget> parent_;
};

}  // namespace sondar
