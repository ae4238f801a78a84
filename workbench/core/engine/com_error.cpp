#include "workbench/core/engine/com_error.h"

#include <utility>

namespace sondar {

EOleSysError::EOleSysError(HRESULT code, QString message)
    : code_(code), message_(std::move(message)), utf8_(message_.toUtf8()) {}

QString comErrorText(HRESULT code) {
    switch (code) {
        case E_FAIL:
            return QStringLiteral("Unspecified error");
        case E_NOTIMPL:
            return QStringLiteral("Not implemented");
        case E_NOINTERFACE:
            return QStringLiteral("No such interface supported");
        case E_POINTER:
            return QStringLiteral("Invalid pointer");
        case E_ABORT:
            return QStringLiteral("Operation aborted");
        case E_UNEXPECTED:
            return QStringLiteral("Catastrophic failure");
        case E_ACCESSDENIED:
            return QStringLiteral("Access is denied");
        case E_OUTOFMEMORY:
            return QStringLiteral("Not enough storage is available to complete this operation");
        case E_INVALIDARG:
            return QStringLiteral("The parameter is incorrect");
        case REGDB_E_CLASSNOTREG:
            return QStringLiteral("Class not registered");
        case REGDB_E_READREGDB:
            return QStringLiteral("Could not read key from registry");
        case CO_E_NOTINITIALIZED:
            return QStringLiteral("CoInitialize has not been called");
        case CO_E_DLLNOTFOUND:
            return QStringLiteral("DLL for class not found");
        case CO_E_ERRORINDLL:
            return QStringLiteral("Error in the DLL");
        case CO_E_CLASSSTRING:
            return QStringLiteral("Invalid class string");
        case CLASS_E_CLASSNOTAVAILABLE:
            return QStringLiteral("ClassFactory cannot supply requested class");
        case DISP_E_EXCEPTION:
            return QStringLiteral("Exception occurred");
        case DISP_E_TYPEMISMATCH:
            return QStringLiteral("Type mismatch");
        default:
            return QStringLiteral("OLE error %1")
                .arg(static_cast<quint32>(code), 8, 16, QLatin1Char('0'))
                .toUpper()
                .replace(QStringLiteral("OLE ERROR"), QStringLiteral("OLE error"));
    }
}

void oleCheck(HRESULT code) {
    if (FAILED(code))
        throw EOleSysError(code, comErrorText(code));
}

}  // namespace sondar
