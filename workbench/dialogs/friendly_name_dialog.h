// Asks for the name under which a web service is kept among the favorites.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace sondar {

class MessageSeam;

class TFriendlyNameDlg : public QDialog {
    Q_OBJECT

  public:
    // `messages` explains a refused name; it must outlive the dialog.
    explicit TFriendlyNameDlg(MessageSeam& messages, QWidget* parent = nullptr);

    QString name() const;
    void setName(const QString& name);

  private:
    // OK: the trimmed name must be non-empty and free of "&" (which marks keyboard accelerators
    // in menu texts). A refused name is explained and keeps the dialog open.
    void tryAccept();

    MessageSeam& messages_;
    QLineEdit* name_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace sondar
