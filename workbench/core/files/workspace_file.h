// The workspace file: the analysed location, the services, and every operation's parameter
// records, as one zlib stream. Written and read here; the commands live in WorkspaceFiles.
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace sondar {

// One parameter record as the file stores it.
struct StoredRecord {
    qint32 level = 0, arrayMin = 0, arrayMax = 0;
    bool isArray = false, isComplexType = false, isAttribute = false, isSimpleDataField = false,
         hasEnumValues = false, isHeader = false, isRequired = false;
    QString fieldName, info, dataType, theData, description, prefix;
};

// The root, an operation, or a message with its records.
struct StoredNode {
    qint32 kind = 0;
    qint32 level = 0;
    QString caption;
    qint32 data = 0;
    std::vector<StoredRecord> records;  // message nodes (level 2) only
};

struct WorkspaceContent {
    QString wsdl;
    QStringList services;
    QString chosenService;
    QStringList serviceDocumentation;
    qint32 nodeCount = 0;
    std::vector<StoredNode> nodes;
    QString gridOperation;  // whose output the grid showed; empty for none
};

// The inflated content, block by block.
QByteArray encodeWorkspace(const WorkspaceContent& content);
// Reads inflated content; nothing (and `error` says why) when it is not a workspace.
std::optional<WorkspaceContent> decodeWorkspace(const QByteArray& bytes, QString& error);

// One zlib stream at level 9, and back (inflated in chunks of 16384 bytes). Inflating stops
// with an error past `limit` bytes: a small file must not fill the memory.
QByteArray deflateWorkspace(const QByteArray& content);
std::optional<QByteArray> inflateWorkspace(const QByteArray& stream, QString& error,
                                           qsizetype limit = qsizetype(1) << 30);

}  // namespace sondar
