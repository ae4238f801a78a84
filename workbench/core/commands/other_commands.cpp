#include "workbench/core/commands/other_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include "workbench/core/engine/com_error.h"
#include "workbench/core/help/help_topics.h"
#include "workbench/core/session/app_info.h"

namespace sondar {

namespace {

// How much of the location after the credentials is kept.
constexpr int kKeptAfterCredentials = 250;

// "http:", "file:", ... A single letter is a drive ("C:\services\x.wsdl"), not a scheme.
const QRegularExpression& schemePattern() {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+:"));
    return scheme;
}

// A scheme followed by "//": what comes next is the host part, credentials included.
const QRegularExpression& hostPartPattern() {
    static const QRegularExpression hostPart(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]+://"));
    return hostPart;
}

}  // namespace

QString withoutCredentials(const QString& location) {
    const QRegularExpressionMatch scheme = hostPartPattern().match(location);
    if (!scheme.hasMatch())
        return location;
    const qsizetype hostStart = scheme.capturedEnd();
    qsizetype hostEnd = location.size();
    for (const QChar end : {QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#')}) {
        const qsizetype at = location.indexOf(end, hostStart);
        if (at >= 0 && at < hostEnd)
            hostEnd = at;
    }
    // The last "@" of the host part: a password may contain "@" itself.
    const qsizetype at = location.lastIndexOf(QLatin1Char('@'), hostEnd - 1);
    if (at < hostStart)
        return location;
    return location.left(hostStart) + location.mid(at + 1, kKeptAfterCredentials);
}

QUrl wsdlLocationUrl(const QString& location) {
    if (schemePattern().match(location).hasMatch())
        return QUrl(location, QUrl::TolerantMode);
    return QUrl::fromLocalFile(QFileInfo(location).absoluteFilePath());
}

OtherCommands::OtherCommands(WorkbenchContext& context, DesktopSeam& desktop)
    : ctx_(context), desktop_(desktop) {}

void OtherCommands::showWsdl() {
    const QString location = ctx_.view.locationText().trimmed();
    if (location.isEmpty()) {
        ctx_.messages.showMessage(QStringLiteral("          No WSDL specified.          "));
        return;
    }
    const QString shown = withoutCredentials(location);
    open(wsdlLocationUrl(shown), shown);
}

void OtherCommands::helpContents() {
    if (openHelpPage(help::contentsPage(ctx_.state.programFolder)))
        ctx_.status.setStatus(QStringLiteral("Help Launched"));
}

void OtherCommands::openHelpTopic(int topic) {
    const QString page = help::topicPage(ctx_.state.programFolder, topic);
    openHelpPage(page.isEmpty() ? help::contentsPage(ctx_.state.programFolder) : page);
}

void OtherCommands::productFeedback() {
    if (openHelpPage(help::topicPage(ctx_.state.programFolder, help::kTopicFeedback)))
        ctx_.status.setStatus(QStringLiteral("Product Feedback Displayed"));
}

void OtherCommands::tutorial() {
    openHelpPage(help::tutorialPage(ctx_.state.programFolder));
}

void OtherCommands::visitWebsite() {
    const QString address = appinfo::makerWebAddress();
    open(QUrl(address), address);
}

bool OtherCommands::createLink(const QString& operationName) {
    try {
        ctx_.control.SetClipboard(ctx_.state.currentWsdl, ctx_.state.currentService, operationName);
        return true;
    } catch (const EOleSysError& error) {
        ctx_.messages.showMessage(
            QStringLiteral("The link could not be created: %1").arg(error.message()));
    }
    return false;
}

bool OtherCommands::openHelpPage(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        ctx_.messages.showMessage(
            QStringLiteral("The help page %1 was not found.\nThe help pages belong in %2")
                .arg(QDir::toNativeSeparators(path),
                     QDir::toNativeSeparators(help::helpFolder(ctx_.state.programFolder))));
        return false;
    }
    return open(QUrl::fromLocalFile(path), QDir::toNativeSeparators(path));
}

bool OtherCommands::open(const QUrl& url, const QString& shownName) {
    if (desktop_.openUrl(url))
        return true;
    ctx_.messages.showMessage(
        QStringLiteral("No program could be started to open %1").arg(shownName));
    return false;
}

}  // namespace sondar
