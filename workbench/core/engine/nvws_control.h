// The workbench's handle on the engine: one service control object of the registered
// component server, created on the first call (by class id, as registered), and one IOMessage
// factory. Every method forwards to one method of the object; a failed HRESULT raises
// EOleSysError, and the engine's own message is in `errorText` whether or not it raised.
#pragma once

#include <QString>
#include <QStringList>

#include "comserver/wscom_interfaces.h"
#include "platform/com/com_ptr.h"
#include "workbench/core/engine/io_message.h"

namespace sondar {

class TCNVWSControl {
  public:
    TCNVWSControl() = default;
    TCNVWSControl(const TCNVWSControl&) = delete;
    TCNVWSControl& operator=(const TCNVWSControl&) = delete;

    // Name arrays come back as their texts: name, description, name, description, ...
    void ConnectWSDL(const QString& wsdl, QStringList& serviceArray, QString& errorText);
    void GetOperations(const QString& serviceName, QStringList& operationArray, QString& errorText);
    void GetInputStructure(const QString& operationName, IOMessageArray& parameterArray,
                           QString& errorText);
    void GetOutputStructure(const QString& operationName, IOMessageArray& parameterArray,
                            QString& errorText);
    void GetInputStructureOfAType(const QString& elementName, int level, const QString& typeName,
                                  IOMessageArray& parameterArray, QString& errorText);
    void InvokeOperation(const QString& operationName, IOMessageArray& inputParameters,
                         IOMessageArray& outputParameters, QString& errorText);
    void GetInputSoapMessage(const QString& operationName, IOMessageArray& inputParameters,
                             QString& soapMessage, QString& errorText);
    void GetOutputSoapMessage(const QString& operationName, QString& soapMessage,
                              QString& errorText);
    QString EncryptPassword(const QString& proxyServer, const QString& password);
    QString DecryptPassword(const QString& proxyServer, const QString& encrypted);
    void SetHTTPAuthentication(const QString& userName, const QString& password,
                               QString& errorText);
    void SetClipboard(const QString& wsdlUrl, const QString& service, const QString& operation);

    // Whether the object exists yet (it is created by the first call).
    bool connected() const { return static_cast<bool>(object_); }

  private:
    INVWSControl* object();

    nv::com::ComPtr<INVWSControl> object_;
};

// Creates new IOMessage objects of the component server (for added array elements).
class TCIOMessage {
  public:
    // A new object with the server's defaults; raises EOleSysError when it cannot be created.
    IOMessageRef create();
};

// The message for a failed creation of a component-server object: the runtime's text, and
// when the class is not registered, how to register it.
QString activationFailureText(HRESULT code);

// Converts between QString and the UTF-16 units the component server takes.
QString fromBstr(BSTR text);

}  // namespace sondar
