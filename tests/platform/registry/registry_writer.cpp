// Helper process for the registry tests.
//   registry_writer <dir> values <tag> <count>   sets DWORD "<tag>-<i>" = i in HKCU\Race
//   registry_writer <dir> churn <tag>             rewrites HKCU\Churn\<tag> forever
//   registry_writer <dir> sleep <tag>             stays alive without writing until killed
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "platform/registry/registry.h"
#include "platform/text/unicode.h"

using nv::registry::Hive;
using nv::registry::Key;
using nv::registry::Status;

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    setenv("NORVALE_REGISTRY_DIR", argv[1], 1);
    std::string mode = argv[2];
    std::u16string tag = nv::text::utf8ToUtf16(argv[3]);
    if (mode == "values" && argc == 5) {
        int count = std::atoi(argv[4]);
        Key key;
        if (Key::create(Hive::CurrentUser, u"Race", key) != Status::Ok)
            return 3;
        for (int i = 0; i < count; ++i) {
            std::u16string name = tag + u"-" + nv::text::utf8ToUtf16(std::to_string(i));
            if (key.setDword(name, static_cast<std::uint32_t>(i)) != Status::Ok)
                return 4;
        }
        return 0;
    }
    if (mode == "sleep") {
        for (;;)
            pause();
    }
    if (mode == "churn") {
        Key key;
        if (Key::create(Hive::CurrentUser, u"Churn\\" + tag, key) != Status::Ok)
            return 3;
        std::u16string payload(2000, u'x');
        for (std::uint32_t i = 0;; ++i) {
            key.setDword(u"Counter", i);
            key.setString(u"Payload", payload);
        }
    }
    return 2;
}
