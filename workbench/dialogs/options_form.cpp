#include "workbench/dialogs/options_form.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "workbench/core/seams/message_seam.h"

namespace sondar {

namespace {

constexpr int kOptionsHelpTopic = 130;

QCheckBox* checkBox(const QString& text, const char* objectName, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(objectName));
    return box;
}

QSpinBox* timeoutBox(const char* objectName, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(objectName));
    box->setRange(0, 999);
    return box;
}

}  // namespace

// The history count: free text of up to three characters, so that a wrong count can be
// typed and explained, with up/down steps that stay within the allowed range.
class HistoryCountBox final : public QAbstractSpinBox {
  public:
    explicit HistoryCountBox(QWidget* parent) : QAbstractSpinBox(parent) {
        lineEdit()->setMaxLength(3);
        setObjectName(QStringLiteral("HistoryCount"));
    }

    // Room for three digits beside the arrows.
    QSize sizeHint() const override {
        QSize hint = QAbstractSpinBox::sizeHint();
        hint.setWidth(std::max(hint.width(), fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 28));
        return hint;
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

    void setCountText(const QString& text) { lineEdit()->setText(text); }

    void stepBy(int steps) override {
        bool isNumber = false;
        const int now = text().trimmed().toInt(&isNumber);
        const int next = std::clamp((isNumber ? now : kMinWsdlHistory) + steps, kMinWsdlHistory,
                                    kMaxWsdlHistory);
        lineEdit()->setText(QString::number(next));
    }

  protected:
    StepEnabled stepEnabled() const override {
        bool isNumber = false;
        const int now = text().trimmed().toInt(&isNumber);
        if (!isNumber)
            return StepUpEnabled | StepDownEnabled;
        StepEnabled enabled = StepNone;
        if (now < kMaxWsdlHistory)
            enabled |= StepUpEnabled;
        if (now > kMinWsdlHistory)
            enabled |= StepDownEnabled;
        return enabled;
    }
};

TOptionsForm::TOptionsForm(MessageSeam& messages, QWidget* parent)
    : QDialog(parent), messages_(messages), pages_(new QTabWidget(this)) {
    setWindowTitle(tr("Sondar Options"));
    setObjectName(QStringLiteral("OptionsForm"));
    pages_->setObjectName(QStringLiteral("OptionsPages"));
    pages_->addTab(buildGeneralPage(), tr("General"));
    pages_->addTab(buildLogFilePage(), tr("Log File"));
    pages_->addTab(buildUddiPage(), tr("UDDI"));
    pages_->addTab(buildInternetPage(), tr("Internet"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    QPushButton* help = buttons->addButton(tr("&Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("HelpBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        if (openHelp_)
            openHelp_(kOptionsHelpTopic);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addWidget(buttons);
    resize(520, 400);
}

QWidget* TOptionsForm::buildGeneralPage() {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    auto* locationLabel = new QLabel(tr("Norvale  Knowledge Base Location:"), page);
    knowledgeBaseLocation_ = new QLineEdit(page);
    knowledgeBaseLocation_->setObjectName(QStringLiteral("KnowledgeBaseLocation"));
    locationLabel->setBuddy(knowledgeBaseLocation_);
    searchKnowledgeBase_ =
        checkBox(tr("Search Knowledge Base on Analyze"), "SearchKnowledgeBase", page);
    showKnowledgeBase_ = checkBox(tr("Show Knowledge Base on Analyze"), "ShowKnowledgeBase", page);
    historyCount_ = new HistoryCountBox(page);
    auto* historyLabel = new QLabel(tr("WSDL History Count"), page);
    historyLabel->setBuddy(historyCount_);
    clearGrid_ = checkBox(tr("Clear Grid on Analyze"), "ClearGridOnAnalyze", page);

    layout->addWidget(locationLabel);
    layout->addWidget(knowledgeBaseLocation_);
    layout->addWidget(searchKnowledgeBase_);
    layout->addWidget(showKnowledgeBase_);
    auto* historyRow = new QHBoxLayout;
    historyRow->addWidget(historyCount_);
    historyRow->addWidget(historyLabel, 1);
    layout->addLayout(historyRow);
    layout->addWidget(clearGrid_);
    layout->addStretch(1);
    connect(searchKnowledgeBase_, &QCheckBox::toggled, this, &TOptionsForm::updateEnabling);
    return page;
}

QWidget* TOptionsForm::buildLogFilePage() {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    writeInput_ = checkBox(tr("Write Input Values"), "WriteInputValues", page);
    writeOutput_ = checkBox(tr("Write Output Values"), "WriteOutputValues", page);
    layout->addWidget(writeInput_);
    layout->addWidget(writeOutput_);
    layout->addStretch(1);
    return page;
}

QWidget* TOptionsForm::buildUddiPage() {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        new QLabel(tr("UDDI Site entries in this list will be used by the UDDI Browser:"), page));
    sites_ = new QTableWidget(0, 2, page);
    sites_->setObjectName(QStringLiteral("UddiSites"));
    sites_->setHorizontalHeaderLabels({tr("UDDISite Name"), tr("URL")});
    sites_->horizontalHeader()->setStretchLastSection(true);
    sites_->setColumnWidth(0, 170);
    sites_->verticalHeader()->hide();
    sites_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sites_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(sites_, 1);
    auto* buttonRow = new QHBoxLayout;
    auto* add = new QPushButton(tr("Add"), page);
    add->setObjectName(QStringLiteral("AddSite"));
    auto* remove = new QPushButton(tr("Delete"), page);
    remove->setObjectName(QStringLiteral("DeleteSite"));
    buttonRow->addWidget(add);
    buttonRow->addWidget(remove);
    buttonRow->addStretch(1);
    layout->addLayout(buttonRow);
    connect(add, &QPushButton::clicked, this, &TOptionsForm::addSiteRow);
    connect(remove, &QPushButton::clicked, this, &TOptionsForm::deleteSiteRow);
    connect(sites_, &QTableWidget::itemChanged, this, &TOptionsForm::siteEdited);
    connect(sites_, &QTableWidget::currentItemChanged, this, [this](QTableWidgetItem* current) {
        if (current && current->column() == 0)
            editedSiteName_ = current->text();
    });
    return page;
}

QWidget* TOptionsForm::buildInternetPage() {
    auto* page = new QWidget(pages_);
    auto* layout = new QVBoxLayout(page);
    auto* proxyBox = new QGroupBox(tr("Proxy Server"), page);
    auto* proxyLayout = new QFormLayout(proxyBox);
    useProxy_ = checkBox(tr("Use the following Proxy Server Settings"), "UseProxy", proxyBox);
    proxyLayout->addRow(useProxy_);
    const auto field = [&](const QString& label, const char* objectName) {
        auto* edit = new QLineEdit(proxyBox);
        edit->setObjectName(QLatin1String(objectName));
        auto* caption = new QLabel(label, proxyBox);
        caption->setBuddy(edit);
        proxyLabels_.append(caption);
        proxyLayout->addRow(caption, edit);
        return edit;
    };
    proxyServer_ = field(tr("Server:"), "ProxyServer");
    proxyPort_ = field(tr("Port:"), "ProxyPort");
    proxyUsername_ = field(tr("User Name:"), "ProxyUsername");
    proxyPassword_ = field(tr("Password:"), "ProxyPassword");
    proxyPassword_->setEchoMode(QLineEdit::Password);
    layout->addWidget(proxyBox);

    auto* timeouts = new QFormLayout;
    connectTimeout_ = timeoutBox("ConnectTimeout", page);
    responseTimeout_ = timeoutBox("ResponseTimeout", page);
    timeouts->addRow(connectTimeout_, new QLabel(tr("Connection Timeout in seconds (0 = no timeout)"), page));
    timeouts->addRow(responseTimeout_, new QLabel(tr("Response Timeout in seconds (0 = no timeout)"), page));
    layout->addLayout(timeouts);
    layout->addStretch(1);
    connect(useProxy_, &QCheckBox::toggled, this, &TOptionsForm::updateEnabling);
    return page;
}

std::optional<GeneralOptions> TOptionsForm::execute(Options& options,
                                                    const PasswordEncrypter& encrypt) {
    options_ = &options;
    encrypt_ = encrypt;
    pages_->setCurrentIndex(0);
    remembered_ = generalOptionsOf(options);
    showGeneralValues(remembered_);
    showUddiSites(readUddiSites());
    showInternetValues(options.internet);
    const bool confirmed = exec() == QDialog::Accepted;
    options_ = nullptr;
    if (!confirmed)
        return std::nullopt;
    return generalValues();
}

void TOptionsForm::done(int result) {
    if (result == QDialog::Accepted) {
        // Checked before anything is stored: a refused count leaves the registry as it was.
        const QString problem = historyCountProblem(historyCount_->text());
        if (!problem.isEmpty()) {
            messages_.showMessage(problem);
            historyCount_->setFocus();
            return;
        }
        storeUddiSites(uddiSites());
        if (options_)
            storeInternetSettings(internetValues(), options_->internet, encrypt_);
    } else {
        // Nothing is taken over after Cancel; the remembered values only go back on show. The
        // count is not checked here: a stored count out of range must not lock the dialog.
        showGeneralValues(remembered_);
    }
    QDialog::done(result);
}

GeneralOptions TOptionsForm::generalValues() const {
    GeneralOptions values;
    values.maxWsdlHistory = historyCount_->text().trimmed().toInt();
    values.clearGridOnAnalyze = clearGrid_->isChecked();
    values.searchKnowledgeBaseOnAnalyze = searchKnowledgeBase_->isChecked();
    values.showKnowledgeBaseOnAnalyze = showKnowledgeBase_->isChecked();
    values.knowledgeBaseWsdl = knowledgeBaseLocation_->text();
    values.writeInputValues = writeInput_->isChecked();
    values.writeOutputValues = writeOutput_->isChecked();
    return values;
}

InternetSettings TOptionsForm::internetValues() const {
    InternetSettings values;
    values.useProxy = useProxy_->isChecked();
    values.proxyServer = proxyServer_->text();
    values.proxyPort = proxyPort_->text();
    values.proxyUsername = proxyUsername_->text();
    values.proxyPassword = proxyPassword_->text();
    values.connectTimeout = connectTimeout_->value();
    values.responseTimeout = responseTimeout_->value();
    return values;
}

UddiSiteList TOptionsForm::uddiSites() const {
    UddiSiteList sites;
    for (int row = 0; row < sites_->rowCount(); ++row) {
        const QTableWidgetItem* name = sites_->item(row, 0);
        const QTableWidgetItem* url = sites_->item(row, 1);
        sites.append(UddiSite{name ? name->text() : QString(), url ? url->text() : QString()});
    }
    return sites;
}

void TOptionsForm::showGeneralValues(const GeneralOptions& values) {
    knowledgeBaseLocation_->setText(values.knowledgeBaseWsdl);
    searchKnowledgeBase_->setChecked(values.searchKnowledgeBaseOnAnalyze);
    showKnowledgeBase_->setChecked(values.showKnowledgeBaseOnAnalyze);
    historyCount_->setCountText(QString::number(values.maxWsdlHistory));
    clearGrid_->setChecked(values.clearGridOnAnalyze);
    writeInput_->setChecked(values.writeInputValues);
    writeOutput_->setChecked(values.writeOutputValues);
    updateEnabling();
}

void TOptionsForm::showInternetValues(const InternetSettings& values) {
    useProxy_->setChecked(values.useProxy);
    proxyServer_->setText(values.proxyServer);
    proxyPort_->setText(values.proxyPort);
    proxyUsername_->setText(values.proxyUsername);
    proxyPassword_->setText(values.proxyPassword);
    connectTimeout_->setValue(values.connectTimeout);
    responseTimeout_->setValue(values.responseTimeout);
    updateEnabling();
}

void TOptionsForm::showUddiSites(const UddiSiteList& sites) {
    const QSignalBlocker block(sites_);
    sites_->setRowCount(0);
    for (const UddiSite& site : sites) {
        const int row = sites_->rowCount();
        sites_->insertRow(row);
        sites_->setItem(row, 0, new QTableWidgetItem(site.name));
        sites_->setItem(row, 1, new QTableWidgetItem(site.url));
    }
}

void TOptionsForm::updateEnabling() {
    showKnowledgeBase_->setEnabled(searchKnowledgeBase_->isChecked());
    const bool proxy = useProxy_->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(proxyServer_), static_cast<QWidget*>(proxyPort_),
                       static_cast<QWidget*>(proxyUsername_),
                       static_cast<QWidget*>(proxyPassword_)})
        w->setEnabled(proxy);
    for (QLabel* label : proxyLabels_)
        label->setEnabled(proxy);
}

void TOptionsForm::addSiteRow() {
    const QString name = QStringLiteral("<site name>");
    // Names are unique: a second new row would be stored as the first one.
    const QList<QTableWidgetItem*> same = sites_->findItems(name, Qt::MatchExactly);
    for (QTableWidgetItem* item : same) {
        if (item->column() == 0) {
            sites_->setCurrentItem(item);
            return;
        }
    }
    const QSignalBlocker block(sites_);
    const int row = sites_->rowCount();
    sites_->insertRow(row);
    sites_->setItem(row, 0, new QTableWidgetItem(name));
    sites_->setItem(row, 1, new QTableWidgetItem(QStringLiteral("<url>")));
    sites_->setCurrentCell(row, 0);
    editedSiteName_ = name;
}

void TOptionsForm::deleteSiteRow() {
    const int row = sites_->currentRow();
    if (row >= 0)
        sites_->removeRow(row);
}

void TOptionsForm::siteEdited(QTableWidgetItem* item) {
    if (item->column() != 0)
        return;
    for (int row = 0; row < sites_->rowCount(); ++row) {
        const QTableWidgetItem* other = sites_->item(row, 0);
        if (row != item->row() && other && other->text() == item->text()) {
            messages_.showMessage(tr("A UDDI site with this name is already in the list."));
            const QSignalBlocker block(sites_);
            item->setText(editedSiteName_);
            return;
        }
    }
    editedSiteName_ = item->text();
}

}  // namespace sondar
