#include "workbench/core/favorites/favorites.h"

#include <algorithm>

#include "platform/registry/registry.h"
#include "workbench/core/analyse/analyze_flow.h"
#include "workbench/core/seams/name_dialog_seam.h"
#include "workbench/core/session/registry_text.h"

namespace sondar {

namespace {

using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

std::optional<Favorite> findByName(const QString& name) {
    for (const Favorite& favorite : readFavorites())
        if (favorite.name == name)
            return favorite;
    return std::nullopt;
}

std::optional<Favorite> findByLocation(const QString& location) {
    for (const Favorite& favorite : readFavorites())
        if (favorite.location == location)
            return favorite;
    return std::nullopt;
}

bool storeFavorite(const QString& name, const QString& location) {
    try {
        Key key;
        return Key::create(Hive::CurrentUser, registry_keys::kFavorites, key) == Status::Ok &&
               key.setString(units(name), units(location)) == Status::Ok;
    } catch (...) {
        return false;
    }
}

bool deleteFavorite(const QString& name) {
    try {
        Key key;
        return Key::open(Hive::CurrentUser, registry_keys::kFavorites,
                         nv::registry::Access::ReadWrite, key) == Status::Ok &&
               key.deleteValue(units(name)) == Status::Ok;
    } catch (...) {
        return false;
    }
}

}  // namespace

QList<Favorite> readFavorites() {
    QList<Favorite> favorites;
    for (const auto& [name, location] : readTextValues(registry_keys::kFavorites))
        favorites.append(Favorite{name, location});
    // Plain code-unit order; stable, so equal names keep their stored order.
    std::stable_sort(favorites.begin(), favorites.end(), [](const Favorite& a, const Favorite& b) {
        return QString::compare(a.name, b.name, Qt::CaseSensitive) < 0;
    });
    return favorites;
}

FavoritesFlow::FavoritesFlow(WorkbenchContext& context, AnalyzeFlow& analyzer,
                             NameDialogSeam* names)
    : ctx_(context), analyzer_(analyzer), names_(names) {}

std::optional<QString> FavoritesFlow::askName(const QString& title, const QString& name) {
    if (!names_)
        return std::nullopt;
    return names_->askName(title, name);
}

void FavoritesFlow::addCurrent() {
    const QString location = ctx_.view.locationText().trimmed();
    if (location.isEmpty()) {
        ctx_.status.setStatus(QStringLiteral("No WSDL"));
        ctx_.messages.showMessage(
            QStringLiteral("     No WSDL location to add to favorites.     "));
        return;
    }
    if (const std::optional<Favorite> existing = findByLocation(location)) {
        ctx_.status.setStatus(QStringLiteral("Favorite Already Exists"));
        const std::optional<QString> name =
            askName(QStringLiteral("WSDL already exists in Favorites menu."), existing->name);
        if (!name || *name == existing->name)
            return;
        if (findByName(*name))
            ctx_.messages.showMessage(QStringLiteral("Favorite with this name already exists"));
        else if (storeRenamed(existing->name, *name, location))
            ctx_.view.favoritesChanged();
        return;
    }
    std::optional<QString> name =
        askName(QStringLiteral("Add WSDL to favorites menu."), location);
    if (!name)
        return;
    while (findByName(*name)) {
        ctx_.messages.showMessage(QStringLiteral("Favorite with this name already exists"));
        name = askName(QStringLiteral("Add WSDL to favorites menu."), *name);
        if (!name) {
            ctx_.status.setStatus(QStringLiteral("Favorite Cancelled"));
            return;
        }
    }
    storeFavorite(*name, location);
    ctx_.view.favoritesChanged();
    ctx_.status.setStatus(QStringLiteral("Favorite Added"));
}

bool FavoritesFlow::select(const QString& name) {
    const std::optional<Favorite> favorite = findByName(name);
    if (!favorite)
        return false;
    ctx_.view.setLocationText(favorite->location);
    ctx_.state.locationEdited = true;
    ctx_.view.removeChoiceList();
    return true;
}

bool FavoritesFlow::analyze(const QString& name) {
    if (!select(name))
        return false;
    ctx_.state.treeInteraction = true;
    return analyzer_.analyze();
}

void FavoritesFlow::rename(const QString& name) {
    const std::optional<Favorite> favorite = findByName(name);
    if (!favorite)
        return;
    const std::optional<QString> newName = askName(QStringLiteral("Rename Favorite"), name);
    if (!newName || *newName == name) {
        ctx_.status.setStatus(QStringLiteral("Name not changed"));
        return;
    }
    if (findByName(*newName)) {
        // Renaming onto another favourite would silently drop that one.
        ctx_.messages.showMessage(QStringLiteral("Favorite with this name already exists"));
        ctx_.status.setStatus(QStringLiteral("Name not changed"));
        return;
    }
    if (storeRenamed(name, *newName, favorite->location)) {
        ctx_.view.favoritesChanged();
        ctx_.status.setStatus(QStringLiteral("Favorite Renamed"));
    }
}

void FavoritesFlow::remove(const QString& name) {
    deleteFavorite(name);
    ctx_.view.favoritesChanged();
}

bool FavoritesFlow::storeRenamed(const QString& oldName, const QString& newName,
                                 const QString& location) {
    // The new value first: a failure then leaves the old favourite in place, not neither.
    if (!storeFavorite(newName, location))
        return false;
    deleteFavorite(oldName);
    return true;
}

}  // namespace sondar
