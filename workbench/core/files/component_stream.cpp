#include "workbench/core/files/component_stream.h"

#include "workbench/core/files/text_decoding.h"

namespace sondar {

namespace {

// The toolkit's value types.
enum ValueType : unsigned char {
    kNull = 0,
    kList = 1,
    kInt8 = 2,
    kInt16 = 3,
    kInt32 = 4,
    kExtended = 5,
    kString = 6,
    kIdent = 7,
    kFalse = 8,
    kTrue = 9,
    kBinary = 10,
    kSet = 11,
    kLString = 12,
    kNil = 13,
    kCollection = 14,
    kSingle = 15,
    kCurrency = 16,
    kDate = 17,
    kWString = 18,
    kInt64 = 19,
    kUtf8String = 20,
    kDouble = 21,
};

// Lists and collections nest; a stream nesting deeper than this is not a combo box.
constexpr int kMaxNesting = 32;

class Stream {
  public:
    Stream(const QByteArray& bytes, qsizetype position) : bytes_(bytes), pos_(position) {}
    qsizetype position() const { return pos_; }
    bool ok() const { return ok_; }

    bool take(qsizetype n) {
        if (!ok_ || n < 0 || n > bytes_.size() - pos_)
            return ok_ = false;
        pos_ += n;
        return true;
    }
    unsigned char byte() {
        if (!ok_ || pos_ >= bytes_.size()) {
            ok_ = false;
            return 0;
        }
        return static_cast<unsigned char>(bytes_[pos_++]);
    }
    qint32 int32() {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<quint32>(byte()) << (8 * i);
        return static_cast<qint32>(value);
    }
    QByteArray raw(qsizetype n) {
        const qsizetype start = pos_;
        return take(n) ? bytes_.mid(start, n) : QByteArray();
    }
    QString shortString() { return decodeUserText(raw(byte())); }

    // A string value of any of the toolkit's string types.
    std::optional<QString> stringValue(unsigned char type) {
        switch (type) {
            case kString:
                return shortString();
            case kIdent:
                return shortString();
            case kLString:
                return decodeUserText(raw(int32()));
            case kUtf8String:
                return QString::fromUtf8(raw(int32()));
            case kWString: {
                const qint32 length = int32();
                if (length < 0 || length > (bytes_.size() - pos_) / 2) {
                    ok_ = false;
                    return std::nullopt;
                }
                const QByteArray units = raw(qsizetype(length) * 2);
                QString text(length, Qt::Uninitialized);
                for (qint32 i = 0; i < length; ++i)
                    text[i] = QChar(
                        static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                              (static_cast<unsigned char>(units[2 * i + 1]) << 8)));
                return text;
            }
            default:
                return std::nullopt;
        }
    }

    // Skips one value of `type`.
    void skip(unsigned char type, int depth) {
        if (depth > kMaxNesting) {
            ok_ = false;
            return;
        }
        switch (type) {
            case kNull:
            case kFalse:
            case kTrue:
            case kNil:
                return;
            case kInt8:
                take(1);
                return;
            case kInt16:
                take(2);
                return;
            case kInt32:
            case kSingle:
                take(4);
                return;
            case kInt64:
            case kCurrency:
            case kDate:
            case kDouble:
                take(8);
                return;
            case kExtended:
                take(10);
                return;
            case kString:
            case kIdent:
                take(byte());
                return;
            case kLString:
            case kUtf8String:
            case kBinary:
                take(int32());
                return;
            case kWString: {
                const qint32 length = int32();
                take(length < 0 || length > (1 << 29) ? -1 : qsizetype(length) * 2);
                return;
            }
            case kSet:
                // Element names up to an empty one.
                for (unsigned char length = byte(); ok_ && length != 0; length = byte())
                    take(length);
                return;
            case kList:
                for (unsigned char next = byte(); ok_ && next != kNull; next = byte())
                    skip(next, depth + 1);
                return;
            case kCollection:
                // Items: an optional order value, then properties up to a null, up to a null.
                for (unsigned char next = byte(); ok_ && next != kNull; next = byte()) {
                    if (next == kInt8 || next == kInt16 || next == kInt32) {
                        skip(next, depth + 1);
                        next = byte();
                    }
                    if (next != kList) {
                        ok_ = false;
                        return;
                    }
                    skipProperties(depth + 1);
                }
                return;
            default:
                ok_ = false;
                return;
        }
    }

    void skipProperties(int depth) {
        while (ok_) {
            const unsigned char length = byte();
            if (length == 0)
                return;
            take(length);
            skip(byte(), depth);
        }
    }

  private:
    const QByteArray& bytes_;
    qsizetype pos_;
    bool ok_ = true;
};

void appendShort(QByteArray& out, const QByteArray& text) {
    out.append(static_cast<char>(text.size()));
    out.append(text);
}

void appendWide(QByteArray& out, const QString& text) {
    out.append(static_cast<char>(kWString));
    const auto length = static_cast<quint32>(text.size());
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((length >> (8 * i)) & 0xFF));
    for (const QChar c : text) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
}

}  // namespace

QByteArray writeComboBoxStream(const ComboBoxState& state) {
    QByteArray out("TPF0");
    appendShort(out, "TComboBox");
    appendShort(out, "ServicesBox");
    appendShort(out, "Text");
    appendWide(out, state.text);
    appendShort(out, "Items.Strings");
    out.append(static_cast<char>(kList));
    for (const QString& item : state.items)
        appendWide(out, item);
    out.append(static_cast<char>(kNull));  // end of the list
    out.append(static_cast<char>(kNull));  // end of the properties
    out.append(static_cast<char>(kNull));  // end of the (absent) children
    return out;
}

std::optional<ComboBoxState> readComboBoxStream(const QByteArray& bytes, qsizetype& position) {
    Stream s(bytes, position);
    if (s.raw(4) != QByteArrayLiteral("TPF0"))
        return std::nullopt;
    // An inherited or inline component starts with a flags byte 0xF0..0xFF (and, for a
    // child position, a number).
    unsigned char first = s.byte();
    if ((first & 0xF0) == 0xF0) {
        if (first & 0x02)
            s.skip(s.byte(), 0);
        first = s.byte();
    }
    s.take(first);    // class name
    s.shortString();  // object name
    ComboBoxState state;
    while (s.ok()) {
        const QString name = s.shortString();
        if (name.isEmpty())
            break;
        const unsigned char type = s.byte();
        if (name.compare(QLatin1String("Text"), Qt::CaseInsensitive) == 0) {
            if (auto text = s.stringValue(type))
                state.text = *text;
            else
                s.skip(type, 0);
        } else if (name.compare(QLatin1String("Items.Strings"), Qt::CaseInsensitive) == 0 &&
                   type == kList) {
            for (unsigned char next = s.byte(); s.ok() && next != kNull; next = s.byte()) {
                if (auto item = s.stringValue(next))
                    state.items.append(*item);
                else
                    s.skip(next, 1);
            }
        } else {
            s.skip(type, 0);
        }
    }
    // A combo box has no children: their list is empty.
    if (!s.ok() || s.byte() != kNull || !s.ok())
        return std::nullopt;
    position = s.position();
    return state;
}

}  // namespace sondar
