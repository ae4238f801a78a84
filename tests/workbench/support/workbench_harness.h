// What the workbench tests share: the component server registered in a private registry,
// COM on the test thread, and the core driven through scripted seams.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <QStringList>

#include "tests/support/registry_sandbox.h"
#include "workbench/core/seams/clock.h"
#include "workbench/core/seams/credentials_seam.h"
#include "workbench/core/seams/file_dialog_seam.h"
#include "workbench/core/seams/message_seam.h"
#include "workbench/core/seams/name_dialog_seam.h"
#include "workbench/core/seams/status_seam.h"
#include "workbench/core/session/main_view.h"
#include "workbench/core/session/workbench_core.h"

namespace sondar::test {

// Registers the built wscom server in the current registry (DllRegisterServer); true on
// success.
bool registerComponentServer();

class ScriptedMessages final : public MessageSeam {
  public:
    void showMessage(const QString& text) override { shown.append(text); }
    MessageAnswer ask(const QString& text, MessageButtons) override {
        asked.append(text);
        if (answers.empty())
            return MessageAnswer::No;
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    QStringList shown;
    QStringList asked;
    std::deque<MessageAnswer> answers;
};

class RecordingStatus final : public StatusSeam {
  public:
    void setStatus(const QString& text) override { texts.append(text); }
    void beginWait() override {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
    }
    void endWait() override { --depth; }
    QString last() const { return texts.isEmpty() ? QString() : texts.back(); }
    QStringList texts;
    int depth = 0;
    int maxDepth = 0;
};

class ScriptedCredentials final : public CredentialsSeam {
  public:
    std::optional<Credentials> askBasicAuthentication() override {
        ++asked;
        return answer;
    }
    std::optional<Credentials> answer;
    int asked = 0;
};

// Answers every file dialog with `path` (empty: cancelled) and records the captions.
class ScriptedFileDialogs final : public FileDialogSeam {
  public:
    QString getOpenFileName(const QString& caption, const QString&, const QString&) override {
        captions.append(caption);
        return path;
    }
    QString getSaveFileName(const QString& caption, const QString&, const QString&) override {
        captions.append(caption);
        return path;
    }
    QString path;
    QStringList captions;
};

// A fixed time, or the scripted times in turn while there are any.
class FixedClock final : public Clock {
  public:
    QDateTime now() const override {
        if (script.empty())
            return when;
        const QDateTime next = script.front();
        script.pop_front();
        return next;
    }
    QDateTime when = QDateTime(QDate(2004, 5, 6), QTime(13, 45, 0));
    mutable std::deque<QDateTime> script;
};

// Answers the favourites' name dialog from a queue (an empty optional is Cancel); with none
// queued it cancels.
class ScriptedNames final : public NameDialogSeam {
  public:
    std::optional<QString> askName(const QString& title, const QString& name) override {
        asked.append(title + " | " + name);
        if (answers.empty())
            return std::nullopt;
        const bool cancelled = !answers.front().has_value();
        const QString typed = answers.front().value_or(QString());
        answers.pop_front();
        if (cancelled)
            return std::nullopt;
        return typed;
    }
    std::deque<std::optional<QString>> answers;
    QStringList asked;  // "title | proposed name"
};

// Records what the core asks of the window.
class RecordingView final : public MainView {
  public:
    QString locationText() const override { return location; }
    void setLocationText(const QString& text) override { location = text; }
    QString serviceBoxText() const override {
        return selected >= 0 && selected < services.size() ? services[selected] : QString();
    }
    void setServices(const QStringList& names, int index, const QString& tip) override {
        services = names;
        selected = index;
        toolTip = tip;
    }
    void expandNode(TNVTreeNode* node) override { expanded.push_back(node); }
    void openFieldEditor(TNVTreeNode* field) override { editorOpenedOn = field; }
    void setTreeCommandsEnabled(bool enabled) override { treeCommandsEnabled = enabled; }
    void resetResultGrid() override { ++gridResets; }
    void selectNode(TNVTreeNode* node) override { selectedTreeNode = node; }
    void resultViewsChanged() override { ++resultUpdates; }
    void favoritesChanged() override { ++favoriteUpdates; }
    void showSoapMessages(const QString& request, const QString& response) override {
        soapRequest = request;
        soapResponse = response;
    }

    QString location;
    QStringList services;
    int selected = -1;
    QString toolTip;
    std::vector<TNVTreeNode*> expanded;
    TNVTreeNode* editorOpenedOn = nullptr;
    bool treeCommandsEnabled = false;
    int gridResets = 0;
    TNVTreeNode* selectedTreeNode = nullptr;
    int resultUpdates = 0;
    int favoriteUpdates = 0;
    QString soapRequest;
    QString soapResponse;
};

// A core on the seams above, with the server registered in a private registry and the
// working directory in a temporary folder.
class CoreHarness {
  public:
    CoreHarness();
    ~CoreHarness();
    // Interactive start (no parameters) unless `parameters` say otherwise.
    StartOutcome start(const QStringList& parameters = {});
    bool analyze(const std::string& location);

    nv::test::RegistrySandbox registry;
    RecordingView view;
    ScriptedMessages messages;
    RecordingStatus status;
    ScriptedCredentials credentials;
    FixedClock clock;
    ScriptedNames names;
    WorkbenchCore core{WorkbenchSeams{view, messages, status, credentials, clock, nullptr, &names}};
    bool comReady = false;
};

// A text value in the current registry; "<no key>" or "<no value>" when it is missing.
QString registryText(const char16_t* keyPath, const QString& name);

// The captions of a node's children.
QStringList childCaptions(const TNVTreeNode* node);
// A node found by a path of captions from `from` ("Input/ShipTo/Street").
TNVTreeNode* nodeAt(TNVTreeNode* from, const QString& path);

}  // namespace sondar::test
