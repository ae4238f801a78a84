#include "workbench/core/help/help_topics.h"

#include <QDir>

namespace sondar::help {

namespace {

struct TopicFile {
    int topic;
    const char* file;
};

constexpr TopicFile kTopicFiles[] = {
    {kTopicOptions, "options.html"},
    {kTopicUddiBrowser, "uddi-browser.html"},
    {kTopicKnowledgeBase, "knowledge-base.html"},
    {kTopicJobEditor, "job-editor.html"},
    {kTopicTaskDialog, "job-task.html"},
    {kTopicFeedback, "feedback.html"},
};

QString page(const QString& programFolder, const char* file) {
    return helpFolder(programFolder) + QLatin1String(file);
}

}  // namespace

QList<int> knownTopics() {
    QList<int> topics;
    for (const TopicFile& entry : kTopicFiles)
        topics.append(entry.topic);
    return topics;
}

QString helpFolder(const QString& programFolder) {
    const QString folder =
        QDir(programFolder).absoluteFilePath(QStringLiteral("../share/sondar/help"));
    return QDir::cleanPath(folder) + QLatin1Char('/');
}

QString contentsPage(const QString& programFolder) {
    return page(programFolder, "index.html");
}

QString tutorialPage(const QString& programFolder) {
    return page(programFolder, "tutorial.html");
}

QString topicPage(const QString& programFolder, int topic) {
    for (const TopicFile& entry : kTopicFiles)
        if (entry.topic == topic)
            return page(programFolder, entry.file);
    return QString();
}

}  // namespace sondar::help
