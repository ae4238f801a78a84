#include "workbench/dialogs/soap_msg_viewer.h"

#include <QAction>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "workbench/core/session/options.h"
#include "workbench/dialogs/xml_highlighter.h"
#include "workbench/dialogs/xml_indent.h"

namespace sondar {

namespace {

QPlainTextEdit* makeView(QWidget* parent, const char* name) {
    auto* view = new QPlainTextEdit(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setReadOnly(true);
    new TXmlHighlighter(view->document());
    return view;
}

// One kind of line break, so that the view shows no stray carriage returns.
QString unifiedLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

TSoapMsgViewer::TSoapMsgViewer(MessageSeam& messages, FileDialogSeam& files,
                               PrintDialogSeam& printers, QWidget* parent)
    : TTextViewerWindow(messages, files, printers, parent),
      tabs_(new QTabWidget(this)),
      input_(makeView(tabs_, "InputView")),
      output_(makeView(tabs_, "OutputView")),
      indentedAction_(nullptr) {
    setWindowTitle(tr("SOAP Message Viewer"));
    tabs_->setObjectName(QStringLiteral("SoapTabs"));
    tabs_->addTab(input_, tr("Input"));
    tabs_->addTab(output_, tr("Output"));
    setCentralWidget(tabs_);

    const auto addAction = [this](QMenu* menu, const QString& text, const char* name) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    connect(addAction(file, tr("Print..."), "SoapPrint"), &QAction::triggered, this,
            &TSoapMsgViewer::print);
    connect(addAction(file, tr("Save..."), "SoapSave"), &QAction::triggered, this,
            &TSoapMsgViewer::save);
    file->addSeparator();
    connect(addAction(file, tr("E&xit"), "SoapExit"), &QAction::triggered, this, &QWidget::close);
    QMenu* format = menuBar()->addMenu(tr("Format"));
    connect(addAction(format, tr("Font..."), "SoapFont"), &QAction::triggered, this,
            &TSoapMsgViewer::chooseFont);
    indentedAction_ = addAction(format, tr("Indented"), "SoapIndented");
    indentedAction_->setCheckable(true);
    indentedAction_->setChecked(true);
    connect(indentedAction_, &QAction::toggled, this, &TSoapMsgViewer::render);

    applyStoredFont(registry_keys::kSoapViewerFont);
    resize(760, 540);
}

bool TSoapMsgViewer::indented() const {
    return indentedAction_->isChecked();
}

void TSoapMsgViewer::showMessages(const QString& request, const QString& response) {
    input_->clear();
    output_->clear();
    applyFont();
    request_ = request.trimmed();
    response_ = response.trimmed();
    render();
}

void TSoapMsgViewer::render() {
    const auto shown = [this](const QString& message) {
        return unifiedLineBreaks(indented() ? indentXml(message) : message);
    };
    input_->setPlainText(shown(request_));
    output_->setPlainText(shown(response_));
}

QPlainTextEdit* TSoapMsgViewer::activeView() const {
    return tabs_->currentWidget() == output_ ? output_ : input_;
}

void TSoapMsgViewer::print() {
    printView(activeView(),
              activeView() == output_ ? tr("Output SOAP Message") : tr("Input SOAP Message"), true,
              PrintTexts{tr("SOAP Message Print Cancelled"), tr("SOAP Message Print Successful"),
                         tr("SOAP Message Print Failed")});
}

void TSoapMsgViewer::save() {
    saveView(
        activeView(),
        SaveTexts{tr("Save SOAP Message"), tr("Norvale SOAP Message Files (*.nsm);;All files (*)"),
                  QStringLiteral("nsm"), tr("Save SOAP Message Cancelled"),
                  tr("Saving SOAP Message..."), tr("Save SOAP Message Successful."),
                  tr("Error saving SOAP Message"), tr("The SOAP message could not be saved.")});
}

}  // namespace sondar
