// The "Services:" box as the desktop toolkit streams a component ("TPF0"): its item strings
// and its text. Workspace files hold the box this way, so files move both ways between this
// program and the one they come from.
#pragma once

#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sondar {

struct ComboBoxState {
    QStringList items;
    QString text;
};

// "TPF0", the class and object names, the two properties, the end markers.
QByteArray writeComboBoxStream(const ComboBoxState& state);

// Reads one component stream from `bytes` at `position`, which moves past it. Properties other
// than the items and the text are skipped; a malformed stream (or one running past the end)
// gives nothing.
std::optional<ComboBoxState> readComboBoxStream(const QByteArray& bytes, qsizetype& position);

}  // namespace sondar
