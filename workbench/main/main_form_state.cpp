// What the main window remembers between runs and shows in its menus: favourites, the WSDL
// history, recent workspaces, the options, window positions and the Window menu.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

#include "workbench/core/favorites/favorites.h"
#include "workbench/core/files/recent_workspaces.h"
#include "workbench/core/options/options_storing.h"
#include "workbench/dialogs/log_file_viewer.h"
#include "workbench/dialogs/options_form.h"
#include "workbench/dialogs/soap_msg_viewer.h"
#include "workbench/dialogs/window_positions.h"
#include "workbench/main/gui_seams.h"
#include "workbench/main/main_form.h"

namespace sondar {

namespace {

// Menu captions show "&" as typed instead of taking it as an accelerator mark.
QString menuText(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The Favorites menu's fixed items: "Add Current WSDL To Favorites" and a separator.
constexpr int kFixedFavoriteItems = 2;

}  // namespace

void TMainForm::rebuildFavoritesMenu() {
    const QList<QAction*> items = favoritesMenu_->actions();
    for (qsizetype i = kFixedFavoriteItems; i < items.size(); ++i) {
        favoritesMenu_->removeAction(items[i]);
        if (QMenu* submenu = items[i]->menu())
            submenu->deleteLater();
        else
            items[i]->deleteLater();
    }
    // Already in menu order; each entry finds its favourite by the stored name it captures,
    // never by its caption.
    for (const Favorite& favorite : readFavorites()) {
        QMenu* entry = favoritesMenu_->addMenu(menuText(favorite.name));
        entry->menuAction()->setToolTip(favorite.location);
        entry->menuAction()->setStatusTip(favorite.location);
        entry->setObjectName(QStringLiteral("Favorite:") + favorite.name);
        const QString name = favorite.name;
        connect(entry->addAction(tr("Select")), &QAction::triggered, this, [this, name] {
            core_->favorites().select(name);
        });
        connect(entry->addAction(tr("Analyze")), &QAction::triggered, this, [this, name] {
            core_->favorites().analyze(name);
        });
        connect(entry->addAction(tr("Rename")), &QAction::triggered, this, [this, name] {
            core_->favorites().rename(name);
        });
        entry->addSeparator();
        connect(entry->addAction(tr("Delete")), &QAction::triggered, this, [this, name] {
            core_->favorites().remove(name);
        });
        connect(entry, &QMenu::aboutToShow, this, &TMainForm::removeChoiceList);
    }
}

void TMainForm::rebuildRecentWorkspacesMenu() {
    recentWorkspacesMenu_->clear();
    const QStringList& paths = core_->recentWorkspaces();
    for (int i = 0; i < paths.size(); ++i) {
        QAction* entry =
            recentWorkspacesMenu_->addAction(menuText(recentWorkspaceCaption(i + 1, paths[i])));
        entry->setToolTip(paths[i]);
        entry->setStatusTip(paths[i]);
        const QString path = paths[i];
        connect(entry, &QAction::triggered, this,
                [this, path] { core_->workspaceFiles().openWorkspace(path); });
    }
    recentWorkspacesMenu_->menuAction()->setVisible(!paths.isEmpty());
}

void TMainForm::buildLocationContextMenu() {
    QLineEdit* edit = locationBox_->lineEdit();
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QLineEdit::customContextMenuRequested, this, [this, edit](const QPoint& at) {
        QMenu* menu = edit->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        QAction* add = menu->addAction(tr("Add To Favorites"));
        add->setObjectName(QStringLiteral("LocationAddFavorite"));
        connect(add, &QAction::triggered, this, [this] { core_->favorites().addCurrent(); });
        menu->popup(edit->mapToGlobal(at));
    });
}

void TMainForm::OptionsClick() {
    if (!optionsForm_)
        return;
    Options& options = core_->state().options;
    TCNVWSControl& control = core_->control();
    const std::optional<GeneralOptions> confirmed =
        optionsForm_->execute(options, [&control](const QString& server, const QString& password) {
            return control.EncryptPassword(server, password);
        });
    if (!confirmed)
        return;
    takeOverGeneralOptions(*confirmed, options, core_->history());
    wsdlHistoryChanged();
}

void TMainForm::ClearWsdlHistoryClick() {
    core_->history().clear();
    wsdlHistoryChanged();
    status_->setStatus(QStringLiteral("WSDL History Cleared"));
}

void TMainForm::saveWindowPositions() {
    saveWindowPosition(this, objectName());
    for (QWidget* tool : {static_cast<QWidget*>(soapViewer_), static_cast<QWidget*>(logViewer_)})
        if (tool && tool->isVisible())
            saveWindowPosition(tool, tool->objectName());
}

}  // namespace sondar
