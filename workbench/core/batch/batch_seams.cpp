#include "workbench/core/batch/batch_seams.h"

#include <cstdio>

namespace sondar {

void BatchMessages::showMessage(const QString& text) {
    shown_.append(text);
    if (batch_ && batch_->batchMode && batch_->reason.isEmpty())
        batch_->fail(text.trimmed());
    std::fprintf(stderr, "%s\n", text.trimmed().toLocal8Bit().constData());
}

MessageAnswer BatchMessages::ask(const QString& text, MessageButtons buttons) {
    shown_.append(text);
    switch (buttons) {
        case MessageButtons::Ok:
            return MessageAnswer::Ok;
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Cancel;
        case MessageButtons::YesNo:
            return MessageAnswer::No;
    }
    return MessageAnswer::Cancel;
}

}  // namespace sondar
