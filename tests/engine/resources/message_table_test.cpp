// The built-in message table and message formatting.
#include <gtest/gtest.h>

#include "engine/resources/message_ids.h"
#include "engine/resources/message_table.h"

using namespace wscore;

TEST(MessageTable, TextsKeepTheirBlanksAndLineFeeds) {
    EXPECT_EQ(builtInMessage(msg::UnableToLoadWsdl),
              u"Unable to load WSDL. Check WSDL reference. \nNOTE: Schema and SOAP references "
              u"must be 2001 or greater.\n");
    EXPECT_EQ(builtInMessage(msg::UnableToCreateReader), u"Unable to create SoapReader.\n ");
    EXPECT_EQ(builtInMessage(msg::CheckProxySettings),
              u"\nPlease ensure that your proxy settings are correct.");
    EXPECT_EQ(builtInMessage(msg::UnableToLoadLocalFile), u"Unable to load WSDL from local file. ");
    EXPECT_EQ(builtInMessage(msg::MustAnalyzeFirst),
              u"Must sucessfully analyze a WSDL location before attempting to execute service.\n");
    EXPECT_EQ(builtInMessage(msg::ServiceFault).substr(0, 36),
              u"The following error occurred within ");
    EXPECT_EQ(
        builtInMessage(msg::ServiceFault).substr(builtInMessage(msg::ServiceFault).size() - 3),
        u":\n\n");
}

TEST(MessageTable, EveryListedIdHasATextAndOthersNone) {
    const int listed[] = {101, 110, 115, 116, 117, 118, 119, 120, 122, 123, 126,
                          127, 128, 129, 130, 131, 133, 134, 135, 137, 142, 144};
    for (int id : listed)
        EXPECT_FALSE(builtInMessage(id).empty()) << id;
    for (int id : {0, 100, 102, 121, 132, 136, 143, 145})
        EXPECT_TRUE(builtInMessage(id).empty()) << id;
}

TEST(MessageTable, FormattingFillsPlaceholdersInOrder) {
    EXPECT_EQ(formatMessage(builtInMessage(msg::NotAnOperation), {u"Add", u"Calculator"}),
              u"'Add' is not an Operation of service 'Calculator'.\n");
    EXPECT_EQ(formatMessage(builtInMessage(msg::NoParametersFound), {u"output", u"Op"}),
              u"No output parameters found for Operation 'Op'.\n");
    // Missing arguments leave nothing; a lone '%' stays.
    EXPECT_EQ(formatMessage(u"a %s b %s c 100%", {u"1"}), u"a 1 b  c 100%");
}

TEST(MessageTable, WithoutTheResourceLibraryTheBuiltInTableAnswers) {
    MessageModule module;
    EXPECT_FALSE(module.openResourceLibrary());  // not on this test's library path
    EXPECT_FALSE(module.usesResourceLibrary());
    EXPECT_EQ(module.text(msg::NoDataReturned), u"No data returned from the service.\n");
    EXPECT_EQ(module.text(999), u"");
}
