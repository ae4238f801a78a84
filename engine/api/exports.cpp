// The flat C exports: argument checks, connection lookup, delegation, and the barrier that
// keeps every C++ exception inside the library.
#include "engine/api/wscore.h"

#include <exception>
#include <new>
#include <string>

#include "engine/api/flat_record.h"
#include "engine/api/module_state.h"
#include "engine/api/wsdl_connection.h"
#include "engine/crypto/password_scrambler.h"
#include "platform/com/bstr.h"
#include "platform/text/unicode.h"

using wscore::Direction;
using wscore::FlatRecord;
using wscore::WsdlConnection;

namespace {

constexpr std::u16string_view kInvalidConnection = u"Invalid ConnectionID";
constexpr std::int32_t kSuccess = -1;
constexpr std::int32_t kFailure = 0;

std::u16string_view in(const char16_t* s) {
    return nv::text::view(s);
}

// A new BSTR for an out parameter; throws when memory runs out.
BSTR newBstr(std::u16string_view s) {
    BSTR b = SysAllocStringLen(s.data(), static_cast<unsigned>(s.size()));
    if (!b)
        throw std::bad_alloc();
    return b;
}

std::int32_t fail(BSTR* pErrMsg, std::u16string_view message, std::int32_t result = kFailure) {
    *pErrMsg = newBstr(message);
    return result;
}

// Runs an export body; an exception becomes a failure with its text (when memory allows).
template <typename Body>
std::int32_t guarded(BSTR* pErrMsg, std::int32_t failure, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return failure;
    } catch (const std::exception& e) {
        try {
            if (pErrMsg && !*pErrMsg)
                *pErrMsg = newBstr(u"Internal error: " + nv::text::utf8ToUtf16(e.what()));
        } catch (...) {
        }
        return failure;
    } catch (...) {
        return failure;
    }
}

WsdlConnection* lookup(std::int32_t id) {
    return wscore::connectionRegistry().find(id);
}

std::int32_t structure(std::int32_t connectionId, const char16_t* operationName,
                       Direction direction, ParameterRecord** parameterArray,
                       std::int32_t* parameterCount, BSTR* pErrMsg) {
    if (!parameterArray || !parameterCount || !pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        std::vector<FlatRecord> records;
        std::u16string error;
        if (!c->getStructure(in(operationName), direction, records, error))
            return fail(pErrMsg, error);
        wscore::handOutRecords(records, parameterArray, parameterCount);
        return kSuccess;
    });
}

bool validInput(const ParameterRecord* records, std::int32_t count) {
    return count >= 0 && (count == 0 || records != nullptr);
}

}  // namespace

extern "C" {

int32_t DecryptPassword(const char16_t* proxyServer, const char16_t* encryptedPW, BSTR* pPassword) {
    if (!pPassword)
        return kFailure;
    return guarded(nullptr, kFailure, [&] {
        *pPassword = newBstr(wscore::unscramblePassword(in(proxyServer), in(encryptedPW)));
        return kSuccess;
    });
}

int32_t EncryptPassword(const char16_t* proxyServer, const char16_t* password, BSTR* pEncryptedPW) {
    if (!pEncryptedPW)
        return kFailure;
    return guarded(nullptr, kFailure, [&] {
        *pEncryptedPW = newBstr(wscore::scramblePassword(in(proxyServer), in(password)));
        return kSuccess;
    });
}

int32_t GetInputSoapMessage(int32_t connectionId, const char16_t* operationName,
                            const ParameterRecord* inputParameters, int32_t inputCount,
                            BSTR* pSOAPMessage, BSTR* pErrMsg) {
    if (!pSOAPMessage || !pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        if (!validInput(inputParameters, inputCount))
            return fail(pErrMsg, u"Invalid input parameter array");
        std::u16string text;
        std::u16string error;
        if (!c->getInputSoapMessage(in(operationName),
                                    wscore::copyInputRecords(inputParameters, inputCount), text,
                                    error))
            return fail(pErrMsg, error);
        *pSOAPMessage = newBstr(text);
        return kSuccess;
    });
}

int32_t GetInputStructure(int32_t connectionId, const char16_t* operationName,
                          ParameterRecord** parameterArray, int32_t* parameterCount,
                          BSTR* pErrMsg) {
    return structure(connectionId, operationName, Direction::Input, parameterArray, parameterCount,
                     pErrMsg);
}

int32_t GetInputStructureOfAType(int32_t connectionId, const char16_t* ElementName, int32_t level,
                                 const char16_t* TypeName, ParameterRecord** parameterArray,
                                 int32_t* parameterCount, BSTR* pErrMsg) {
    if (!parameterArray || !parameterCount || !pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        std::vector<FlatRecord> records;
        std::u16string error;
        if (!c->getStructureOfAType(in(ElementName), level, in(TypeName), records, error))
            return fail(pErrMsg, error);
        wscore::handOutRecords(records, parameterArray, parameterCount);
        return kSuccess;
    });
}

int32_t GetOperations(int32_t connectionId, const char16_t* ServiceName, char16_t** operationArray,
                      int32_t* operationCount, BSTR* pErrMsg) {
    if (!operationArray || !operationCount || !pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        std::vector<std::u16string> operations;
        std::u16string error;
        if (!c->getOperations(in(ServiceName), operations, error))
            return fail(pErrMsg, error);
        wscore::handOutStrings(operations, operationArray, operationCount);
        return kSuccess;
    });
}

int32_t GetOutputSoapMessage(int32_t connectionId, const char16_t* operationName,
                             BSTR* pSOAPMessage, BSTR* pErrMsg) {
    if (!pSOAPMessage || !pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        std::u16string text;
        std::u16string error;
        if (!c->getOutputSoapMessage(in(operationName), text, error))
            return fail(pErrMsg, error);
        *pSOAPMessage = newBstr(text);
        return kSuccess;
    });
}

int32_t GetOutputStructure(int32_t connectionId, const char16_t* operationName,
                           ParameterRecord** parameterArray, int32_t* parameterCount,
                           BSTR* pErrMsg) {
    return structure(connectionId, operationName, Direction::Output, parameterArray, parameterCount,
                     pErrMsg);
}

namespace {

int32_t lookupText(int32_t connectionId, const char16_t* operationName, BSTR* pOut, BSTR* pErrMsg,
                   bool action) {
    if (!pOut || !pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        std::u16string value;
        std::u16string error;
        auto found = action ? c->getSoapAction(in(operationName), value, error)
                            : c->getTargetUrl(in(operationName), value, error);
        switch (found) {
            case WsdlConnection::Lookup::Found:
                *pOut = newBstr(value);
                return kSuccess;
            case WsdlConnection::Lookup::Empty:
                return kFailure;  // nothing touched
            case WsdlConnection::Lookup::Failed:
                return fail(pErrMsg, error);
        }
        return kFailure;
    });
}

}  // namespace

int32_t GetSoapAction(int32_t connectionId, const char16_t* operationName, BSTR* pSoapAction,
                      BSTR* pErrMsg) {
    return lookupText(connectionId, operationName, pSoapAction, pErrMsg, true);
}

int32_t GetTargetURL(int32_t connectionId, const char16_t* operationName, BSTR* pTargetURL,
                     BSTR* pErrMsg) {
    return lookupText(connectionId, operationName, pTargetURL, pErrMsg, false);
}

int32_t InvokeOperation(int32_t connectionId, const char16_t* operationName,
                        const ParameterRecord* inputParameters, int32_t inputCount,
                        ParameterRecord** outputParameters, int32_t* outputCount, BSTR* pErrMsg) {
    if (!outputParameters || !outputCount || !pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        if (!validInput(inputParameters, inputCount))
            return fail(pErrMsg, u"Invalid input parameter array");
        std::vector<FlatRecord> output;
        std::u16string error;
        std::int32_t result = c->invokeOperation(
            in(operationName), wscore::copyInputRecords(inputParameters, inputCount), output,
            error);
        if (result != kSuccess) {
            if (!error.empty())
                *pErrMsg = newBstr(error);
            return result;
        }
        wscore::handOutRecords(output, outputParameters, outputCount);
        return kSuccess;
    });
}

int32_t Ping(int32_t connectionId, const char16_t* address, const char16_t* soapAction,
             const char16_t* bodyText, BSTR* pErrMsg) {
    constexpr std::int32_t kNothingReceived = 404;
    if (!pErrMsg)
        return kNothingReceived;
    return guarded(pErrMsg, kNothingReceived, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection, kNothingReceived);
        std::u16string error;
        std::int32_t status = c->ping(in(address), in(soapAction), in(bodyText), error);
        if (!error.empty())
            *pErrMsg = newBstr(error);
        return status;
    });
}

void ReleaseConnection(int32_t connectionId) {
    try {
        std::unique_ptr<WsdlConnection> doomed = wscore::connectionRegistry().remove(connectionId);
        // Destroyed here, outside the registry lock.
    } catch (...) {
    }
}

namespace {

int32_t setCredentials(int32_t connectionId, const char16_t* username, const char16_t* password,
                       BSTR* pErrMsg, bool endpoint) {
    if (!pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        wscore::Credentials credentials{std::u16string(in(username)), std::u16string(in(password))};
        if (endpoint)
            c->setEndpointCredentials(std::move(credentials));
        else
            c->setWsdlCredentials(std::move(credentials));
        return kSuccess;
    });
}

}  // namespace

int32_t SetEndpointHTTPAuthentication(int32_t connectionId, const char16_t* username,
                                      const char16_t* password, BSTR* pErrMsg) {
    return setCredentials(connectionId, username, password, pErrMsg, true);
}

int32_t SetHTTPAuthentication(int32_t connectionId, const char16_t* username,
                              const char16_t* password, BSTR* pErrMsg) {
    return setCredentials(connectionId, username, password, pErrMsg, false);
}

int32_t SetTargetURL(int32_t connectionId, const char16_t* operationName, const char16_t* address,
                     BSTR* pErrMsg) {
    if (!pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        WsdlConnection* c = lookup(connectionId);
        if (!c)
            return fail(pErrMsg, kInvalidConnection);
        std::u16string error;
        if (!c->setTargetUrl(in(operationName), in(address), error))
            return fail(pErrMsg, error);
        return kSuccess;
    });
}

void SetWorkingDirectory(const char16_t* directory) {
    try {
        wscore::setWorkingDirectory(std::u16string(in(directory)));
    } catch (...) {
    }
}

int32_t WSDLConnect(int32_t* connectionId, int32_t connectTimeout, int32_t responseTimeout,
                    const char16_t* WSDL, char16_t** serviceArray, int32_t* serviceCount,
                    BSTR* pErrMsg, const char16_t* cacheName, int32_t useCache, int32_t reserved,
                    int32_t probeOnly, const char16_t* httpUser, const char16_t* httpPassword) {
    (void)reserved;
    if (!connectionId || !serviceArray || !serviceCount || !pErrMsg)
        return kFailure;
    return guarded(pErrMsg, kFailure, [&] {
        wscore::LoadRequest request;
        request.location = std::u16string(in(WSDL));
        request.cacheName = std::u16string(in(cacheName));
        request.useCache = (useCache & 0xFF) != 0;
        request.probeOnly = (probeOnly & 0xFF) != 0;

        WsdlConnection* c = nullptr;
        if (*connectionId == 0) {
            auto fresh = std::make_unique<WsdlConnection>();
            fresh->openMessageLibrary();
            c = fresh.get();
            *connectionId = wscore::connectionRegistry().add(std::move(fresh));
        } else {
            c = lookup(*connectionId);
            if (!c)
                return fail(pErrMsg, kInvalidConnection);
        }
        c->setTimeouts(connectTimeout, responseTimeout);
        if (httpUser)
            c->setWsdlCredentials({std::u16string(in(httpUser)), std::u16string(in(httpPassword))});

        std::vector<std::u16string> services;
        std::u16string error;
        if (!c->load(request, services, error))
            return fail(pErrMsg, error);
        wscore::handOutStrings(services, serviceArray, serviceCount);
        return kSuccess;
    });
}

}  // extern "C"
