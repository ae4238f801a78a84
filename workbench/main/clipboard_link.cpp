#include "workbench/main/clipboard_link.h"

#include <memory>
#include <optional>

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

#include "platform/com/clipboard.h"
#include "platform/com/com_ptr.h"
#include "platform/com/data_object.h"
#include "platform/com/global_memory.h"
#include "platform/com/stream.h"
#include "platform/com/task_memory.h"
#include "workbench/core/files/text_decoding.h"

namespace sondar {

const char kLinkSourceMimeType[] = "application/x-sondar-link-source";
const char kLinkSourceDescriptorMimeType[] = "application/x-sondar-link-source-descriptor";

namespace {

// Releases a medium filled by GetData.
class MediumGuard {
  public:
    MediumGuard() = default;
    ~MediumGuard() { ReleaseStgMedium(&medium); }
    MediumGuard(const MediumGuard&) = delete;
    MediumGuard& operator=(const MediumGuard&) = delete;
    STGMEDIUM medium{};
};

std::optional<QByteArray> readGlobal(HGLOBAL block) {
    const SIZE_T size = GlobalSize(block);
    const void* data = GlobalLock(block);
    if (!data)
        return std::nullopt;
    QByteArray bytes(static_cast<const char*>(data), static_cast<qsizetype>(size));
    GlobalUnlock(block);
    return bytes;
}

std::optional<QByteArray> readStream(IStream* stream) {
    QByteArray bytes;
    char chunk[4096];
    for (;;) {
        ULONG got = 0;
        if (FAILED(stream->Read(chunk, sizeof chunk, &got)))
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(chunk, got);
    }
}

// The bytes of one format, or nothing when the object cannot give them as memory or stream.
std::optional<QByteArray> formatBytes(IDataObject* object, const FORMATETC& offered) {
    FORMATETC request = offered;
    request.ptd = nullptr;
    request.tymed = offered.tymed & (TYMED_HGLOBAL | TYMED_ISTREAM);
    if (!request.tymed)
        return std::nullopt;
    MediumGuard guard;
    if (FAILED(object->GetData(&request, &guard.medium)))
        return std::nullopt;
    if (guard.medium.tymed == TYMED_HGLOBAL)
        return readGlobal(guard.medium.hGlobal);
    if (guard.medium.tymed == TYMED_ISTREAM && guard.medium.pstm)
        return readStream(guard.medium.pstm);
    return std::nullopt;
}

// The format's registered name as a MIME type; empty for predefined formats.
QString mimeTypeOf(CLIPFORMAT format) {
    WCHAR name[256] = {};
    const int length = GetClipboardFormatNameW(format, name, 256);
    if (length <= 0)
        return QString();
    QString type = QString::fromUtf16(name, length).toLower();
    type.replace(QLatin1Char(' '), QLatin1Char('-'));
    return QStringLiteral("application/x-sondar-") + type;
}

// Text formats end at their first NUL.
QByteArray untilNul(const QByteArray& bytes, int unitSize) {
    for (qsizetype i = 0; i + unitSize <= bytes.size(); i += unitSize) {
        bool nul = true;
        for (int k = 0; k < unitSize; ++k)
            nul = nul && bytes[i + k] == '\0';
        if (nul)
            return bytes.left(i);
    }
    return bytes;
}

// Adds one format to `data`; false when it was not one the desktop can take.
bool addFormat(QMimeData& data, CLIPFORMAT format, const QByteArray& bytes) {
    if (format == CF_UNICODETEXT) {
        const QByteArray units = untilNul(bytes, 2);
        data.setText(QString::fromUtf16(reinterpret_cast<const char16_t*>(units.constData()),
                                        units.size() / 2));
        return true;
    }
    if (format == CF_TEXT) {
        // The platform layer has no ANSI code page of its own; narrow text is read the way
        // the program reads other users' text files (UTF-8, else Windows-1252).
        if (!data.hasText())
            data.setText(decodeUserText(untilNul(bytes, 1)));
        return true;
    }
    const QString type = mimeTypeOf(format);
    if (type.isEmpty())
        return false;
    data.setData(type, bytes);
    return true;
}

}  // namespace

bool copyOleClipboardToDesktop() {
    // The flush renders the object into the clipboard's own copy and lets the object go, so
    // its library can unload while the link data stays available.
    if (FAILED(OleFlushClipboard()))
        return false;
    nv::com::ComPtr<IDataObject> object;
    if (FAILED(OleGetClipboard(object.put())) || !object)
        return false;
    nv::com::ComPtr<IEnumFORMATETC> formats;
    if (FAILED(object->EnumFormatEtc(DATADIR_GET, formats.put())) || !formats)
        return false;

    auto data = std::make_unique<QMimeData>();
    bool placed = false;
    FORMATETC offered{};
    ULONG fetched = 0;
    while (formats->Next(1, &offered, &fetched) == S_OK && fetched == 1) {
        nv::com::TaskMemPtr<DVTARGETDEVICE> device(offered.ptd);
        const std::optional<QByteArray> bytes = formatBytes(object.get(), offered);
        if (bytes && addFormat(*data, offered.cfFormat, *bytes))
            placed = true;
    }
    if (!placed)
        return false;
    QGuiApplication::clipboard()->setMimeData(data.release());
    return true;
}

}  // namespace sondar
