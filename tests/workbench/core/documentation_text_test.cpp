// The documentation hints of tree nodes and of the "Services:" box.
#include <gtest/gtest.h>

#include "workbench/core/tree/documentation_text.h"

namespace sondar {
namespace {

TEST(DocumentationText, NodesShowTheirWsdlAndKnowledgeBaseTexts) {
    MainState state;
    state.operationArray = {"Get", "Reads one record.", "Put", ""};
    TNVTreeNode root(NodeKind::Root, "Operations");
    EXPECT_EQ(nodeDocumentation(&root, state), "Right-click on any node for function menu...");

    TNVTreeNode get(NodeKind::Operation, "Get");
    get.setData(1);
    EXPECT_EQ(nodeDocumentation(&get, state), "FromWSDL:\nReads one record.\n\n");
    TNVTreeNode put(NodeKind::Operation, "Put");
    put.setData(3);
    EXPECT_EQ(nodeDocumentation(&put, state), "No documentation provided in WSDL.\n");

    state.knowledgeBaseHits = {"Svc.Put=Stores a record", "Svc.Put.Input.id=The key=id"};
    put.KBIndex = 0;
    EXPECT_EQ(nodeDocumentation(&put, state),
              "No documentation provided in WSDL.\nFrom KnowledgeBase:\nStores a record");
    TNVTreeNode field(NodeKind::SimpleField, "id");
    field.KBIndex = 1;
    EXPECT_EQ(nodeDocumentation(&field, state), "From KnowledgeBase:\nThe key=id");
    field.KBIndex = -1;
    EXPECT_EQ(nodeDocumentation(&field, state), "") << "nothing to tell removes the hint";
    EXPECT_EQ(nodeDocumentation(nullptr, state), "");
}

TEST(DocumentationText, ServicesShowTheirDocumentationOrSayWhatIsMissing) {
    MainState state;
    state.serviceDocumentation = {"", "Weather for a city."};
    EXPECT_EQ(serviceDocumentation(0, "Plain", state), "No documentation provided in WSDL.\n");
    EXPECT_EQ(serviceDocumentation(1, "Weather", state), "FromWSDL:\nWeather for a city.\n");
    EXPECT_EQ(serviceDocumentation(-1, "", state), "FromWSDL:\nNo service selected.\n");
    state.knowledgeBaseHits = {"WeatherService=other", "Weather=Free, no key needed"};
    EXPECT_EQ(serviceDocumentation(1, "Weather", state),
              "FromWSDL:\nWeather for a city.\n\nFrom KnowledgeBase:\nFree, no key needed");
}

}  // namespace
}  // namespace sondar
