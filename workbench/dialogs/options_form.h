// The options dialog: General, Log File, UDDI and Internet pages. It stores the UDDI site list
// and the Internet values itself when confirmed; the main window takes over the General and
// Log File values it returns and writes them at close.
#pragma once

#include <functional>
#include <optional>

#include <QDialog>

#include "workbench/core/options/options_storing.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;

namespace sondar {

class HistoryCountBox;
class MessageSeam;

class TOptionsForm final : public QDialog {
    Q_OBJECT

  public:
    // `messages` (not owned) explains a refused history count or site name.
    explicit TOptionsForm(MessageSeam& messages, QWidget* parent = nullptr);

    // Shows the dialog modally over the main window's current values. On OK the UDDI sites
    // and the Internet values are stored (the latter also into `options.internet`) and the
    // confirmed General and Log File values are returned; nothing after Cancel.
    std::optional<GeneralOptions> execute(Options& options, const PasswordEncrypter& encrypt);

    // Opens a help topic of the program's help ("&Help" asks for topic 130).
    void setHelpOpener(std::function<void(int topic)> opener) { openHelp_ = std::move(opener); }

    GeneralOptions generalValues() const;
    InternetSettings internetValues() const;
    UddiSiteList uddiSites() const;

  protected:
    void done(int result) override;

  private:
    QWidget* buildGeneralPage();
    QWidget* buildLogFilePage();
    QWidget* buildUddiPage();
    QWidget* buildInternetPage();
    void showGeneralValues(const GeneralOptions& values);
    void showInternetValues(const InternetSettings& values);
    void showUddiSites(const UddiSiteList& sites);
    void updateEnabling();
    void addSiteRow();
    void deleteSiteRow();
    void siteEdited(QTableWidgetItem* item);

    MessageSeam& messages_;
    std::function<void(int)> openHelp_;
    Options* options_ = nullptr;
    PasswordEncrypter encrypt_;
    GeneralOptions remembered_;
    QString editedSiteName_;  // the name cell's text before an edit, to undo a duplicate

    QTabWidget* pages_;
    QLineEdit* knowledgeBaseLocation_ = nullptr;
    QCheckBox* searchKnowledgeBase_ = nullptr;
    QCheckBox* showKnowledgeBase_ = nullptr;
    HistoryCountBox* historyCount_ = nullptr;
    QCheckBox* clearGrid_ = nullptr;
    QCheckBox* writeInput_ = nullptr;
    QCheckBox* writeOutput_ = nullptr;
    QTableWidget* sites_ = nullptr;
    QCheckBox* useProxy_ = nullptr;
    QLineEdit* proxyServer_ = nullptr;
    QLineEdit* proxyPort_ = nullptr;
    QLineEdit* proxyUsername_ = nullptr;
    QLineEdit* proxyPassword_ = nullptr;
    QList<QLabel*> proxyLabels_;
    QSpinBox* connectTimeout_ = nullptr;
    QSpinBox* responseTimeout_ = nullptr;
};

}  // namespace sondar
