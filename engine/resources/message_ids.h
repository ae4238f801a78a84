// Ids of the engine's message texts (the string table of the engine and of its optional
// resource library share them).
#pragma once

namespace wscore::msg {

enum Id : int {
    UnableToLoadWsdl = 101,
    NoOperationsFound = 110,
    NotAnOperation = 115,
    ServiceNotFound = 116,
    NoParametersFound = 117,
    FailedToSend = 118,
    UnableToCreateReader = 119,
    FailedToReadResponse = 120,
    UnableToCreateConnector = 122,
    UnableToCreateSerializer = 123,
    SerializerNotRegistered = 126,
    ReaderNotRegistered = 127,
    ServiceFault = 128,
    CheckProxySettings = 129,
    NoDataReturned = 130,
    NoInternetConnection = 131,
    HttpRequestFailed = 133,
    FailedToCreateInput = 134,
    MustAnalyzeFirst = 135,
    AuthenticationNotSupported = 137,
    UnableToLoadLocalFile = 142,
    DomParseFailed = 144,
};

}  // namespace wscore::msg
