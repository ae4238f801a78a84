// Shows the SOAP request and response of the last call on two tabs, indented for reading or
// exactly as they went over the wire, and lets the user print or save the tab in front.
#pragma once

#include "workbench/dialogs/text_viewer_window.h"

class QAction;
class QPlainTextEdit;
class QTabWidget;

namespace sondar {

class TSoapMsgViewer : public TTextViewerWindow {
    Q_OBJECT

  public:
    TSoapMsgViewer(MessageSeam& messages, FileDialogSeam& files, PrintDialogSeam& printers,
                   QWidget* parent = nullptr);

    // Replaces what both tabs show; the texts are kept so the indentation can be switched.
    void showMessages(const QString& request, const QString& response);
    bool indented() const;

    QPlainTextEdit* inputView() const { return input_; }
    QPlainTextEdit* outputView() const { return output_; }
    QTabWidget* tabs() const { return tabs_; }

  protected:
    QList<QPlainTextEdit*> fontViews() const override { return {input_, output_}; }

  private:
    void render();
    QPlainTextEdit* activeView() const;
    void print();
    void save();

    QTabWidget* tabs_;
    QPlainTextEdit* input_;
    QPlainTextEdit* output_;
    QAction* indentedAction_;
    QString request_;
    QString response_;
};

}  // namespace sondar
