// A control object connected to the demo service, with its service selected.
#pragma once

#include "examples/demo_service/demo_service.h"
#include "tests/comserver/wscom_client.h"
#include "tests/support/temp_dir.h"

namespace wscom::test {

class WscomDemoTest : public WscomTest {
  protected:
    void SetUp() override;

    nv::test::TempDir files_{"wscom-files"};  // the engine saves returned files here
    nv::demo::DemoService service_;
    nv::com::ComPtr<INVWSControl> control_;
};

}  // namespace wscom::test
