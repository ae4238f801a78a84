#include "workbench/core/engine/nvws_control.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/safearray.h"
#include "workbench/core/engine/com_error.h"

namespace sondar {

namespace {

nv::com::Bstr toBstr(const QString& text) {
    return nv::com::Bstr(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

QStringList nameArrayTexts(const VARIANT& array) {
    QStringList texts;
    if (array.vt != (VT_ARRAY | VT_VARIANT) || !array.parray)
        return texts;
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array.parray, 1, &lower);
    SafeArrayGetUBound(array.parray, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        nv::com::Variant element;
        LONG index = i;
        if (FAILED(SafeArrayGetElement(array.parray, &index, static_cast<VARIANT*>(&element))))
            continue;
        texts.append(element.vt == VT_BSTR ? fromBstr(element.bstrVal) : QString());
    }
    return texts;
}

// The registration tool as installed beside the program, else its plain name.
QString registrationHint() {
    const QString programDir = QCoreApplication::applicationDirPath();
    QString tool = QStringLiteral("nvregsvr");
    if (QFileInfo::exists(programDir + QStringLiteral("/nvregsvr")))
        tool = programDir + QStringLiteral("/nvregsvr");
    QString server = QStringLiteral("libwscom.so");
    for (const QString& candidate : {programDir + QStringLiteral("/../lib/libwscom.so"),
                                     programDir + QStringLiteral("/libwscom.so")}) {
        if (QFileInfo::exists(candidate)) {
            server = QFileInfo(candidate).canonicalFilePath();
            break;
        }
    }
    return QStringLiteral("The component server wscom is not registered. Register it with: ") +
           tool + QStringLiteral(" register ") + server;
}

}  // namespace

QString fromBstr(BSTR text) {
    if (!text)
        return {};
    return QString(reinterpret_cast<const QChar*>(text),
                   static_cast<qsizetype>(SysStringLen(text)));
}

QString activationFailureText(HRESULT code) {
    QString text = comErrorText(code);
    if (code == REGDB_E_CLASSNOTREG || code == CO_E_DLLNOTFOUND || code == CO_E_ERRORINDLL)
        text += QStringLiteral(". ") + registrationHint();
    return text;
}

INVWSControl* TCNVWSControl::object() {
    if (!object_) {
        const HRESULT hr = CoCreateInstance(wscom::kClsidNVWSControl, nullptr,
                                            CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                            wscom::kIidINVWSControl, object_.putVoid());
        if (FAILED(hr))
            throw EOleSysError(hr, activationFailureText(hr));
    }
    return object_.get();
}

void TCNVWSControl::ConnectWSDL(const QString& wsdl, QStringList& serviceArray,
                                QString& errorText) {
    nv::com::Variant array;
    nv::com::Bstr error;
    const HRESULT hr = object()->ConnectWSDL(toBstr(wsdl).get(), &array, error.out());
    errorText = fromBstr(error.get());
    serviceArray = nameArrayTexts(array);
    oleCheck(hr);
}

void TCNVWSControl::GetOperations(const QString& serviceName, QStringList& operationArray,
                                  QString& errorText) {
    nv::com::Variant array;
    nv::com::Bstr error;
    const HRESULT hr = object()->GetOperations(toBstr(serviceName).get(), &array, error.out());
    errorText = fromBstr(error.get());
    operationArray = nameArrayTexts(array);
    oleCheck(hr);
}

void TCNVWSControl::GetInputStructure(const QString& operationName, IOMessageArray& parameterArray,
                                      QString& errorText) {
    nv::com::Variant array;
    nv::com::Bstr error;
    const HRESULT hr =
        object()->GetInputStructure(toBstr(operationName).get(), &array, error.out());
    errorText = fromBstr(error.get());
    parameterArray = IOMessageArray(std::move(array));
    oleCheck(hr);
}

void TCNVWSControl::GetOutputStructure(const QString& operationName, IOMessageArray& parameterArray,
                                       QString& errorText) {
    nv::com::Variant array;
    nv::com::Bstr error;
    const HRESULT hr =
        object()->GetOutputStructure(toBstr(operationName).get(), &array, error.out());
    errorText = fromBstr(error.get());
    parameterArray = IOMessageArray(std::move(array));
    oleCheck(hr);
}

void TCNVWSControl::GetInputStructureOfAType(const QString& elementName, int level,
                                             const QString& typeName,
                                             IOMessageArray& parameterArray, QString& errorText) {
    nv::com::Variant array;
    nv::com::Bstr error;
    const HRESULT hr = object()->GetInputStructureOfAType(
        toBstr(elementName).get(), level, toBstr(typeName).get(), &array, error.out());
    errorText = fromBstr(error.get());
    parameterArray = IOMessageArray(std::move(array));
    oleCheck(hr);
}

void TCNVWSControl::InvokeOperation(const QString& operationName, IOMessageArray& inputParameters,
                                    IOMessageArray& outputParameters, QString& errorText) {
    nv::com::Variant output;
    nv::com::Bstr error;
    const HRESULT hr = object()->InvokeOperation(toBstr(operationName).get(),
                                                 inputParameters.variant(), &output, error.out());
    errorText = fromBstr(error.get());
    outputParameters = IOMessageArray(std::move(output));
    oleCheck(hr);
}

void TCNVWSControl::GetInputSoapMessage(const QString& operationName,
                                        IOMessageArray& inputParameters, QString& soapMessage,
                                        QString& errorText) {
    nv::com::Bstr message;
    nv::com::Bstr error;
    const HRESULT hr = object()->GetInputSoapMessage(
        toBstr(operationName).get(), inputParameters.variant(), message.out(), error.out());
    errorText = fromBstr(error.get());
    soapMessage = fromBstr(message.get());
    oleCheck(hr);
}

void TCNVWSControl::GetOutputSoapMessage(const QString& operationName, QString& soapMessage,
                                         QString& errorText) {
    nv::com::Bstr message;
    nv::com::Bstr error;
    const HRESULT hr =
        object()->GetOutputSoapMessage(toBstr(operationName).get(), message.out(), error.out());
    errorText = fromBstr(error.get());
    soapMessage = fromBstr(message.get());
    oleCheck(hr);
}

QString TCNVWSControl::EncryptPassword(const QString& proxyServer, const QString& password) {
    nv::com::Bstr result;
    oleCheck(
        object()->EncryptPassword(toBstr(proxyServer).get(), toBstr(password).get(), result.out()));
    return fromBstr(result.get());
}

QString TCNVWSControl::DecryptPassword(const QString& proxyServer, const QString& encrypted) {
    nv::com::Bstr result;
    oleCheck(object()->DecryptPassword(toBstr(proxyServer).get(), toBstr(encrypted).get(),
                                       result.out()));
    return fromBstr(result.get());
}

void TCNVWSControl::SetHTTPAuthentication(const QString& userName, const QString& password,
                                          QString& errorText) {
    nv::com::Bstr error;
    const HRESULT hr = object()->SetHTTPAuthentication(toBstr(userName).get(),
                                                       toBstr(password).get(), error.out());
    errorText = fromBstr(error.get());
    oleCheck(hr);
}

void TCNVWSControl::SetClipboard(const QString& wsdlUrl, const QString& service,
                                 const QString& operation) {
    oleCheck(object()->SetClipboard(toBstr(wsdlUrl).get(), toBstr(service).get(),
                                    toBstr(operation).get()));
}

IOMessageRef TCIOMessage::create() {
    nv::com::ComPtr<IIOMessage> message;
    const HRESULT hr = CoCreateInstance(wscom::kClsidIOMessage, nullptr,
                                        CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                        wscom::kIidIIOMessage, message.putVoid());
    if (FAILED(hr))
        throw EOleSysError(hr, activationFailureText(hr));
    return IOMessageRef(std::move(message));
}

}  // namespace sondar
