// What the core asks of the main window's controls. The window implements it with widgets; a
// batch run implements it with plain values (there is nothing to show).
#pragma once

#include <QString>
#include <QStringList>

namespace sondar {

class TNVTreeNode;

class MainView {
  public:
    virtual ~MainView() = default;

    // The WSDL location box.
    virtual QString locationText() const = 0;
    virtual void setLocationText(const QString& text) = 0;
    // The "Services:" box: its items, the selected one, its tool tip.
    virtual QString serviceBoxText() const = 0;
    virtual void setServices(const QStringList& names, int selectedIndex,
                             const QString& toolTip) = 0;
    // The WSDL history changed (the box's drop-down list shows it).
    virtual void wsdlHistoryChanged() {}
    // The recent-workspaces list changed (the File menu shows it).
    virtual void recentWorkspacesChanged() {}
    // The stored favourites changed (the Favorites menu lists them).
    virtual void favoritesChanged() {}

    // Removes the in-place choice list and the hint window, if any.
    virtual void removeChoiceList() {}
    virtual void expandNode(TNVTreeNode* node) {}
    // Expands or collapses `node` and everything below it.
    virtual void expandAllBelow(TNVTreeNode* node) {}
    virtual void collapseAllBelow(TNVTreeNode* node) {}
    // Hidden while everything is expanded, so the tree is not repainted node by node.
    virtual void setTreeVisible(bool visible) {}
    // Focuses the tree and runs the expand handler of a simple field: selects its value node
    // and opens it for editing.
    virtual void openFieldEditor(TNVTreeNode* field) {}
    // Expands the node's parents, selects it and scrolls it into view.
    virtual void selectNode(TNVTreeNode* node) {}
    // The tree menu's "Invoke", "Save", "Restore", "Clear", "Print tree", "Add new array
    // element".
    virtual void setTreeCommandsEnabled(bool enabled) {}
    // Empties the result grid and gives it its initial size.
    virtual void resetResultGrid() {}
    // Ends any open value editor, keeping what was typed.
    virtual void endEditing() {}
    // The state's result grid or text lines changed.
    virtual void resultViewsChanged() {}
    // Shows the request and response of the last call in the SOAP message viewer.
    virtual void showSoapMessages(const QString& request, const QString& response) {}
};

// The view of a batch run: it remembers the texts the run puts into the boxes.
class HeadlessMainView final : public MainView {
  public:
    QString locationText() const override { return location_; }
    void setLocationText(const QString& text) override { location_ = text; }
    QString serviceBoxText() const override {
        return selected_ >= 0 && selected_ < services_.size() ? services_[selected_] : QString();
    }
    void setServices(const QStringList& names, int selectedIndex, const QString&) override {
        services_ = names;
        selected_ = selectedIndex;
    }

  private:
    QString location_;
    QStringList services_;
    int selected_ = -1;
};

}  // namespace sondar
