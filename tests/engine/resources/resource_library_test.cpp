// With a resource library on the library path, its texts replace the built-in ones.
#include <gtest/gtest.h>

#include "engine/resources/message_ids.h"
#include "engine/resources/message_table.h"

using namespace wscore;

TEST(ResourceLibrary, ItsTextsWinAndTheTableFillsTheGaps) {
    MessageModule module;
    ASSERT_TRUE(module.openResourceLibrary());
    EXPECT_TRUE(module.usesResourceLibrary());
    EXPECT_EQ(module.text(msg::NoDataReturned), u"Keine Daten vom Dienst erhalten.\n");
    EXPECT_EQ(formatMessage(module.text(msg::ServiceNotFound), {u"X"}),
              u"Dienst 'X' nicht gefunden.\n");
    // An id the library lacks still has its built-in text.
    EXPECT_EQ(module.text(msg::MustAnalyzeFirst),
              u"Must sucessfully analyze a WSDL location before attempting to execute service.\n");
}

TEST(ResourceLibrary, EachModuleOpensAndClosesItsOwnHandle) {
    for (int i = 0; i < 100; ++i) {
        MessageModule module;
        ASSERT_TRUE(module.openResourceLibrary());
        EXPECT_TRUE(module.openResourceLibrary());  // a second open keeps the one handle
    }
}
