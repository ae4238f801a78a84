// The status panel and the wait cursor: every command reports progress there. Windows show
// them; a batch run and tests observe them.
#pragma once

#include <QString>

namespace sondar {

class StatusSeam {
  public:
    virtual ~StatusSeam() = default;
    virtual void setStatus(const QString& text) = 0;
    // Nested: the wait cursor shows while at least one begin is not yet ended.
    virtual void beginWait() = 0;
    virtual void endWait() = 0;
};

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
  public:
    explicit WaitCursor(StatusSeam& status) : status_(status) { status_.beginWait(); }
    ~WaitCursor() { status_.endWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    StatusSeam& status_;
};

}  // namespace sondar
