// Shows the engine's log file ("logfile.txt" in the working directory) and lets the user
// print it, save a copy, clear it and choose the font. The main window keeps one viewer and
// shows it again; closing only hides it.
#pragma once

#include "workbench/dialogs/text_viewer_window.h"

class QAction;
class QPlainTextEdit;

namespace sondar {

class TLogFileViewer : public TTextViewerWindow {
    Q_OBJECT

  public:
    enum class LoadResult { Loaded, Missing, Failed };

    TLogFileViewer(MessageSeam& messages, FileDialogSeam& files, PrintDialogSeam& printers,
                   QWidget* parent = nullptr);

    // Empties the view and fills it from the log file; the caller reports what went wrong.
    LoadResult loadLogFile();
    QString logFilePath() const;

    QPlainTextEdit* view() const { return view_; }

  protected:
    QList<QPlainTextEdit*> fontViews() const override { return {view_}; }

  private:
    void print();
    void save();
    void clearLog();

    QPlainTextEdit* view_;
};

// The bytes of a text file as text: UTF-8, or Windows-1252 when they are not valid UTF-8
// (older logs were written in the ANSI code page).
QString decodeLogText(const QByteArray& bytes);

}  // namespace sondar
