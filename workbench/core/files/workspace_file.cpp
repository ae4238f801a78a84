#include "workbench/core/files/workspace_file.h"

#include <cstring>

#include <zlib.h>

#include "workbench/core/files/component_stream.h"
#include "workbench/core/files/text_decoding.h"

namespace sondar {

namespace {

class Writer {
  public:
    void integer(qint32 value) {
        for (int i = 0; i < 4; ++i)
            out_.append(static_cast<char>((static_cast<quint32>(value) >> (8 * i)) & 0xFF));
    }
    void byte(bool value) { out_.append(value ? '\1' : '\0'); }
    void text8(const QString& text) {
        const QByteArray bytes = text.toUtf8();
        integer(static_cast<qint32>(bytes.size()));
        out_.append(bytes);
    }
    void raw(const QByteArray& bytes) { out_.append(bytes); }
    void text16(const QString& text) {
        integer(static_cast<qint32>(text.size()));
        for (const QChar c : text) {
            out_.append(static_cast<char>(c.unicode() & 0xFF));
            out_.append(static_cast<char>(c.unicode() >> 8));
        }
    }
    QByteArray take() { return std::move(out_); }

  private:
    QByteArray out_;
};

// Reads with bounds checks: the file may come from anywhere.
class Reader {
  public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}
    bool failed() const { return failed_; }

    qint32 integer() {
        if (!need(4))
            return 0;
        quint32 value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<quint32>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
        pos_ += 4;
        return static_cast<qint32>(value);
    }
    bool byte() {
        if (!need(1))
            return false;
        return bytes_[pos_++] != '\0';
    }
    QString text8() {
        const qint32 length = integer();
        if (length < 0 || !need(length))
            return fail();
        const QString text = decodeUserText(bytes_.mid(pos_, length));
        pos_ += length;
        return text;
    }
    QString text16() {
        const qint32 length = integer();
        if (length < 0 || !need(qsizetype(length) * 2))
            return fail();
        QString text(length, Qt::Uninitialized);
        for (qint32 i = 0; i < length; ++i)
            text[i] = QChar(
                static_cast<char16_t>(static_cast<unsigned char>(bytes_[pos_ + 2 * i]) |
                                      (static_cast<unsigned char>(bytes_[pos_ + 2 * i + 1]) << 8)));
        pos_ += qsizetype(length) * 2;
        return text;
    }
    qsizetype remaining() const { return bytes_.size() - pos_; }
    // The services block is a component stream of its own, read by its own reader.
    std::optional<ComboBoxState> comboBox() {
        if (failed_)
            return std::nullopt;
        auto state = readComboBoxStream(bytes_, pos_);
        failed_ = !state;
        return state;
    }

  private:
    bool need(qsizetype n) {
        if (failed_ || n > bytes_.size() - pos_) {
            failed_ = true;
            return false;
        }
        return true;
    }
    QString fail() {
        failed_ = true;
        return {};
    }

    const QByteArray& bytes_;
    qsizetype pos_ = 0;
    bool failed_ = false;
};

void writeRecord(Writer& w, const StoredRecord& r) {
    w.integer(r.level);
    w.integer(r.arrayMin);
    w.integer(r.arrayMax);
    for (bool flag : {r.isArray, r.isComplexType, r.isAttribute, r.isSimpleDataField,
                      r.hasEnumValues, r.isHeader, r.isRequired})
        w.byte(flag);
    for (const QString* text :
         {&r.fieldName, &r.info, &r.dataType, &r.theData, &r.description, &r.prefix})
        w.text16(*text);
}

StoredRecord readRecord(Reader& r) {
    StoredRecord record;
    record.level = r.integer();
    record.arrayMin = r.integer();
    record.arrayMax = r.integer();
    for (bool* flag :
         {&record.isArray, &record.isComplexType, &record.isAttribute, &record.isSimpleDataField,
          &record.hasEnumValues, &record.isHeader, &record.isRequired})
        *flag = r.byte();
    for (QString* text : {&record.fieldName, &record.info, &record.dataType, &record.theData,
                          &record.description, &record.prefix})
        *text = r.text16();
    return record;
}

bool expectTag(Reader& r, qint32 tag, QString& error) {
    if (r.integer() == tag && !r.failed())
        return true;
    error = QStringLiteral("Unexpected value in workspace file");
    return false;
}

}  // namespace

QByteArray encodeWorkspace(const WorkspaceContent& content) {
    Writer w;
    w.integer(1);
    w.text16(content.wsdl);
    w.integer(2);
    w.raw(writeComboBoxStream({content.services, content.chosenService}));
    w.integer(3);
    w.integer(static_cast<qint32>(content.serviceDocumentation.size()));
    for (const QString& text : content.serviceDocumentation)
        w.text8(text);
    w.integer(4);
    w.integer(content.nodeCount);
    for (const StoredNode& node : content.nodes) {
        w.integer(node.kind);
        w.integer(node.level);
        w.text8(node.caption);
        w.integer(node.data);
        if (node.level == 2) {
            w.integer(static_cast<qint32>(node.records.size()) - 1);
            for (const StoredRecord& record : node.records)
                writeRecord(w, record);
        }
    }
    w.integer(0);
    w.integer(0);
    w.text8(content.gridOperation);
    return w.take();
}

std::optional<WorkspaceContent> decodeWorkspace(const QByteArray& bytes, QString& error) {
    Reader r(bytes);
    WorkspaceContent content;
    if (!expectTag(r, 1, error))
        return std::nullopt;
    content.wsdl = r.text16();
    if (!expectTag(r, 2, error))
        return std::nullopt;
    const auto services = r.comboBox();
    if (!services) {
        error = QStringLiteral("Unexpected value in workspace file");
        return std::nullopt;
    }
    content.services = services->items;
    content.chosenService = services->text;
    if (!expectTag(r, 3, error))
        return std::nullopt;
    const qint32 documents = r.integer();
    if (documents < 0 || documents > r.remaining() / 4)
        return error = QStringLiteral("Unexpected value in workspace file"), std::nullopt;
    for (qint32 i = 0; i < documents && !r.failed(); ++i)
        content.serviceDocumentation.append(r.text8());
    if (!expectTag(r, 4, error))
        return std::nullopt;
    content.nodeCount = r.integer();
    // At most the stored count plus one records (the end record included).
    for (qint32 n = 0; n <= content.nodeCount && !r.failed(); ++n) {
        StoredNode node;
        node.kind = r.integer();
        node.level = r.integer();
        node.caption = r.text8();
        if (node.kind == 0 && node.level == 0 && node.caption != QLatin1String("Operations")) {
            content.gridOperation = node.caption;
            break;
        }
        node.data = r.integer();
        if (node.level == 2) {
            const qint32 highest = r.integer();
            // A record takes at least 43 bytes.
            if (highest < -1 || highest >= r.remaining() / 43 + 1)
                return error = QStringLiteral("Unexpected value in workspace file"), std::nullopt;
            for (qint32 i = 0; i <= highest && !r.failed(); ++i)
                node.records.push_back(readRecord(r));
        }
        content.nodes.push_back(std::move(node));
    }
    if (r.failed()) {
        error = QStringLiteral("The workspace file ends too early");
        return std::nullopt;
    }
    return content;
}

QByteArray deflateWorkspace(const QByteArray& content) {
    uLongf size = compressBound(static_cast<uLong>(content.size()));
    QByteArray out(static_cast<qsizetype>(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(content.constData()),
                  static_cast<uLong>(content.size()), 9) != Z_OK)
        return {};
    out.truncate(static_cast<qsizetype>(size));
    return out;
}

std::optional<QByteArray> inflateWorkspace(const QByteArray& stream, QString& error,
                                           qsizetype limit) {
    constexpr int kChunk = 16384;
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) {
        error = QStringLiteral("The workspace file could not be unpacked");
        return std::nullopt;
    }
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.constData()));
    z.avail_in = static_cast<uInt>(stream.size());
    QByteArray out;
    char chunk[kChunk];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = kChunk;
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        out.append(chunk, kChunk - static_cast<int>(z.avail_out));
        if (out.size() > limit) {
            status = Z_MEM_ERROR;
            break;
        }
        if (status == Z_OK && z.avail_in == 0 && z.avail_out != 0) {
            status = Z_DATA_ERROR;  // the stream ends before its end marker
            break;
        }
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END) {
        error = QStringLiteral("The workspace file could not be unpacked");
        return std::nullopt;
    }
    return out;
}

}  // namespace sondar
