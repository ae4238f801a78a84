// The demo service's WSDL: one service, DemoService, with a document/literal port and an
// rpc/encoded port.
#pragma once

#include <string>
#include <string_view>

namespace nv::demo {

// The document with both soap:address locations on `hostPort` ("127.0.0.1:8089"), which the
// caller has checked holds only host-name characters.
std::string demoWsdl(std::string_view hostPort);

}  // namespace nv::demo
