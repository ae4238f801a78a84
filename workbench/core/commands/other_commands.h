// The main window's smaller commands that hand something to the desktop: "Show WSDL", the
// help pages, the vendor's web site, and "Create Link". Each reports its outcome in the status
// panel or a message; none changes the current directory (relative paths the user typed stay
// relative to where the program started).
#pragma once

#include <QString>

#include "workbench/core/seams/desktop_seam.h"
#include "workbench/core/session/workbench_context.h"

namespace sondar {

class OtherCommands {
  public:
    OtherCommands(WorkbenchContext& context, DesktopSeam& desktop);

    // Tools "Show WSDL": the location box's text, without user name and password, opened
    // with the desktop's default program.
    void showWsdl();
    // Help "Sondar Help": the contents page; status "Help Launched".
    void helpContents();
    // A window's Help button. A number that names no topic opens the contents page.
    void openHelpTopic(int topic);
    // Help "Product Feedback": topic 160; status "Product Feedback Displayed".
    void productFeedback();
    // Help "Getting Started Tutorial...": the tutorial page.
    void tutorial();
    // Help "Visit Norvale Website": the vendor's home page.
    void visitWebsite();
    // Data "Create Link": offers the analysed location, service and `operationName` to the
    // component server, which puts its link data on the OLE clipboard. False (after a message)
    // when the server refused; the caller then copies the clipboard to the desktop's.
    bool createLink(const QString& operationName);

  private:
    // Opens a help page; a message instead when the file is missing or cannot be opened.
    bool openHelpPage(const QString& path);
    bool open(const QUrl& url, const QString& shownName);

    WorkbenchContext& ctx_;
    DesktopSeam& desktop_;
};

// The location with the user name and password between the scheme's "//" and the last "@"
// of the host part removed, keeping at most 250 characters after that "@". Unchanged when
// there are no credentials.
QString withoutCredentials(const QString& location);

// The address to open for a WSDL location: a location without a scheme is a local file.
QUrl wsdlLocationUrl(const QString& location);

}  // namespace sondar
