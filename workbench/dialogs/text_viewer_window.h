// What the log file viewer and the SOAP message viewer share: a window of read-only text views
// with one status panel, a stored font, and printing and saving of a view with the messages and
// statuses each viewer words its own way.
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include "workbench/core/seams/file_dialog_seam.h"
#include "workbench/core/seams/message_seam.h"
#include "workbench/core/session/options.h"
#include "workbench/dialogs/print_dialog_seam.h"

class QLabel;
class QPlainTextEdit;

namespace sondar {

// The lines a text view holds, exactly as shown (no lines when it is empty).
QStringList viewLines(const QPlainTextEdit* view);

class TTextViewerWindow : public QMainWindow {
    Q_OBJECT

  public:
    // The directory save dialogs start in; ends in "/".
    void setWorkingDirectory(const QString& directory) { workingDirectory_ = directory; }
    const QString& workingDirectory() const { return workingDirectory_; }

    // The viewer font and colour, for the main window to store at close.
    FontSetting currentFontSetting() const;
    QString statusText() const;

  protected:
    struct PrintTexts {
        QString cancelled;
        QString succeeded;
        QString failed;
    };
    struct SaveTexts {
        QString caption;
        QString filter;
        QString extension;  // without the dot
        QString cancelled;
        QString saving;
        QString succeeded;
        QString failed;
        QString notSaved;  // the sentence closing the error message
    };

    TTextViewerWindow(MessageSeam& messages, FileDialogSeam& files, PrintDialogSeam& printers,
                      QWidget* parent);

    // The views the font applies to; called whenever the font is (re)applied.
    virtual QList<QPlainTextEdit*> fontViews() const = 0;

    void setStatus(const QString& text);
    // Applies the font stored under `keyPath`, when all of it is there.
    void applyStoredFont(const char16_t* keyPath);
    void applyFont();
    void chooseFont();
    // Asks for a printer and prints the view's text (or its selection, when `offerSelection`
    // and the user asks for it) as a document named `title`.
    void printView(QPlainTextEdit* view, const QString& title, bool offerSelection,
                   const PrintTexts& texts);
    // Asks for a file and writes the view's lines to it, each closed by CR LF, in UTF-8.
    void saveView(const QPlainTextEdit* view, const SaveTexts& texts);

    MessageSeam& messages_;

  private:
    FileDialogSeam& files_;
    PrintDialogSeam& printers_;
    QLabel* status_;
    QString workingDirectory_;
    QFont font_;
    QColor color_;
};

}  // namespace sondar
