// The program's name, versions and the maker's web address.
#pragma once

#include <functional>

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace sondar {

class TAboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Opens the maker's address when its label is clicked; the default hands it to the desktop's
    // browser. Tests replace it to see the request without starting a browser.
    void setUrlOpener(std::function<void(const QUrl&)> opener);

  protected:
    // The versions are filled in when shown rather than when built.
    void showEvent(QShowEvent* event) override;

  private:
    QLabel* versionLabel_;
    QLabel* addressLabel_;
    QPushButton* okButton_;
    std::function<void(const QUrl&)> openUrl_;
};

}  // namespace sondar
