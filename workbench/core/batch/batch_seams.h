// The seams of a run without windows: messages are recorded (the first one becomes the batch
// reason when none was set) and echoed on standard error; nobody is asked for anything.
#pragma once

#include <QStringList>

#include "workbench/core/seams/credentials_seam.h"
#include "workbench/core/seams/message_seam.h"
#include "workbench/core/seams/status_seam.h"
#include "workbench/core/session/main_state.h"

namespace sondar {

class BatchMessages final : public MessageSeam {
  public:
    // The run's state, owned by the core that this seam serves; set before the run starts.
    void attach(BatchState& batch) { batch_ = &batch; }
    void showMessage(const QString& text) override;
    // Questions cannot be answered unattended: the careful answer.
    MessageAnswer ask(const QString& text, MessageButtons buttons) override;
    const QStringList& shown() const { return shown_; }

  private:
    BatchState* batch_ = nullptr;
    QStringList shown_;
};

class BatchStatus final : public StatusSeam {
  public:
    void setStatus(const QString& text) override { last_ = text; }
    void beginWait() override {}
    void endWait() override {}
    const QString& last() const { return last_; }

  private:
    QString last_;
};

class NoCredentials final : public CredentialsSeam {
  public:
    std::optional<Credentials> askBasicAuthentication() override { return std::nullopt; }
};

}  // namespace sondar
