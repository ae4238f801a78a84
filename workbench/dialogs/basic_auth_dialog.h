// Asks for the user name and password of an HTTP Basic challenge. The caller decides what the
// answer means; the dialog only collects it.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace sondar {

class TBasicAuthDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TBasicAuthDialog(QWidget* parent = nullptr);

    QString userName() const;
    QString password() const;
    // Empties both fields, so a dialog kept for the next challenge shows nothing of the last.
    void clear();

  private:
    QLineEdit* userName_;
    QLineEdit* password_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace sondar
