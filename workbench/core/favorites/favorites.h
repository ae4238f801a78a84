// Named favourite WSDL locations, kept in the registry at once when they change. A favourite's
// name is stored exactly as typed (the name dialog refuses "&") and is the only key used to
// find it again; menus escape it for display and never hand their captions back.
#pragma once

#include <optional>

#include <QList>
#include <QString>

#include "workbench/core/session/workbench_context.h"

namespace sondar {

class AnalyzeFlow;
class NameDialogSeam;

namespace registry_keys {
inline constexpr char16_t kFavorites[] = u"Software\\Norvale\\Sondar\\Favorites";
}

struct Favorite {
    QString name;
    QString location;
    bool operator==(const Favorite&) const = default;
};

// The stored favourites in menu order: by name in plain character-code order, so capitals
// come before small letters ("B" before "a").
QList<Favorite> readFavorites();

// The Favorites menu's commands. The view rebuilds the menu on favoritesChanged().
class FavoritesFlow {
  public:
    // Without a name dialog (a batch run) adding and renaming do nothing.
    FavoritesFlow(WorkbenchContext& context, AnalyzeFlow& analyzer, NameDialogSeam* names);

    // "Add Current WSDL To Favorites" and the location box's "Add To Favorites".
    void addCurrent();
    // Puts the favourite's location into the location box; false when it is gone.
    bool select(const QString& name);
    // Selects the favourite and analyses it as the user's own analyse.
    bool analyze(const QString& name);
    void rename(const QString& name);
    void remove(const QString& name);

  private:
    std::optional<QString> askName(const QString& title, const QString& name);
    // Replaces `oldName` by `newName` for the same location.
    bool storeRenamed(const QString& oldName, const QString& newName, const QString& location);

    WorkbenchContext& ctx_;
    AnalyzeFlow& analyzer_;
    NameDialogSeam* names_;
};

}  // namespace sondar
