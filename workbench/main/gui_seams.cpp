#include "workbench/main/gui_seams.h"

#include <optional>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "workbench/core/session/app_info.h"
#include "workbench/dialogs/basic_auth_dialog.h"
#include "workbench/dialogs/friendly_name_dialog.h"

namespace sondar {

namespace {

struct Script {
    bool scripted = false;
    std::deque<MessageAnswer> answers;
    QStringList recorded;
};

Script& script() {
    static Script s;
    return s;
}

MessageAnswer defaultAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
    }
}

}  // namespace

void GuiMessages::setScripted(bool scripted) {
    script().scripted = scripted;
    script().answers.clear();
    script().recorded.clear();
}

void GuiMessages::queueAnswer(MessageAnswer answer) {
    script().answers.push_back(answer);
}

QStringList& GuiMessages::recorded() {
    return script().recorded;
}

void GuiMessages::showMessage(const QString& text) {
    if (script().scripted) {
        script().recorded.append(text);
        return;
    }
    QMessageBox::information(parent_, appinfo::applicationTitle(), text);
}

MessageAnswer GuiMessages::ask(const QString& text, MessageButtons buttons) {
    if (script().scripted) {
        script().recorded.append(text);
        if (script().answers.empty())
            return defaultAnswer(buttons);
        const MessageAnswer answer = script().answers.front();
        script().answers.pop_front();
        return answer;
    }
    QMessageBox::StandardButtons standard;
    switch (buttons) {
        case MessageButtons::Ok:
            standard = QMessageBox::Ok;
            break;
        case MessageButtons::OkCancel:
            standard = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case MessageButtons::YesNo:
            standard = QMessageBox::Yes | QMessageBox::No;
            break;
        case MessageButtons::YesNoCancel:
            standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    switch (QMessageBox::question(parent_, appinfo::applicationTitle(), text, standard)) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Cancel;
    }
}

void GuiStatus::setStatus(const QString& text) {
    text_ = text;
    history_.append(text);
    if (bar_) {
        bar_->showMessage(text);
        // Commands block the window while they work: the text must be on screen before that.
        bar_->repaint();
    }
}

void GuiStatus::beginWait() {
    if (waits_++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void GuiStatus::endWait() {
    if (waits_ > 0 && --waits_ == 0)
        QApplication::restoreOverrideCursor();
}

std::function<std::optional<Credentials>()>& DialogCredentials::scriptedAnswer() {
    static std::function<std::optional<Credentials>()> answer;
    return answer;
}

std::optional<Credentials> DialogCredentials::askBasicAuthentication() {
    if (scriptedAnswer())
        return scriptedAnswer()();
    if (!dialog_ || dialog_->exec() != QDialog::Accepted)
        return std::nullopt;
    return Credentials{dialog_->userName(), dialog_->password()};
}

std::deque<std::optional<QString>>& DialogNames::scriptedAnswers() {
    static std::deque<std::optional<QString>> answers;
    return answers;
}

QStringList& DialogNames::recordedTitles() {
    static QStringList titles;
    return titles;
}

std::optional<QString> DialogNames::askName(const QString& title, const QString& name) {
    recordedTitles().append(title);
    if (!scriptedAnswers().empty()) {
        const bool cancelled = !scriptedAnswers().front().has_value();
        const QString answer = scriptedAnswers().front().value_or(QString());
        scriptedAnswers().pop_front();
        if (cancelled)
            return std::nullopt;
        return answer;
    }
    if (!dialog_)
        return std::nullopt;
    dialog_->setWindowTitle(title);
    dialog_->setName(name);
    if (dialog_->exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog_->name();
}

std::deque<QString>& GuiFileDialogs::scriptedPaths() {
    static std::deque<QString> paths;
    return paths;
}

namespace {

std::optional<QString> nextScriptedPath() {
    auto& paths = GuiFileDialogs::scriptedPaths();
    if (paths.empty())
        return std::nullopt;
    QString path = paths.front();
    paths.pop_front();
    return path;
}

}  // namespace

QString GuiFileDialogs::getOpenFileName(const QString& caption, const QString& directory,
                                        const QString& filter) {
    if (auto path = nextScriptedPath())
        return *path;
    return QFileDialog::getOpenFileName(parent_, caption, directory, filter);
}

QString GuiFileDialogs::getSaveFileName(const QString& caption, const QString& directory,
                                        const QString& filter) {
    if (auto path = nextScriptedPath())
        return *path;
    return QFileDialog::getSaveFileName(parent_, caption, directory, filter);
}

}  // namespace sondar
