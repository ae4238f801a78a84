#include "tests/comserver/demo_fixture.h"

#include "platform/registry/registry.h"
#include "platform/text/unicode.h"

namespace wscom::test {

void WscomDemoTest::SetUp() {
    WscomTest::SetUp();
    if (HasFatalFailure())
        return;
    nv::registry::Key key;
    ASSERT_EQ(nv::registry::Key::create(nv::registry::Hive::CurrentUser,
                                        u"Software\\Norvale\\Sondar", key),
              nv::registry::Status::Ok);
    key.setString(u"Working Directory", nv::text::utf8ToUtf16(files_.path()));
    control_ = newControl();
    ASSERT_TRUE(control_);
    nv::com::Variant services, operations;
    nv::com::Bstr err;
    ASSERT_EQ(control_->ConnectWSDL(nv::com::Bstr::fromUtf8(service_.wsdlUrl()).get(), &services,
                                    err.out()),
              S_OK)
        << utf8(err.get());
    ASSERT_EQ(control_->GetOperations(nv::com::Bstr(u"DemoService").get(), &operations, err.out()),
              S_OK)
        << utf8(err.get());
}

}  // namespace wscom::test
