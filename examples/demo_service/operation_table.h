// What an operation of the demo service gets to work with, and how each port lists its
// operations.
#pragma once

#include <string_view>

#include "examples/demo_service/answer.h"
#include "examples/demo_service/request_reader.h"
#include "platform/soap/reader.h"
#include "platform/xmldom/node.h"

namespace nv::demo {

// Everything here is borrowed from the dispatcher for the length of one handler call.
struct Call {
    const soap::Reader& message;  // the parsed request, attachments included
    const RequestReader& read;    // over the message's Body
    xml::Node operation;          // the Body entry naming the operation
    std::string_view user;        // the authenticated user, for operations that need one
};

// Answers the call, or raises SoapFault.
using Handler = Answer (*)(const Call& call);

struct Operation {
    std::string_view name;  // the operation element's local name
    Handler handler;
    bool needsBasicAuth = false;
    // The header entry (local name) the operation reads; mustUnderstand on any other is a fault.
    std::string_view understoodHeader = {};
};

}  // namespace nv::demo
