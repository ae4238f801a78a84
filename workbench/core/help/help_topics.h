// Where the help pages live and which page answers which topic number. The pages are plain
// HTML files shipped beside the program (<program folder>/../share/sondar/help/), so the
// desktop's browser can open them; the windows' Help buttons name their topic by number.
#pragma once

#include <QList>
#include <QString>

namespace sondar::help {

// Topic numbers of the windows' Help buttons.
constexpr int kTopicOptions = 130;        // the options dialog
constexpr int kTopicUddiBrowser = 150;    // the UDDI browser and the service directory
constexpr int kTopicKnowledgeBase = 152;  // the knowledge-base window
constexpr int kTopicJobEditor = 155;      // the job editor
constexpr int kTopicTaskDialog = 157;     // the job editor's task dialog
constexpr int kTopicFeedback = 160;       // product feedback

// Every topic number above.
QList<int> knownTopics();

// The help folder for a program folder: absolute, cleaned, ending in "/".
QString helpFolder(const QString& programFolder);
// Absolute paths of the pages. A page may be missing on disk (the windows of some topics
// arrive later); the caller checks.
QString contentsPage(const QString& programFolder);
QString tutorialPage(const QString& programFolder);
// Empty for a number that names no topic.
QString topicPage(const QString& programFolder, int topic);

}  // namespace sondar::help
