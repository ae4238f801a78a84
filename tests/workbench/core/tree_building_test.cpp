// How flat records become the parameter tree: nesting by level, arrays, booleans,
// enumerations, structures and attributes, and the knowledge-base keys of the nodes.
#include <gtest/gtest.h>

#include "tests/workbench/support/workbench_harness.h"
#include "workbench/core/tree/enum_values.h"
#include "workbench/core/tree/kb_index.h"
#include "workbench/core/tree/subtree_builder.h"

namespace sondar::test {
namespace {

struct Spec {
    int level;
    QString name;
    QString type = QStringLiteral("string");
    bool isArray = false;
    bool isComplex = false;
    int arrayMax = 0;
    QString info = QString();
    QString data = QString();
    bool hasEnum = false;
    bool isAttribute = false;
    bool isSimpleDataField = false;
};

class TreeBuilding : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(harness_.comReady); }

    IOMessageArray records(const std::vector<Spec>& specs) {
        std::vector<IOMessageRef> messages;
        for (const Spec& s : specs) {
            IOMessageRef m = factory_.create();
            m.setLevel(s.level);
            m.setFieldName(s.name);
            m.setDataType(s.type);
            m.setIsArray(s.isArray);
            m.setIsComplexType(s.isComplex);
            m.setArrayMax(s.arrayMax);
            m.setInfo(s.info);
            m.setTheData(s.data);
            m.setHasEnumValues(s.hasEnum);
            m.setIsAttribute(s.isAttribute);
            m.setIsSimpleDataField(s.isSimpleDataField);
            messages.push_back(m);
        }
        return IOMessageArray::fromMessages(messages);
    }

    // Builds under a message node of the given direction.
    std::unique_ptr<TNVTreeNode> build(const IOMessageArray& array, MessageDirection direction) {
        auto message = std::make_unique<TNVTreeNode>(
            direction == MessageDirection::Input ? NodeKind::InputMessage : NodeKind::OutputMessage,
            QStringLiteral("Input"));
        for (auto& child : buildMessageSubtree(array, direction))
            message->appendChild(std::move(child));
        return message;
    }

    CoreHarness harness_;
    TCIOMessage factory_;
};

TEST_F(TreeBuilding, NestsByLevelClimbingBackToTheRecordsLevel) {
    auto deep =
        build(records({{1, "a", "T", false, true}, {2, "b", "T", false, true}, {3, "c"}, {1, "d"}}),
              MessageDirection::Input);
    ASSERT_EQ(childCaptions(deep.get()), QStringList({"a", "d"}));
    EXPECT_NE(nodeAt(deep.get(), "a/b/c"), nullptr) << "the third record is a grandchild";

    // A jump of two levels nests one step; the next record climbs one step from there.
    auto jump =
        build(records({{1, "a", "T", false, true}, {3, "b"}, {2, "c"}}), MessageDirection::Input);
    EXPECT_EQ(childCaptions(jump.get()), QStringList({"a", "c"}));
    EXPECT_EQ(childCaptions(nodeAt(jump.get(), "a")), QStringList({"b"}));
}

TEST_F(TreeBuilding, SimpleFieldsCarryValueThenTypeAndPointAtTheirRecord) {
    IOMessageArray array = records({{1, "name", "string", false, false, 0, "", "Ada"}});
    auto message = build(array, MessageDirection::Output);
    TNVTreeNode* field = nodeAt(message.get(), "name");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->kind(), NodeKind::SimpleField);
    EXPECT_EQ(field->KBIndex, 0);
    ASSERT_EQ(field->childCount(), 2);
    EXPECT_EQ(field->child(0)->kind(), NodeKind::Value);
    EXPECT_EQ(field->child(0)->caption(), "Ada");
    EXPECT_EQ(field->child(0)->KBIndex, -1);
    EXPECT_EQ(field->child(1)->kind(), NodeKind::Type);
    EXPECT_EQ(field->child(1)->caption(), "string");
    // The node shares the array's object: a value written through it is what gets sent.
    field->message().setTheData(QStringLiteral("Grace"));
    EXPECT_EQ(array.at(0).theData(), "Grace");
}

TEST_F(TreeBuilding, InputArraysGrowToOneElementOutputArraysShowNoCount) {
    const std::vector<Spec> specs{{1, "items", "string", true, false, 0}};
    IOMessageArray input = records(specs);
    auto in = build(input, MessageDirection::Input);
    ASSERT_EQ(childCaptions(in.get()), QStringList({"items [1]"}));
    EXPECT_EQ(input.at(0).arrayMax(), 1);
    TNVTreeNode* inputArray = in->child(0);
    EXPECT_EQ(inputArray->kind(), NodeKind::Structure);
    EXPECT_FALSE(inputArray->hasChildren()) << "an input array of simple type has no value node";
    EXPECT_EQ(input.at(0).info(), "0") << "an array placed one level deeper records its position";

    IOMessageArray output = records(specs);
    auto out = build(output, MessageDirection::Output);
    ASSERT_EQ(childCaptions(out.get()), QStringList({"items []"}));
    EXPECT_EQ(output.at(0).arrayMax(), 0);
    EXPECT_EQ(out->child(0)->kind(), NodeKind::Structure);
}

TEST_F(TreeBuilding, BooleanInputsBecomeTrueFalseChoicesOutputsStayPlain) {
    const std::vector<Spec> specs{{1, "flag", "boolean", false, false, 0, "", "1"}};
    IOMessageArray input = records(specs);
    auto in = build(input, MessageDirection::Input);
    TNVTreeNode* value = nodeAt(in.get(), "flag")->child(0);
    EXPECT_TRUE(value->HasEnumList);
    ASSERT_NE(value->enumList(), nullptr);
    EXPECT_EQ(*value->enumList(), QStringList({"true", "false"}));
    EXPECT_EQ(value->caption(), "");
    EXPECT_EQ(input.at(0).info(), "true|false");
    EXPECT_TRUE(input.at(0).hasEnumValues());
    EXPECT_EQ(input.at(0).theData(), "");

    IOMessageArray output = records(specs);
    auto out = build(output, MessageDirection::Output);
    TNVTreeNode* plain = nodeAt(out.get(), "flag")->child(0);
    EXPECT_FALSE(plain->HasEnumList);
    EXPECT_EQ(plain->caption(), "1");
}

TEST_F(TreeBuilding, EnumerationsListEachValueOnceInOrder) {
    auto message = build(records({{1, "colour", "Colour", false, false, 0, "A | B|A|C", "", true}}),
                         MessageDirection::Input);
    const TNVTreeNode* value = nodeAt(message.get(), "colour")->child(0);
    ASSERT_NE(value->enumList(), nullptr);
    EXPECT_EQ(*value->enumList(), QStringList({"A", "B", "C"}));
    EXPECT_EQ(nodeAt(message.get(), "colour")->child(1)->caption(), "Colour");

    // A value text longer than the list text holds the list, and the value becomes the list.
    IOMessageArray swapped =
        records({{1, "size", "Size", false, false, 0, "S", "small|medium|large", true}});
    auto other = build(swapped, MessageDirection::Input);
    EXPECT_EQ(*nodeAt(other.get(), "size")->child(0)->enumList(),
              QStringList({"small", "medium", "large"}));
    EXPECT_EQ(swapped.at(0).theData(), "S");
    EXPECT_EQ(nodeAt(other.get(), "size")->child(0)->caption(), "S");
}

TEST_F(TreeBuilding, AllowedValuesIgnoreCaseForDuplicatesAndCutLongRests) {
    EXPECT_EQ(splitAllowedValues("Red|red| RED |Blue"), QStringList({"Red", "Blue"}));
    EXPECT_EQ(splitAllowedValues("only"), QStringList({"only"}));
    const QString longPiece(300, QLatin1Char('x'));
    const QStringList cut = splitAllowedValues("a|" + longPiece);
    ASSERT_EQ(cut.size(), 2);
    EXPECT_EQ(cut[1].size(), 255);
}

TEST_F(TreeBuilding, StructuresAttributesAndDerivedTypeChoices) {
    auto message =
        build(records({{1, "shape", "Circle", false, true, 0, "Shape|Circle|Square"},
                       {2, "radius", "double"},
                       {2, "unit", "string", false, false, 0, "", "cm", false, true},
                       {1, "amount", "decimal", false, true, 0, "", "12.5", false, false, true}}),
              MessageDirection::Input);
    TNVTreeNode* shape = nodeAt(message.get(), "shape");
    EXPECT_EQ(shape->kind(), NodeKind::Structure);
    EXPECT_EQ(shape->SelectedType, "Circle");
    EXPECT_TRUE(static_cast<bool>(shape->message()));
    EXPECT_EQ(nodeAt(message.get(), "shape/unit")->kind(), NodeKind::AttributeField);
    EXPECT_EQ(nodeAt(message.get(), "shape/unit")->child(0)->caption(), "cm");

    // A structure with simple content has its own value and type nodes.
    TNVTreeNode* amount = nodeAt(message.get(), "amount");
    EXPECT_EQ(amount->kind(), NodeKind::Structure);
    EXPECT_EQ(childCaptions(amount), QStringList({"12.5", "decimal"}));
    EXPECT_TRUE(amount->SelectedType.isEmpty());
}

TEST_F(TreeBuilding, KnowledgeBaseKeysLeaveOutArrayNodes) {
    TNVTree tree;
    TNVTreeNode* root = tree.addRoot(std::make_unique<TNVTreeNode>(NodeKind::Root, "Operations"));
    root->KBIndex = -1;
    TNVTreeNode* op = root->appendChild(std::make_unique<TNVTreeNode>(NodeKind::Operation, "Get"));
    TNVTreeNode* input =
        op->appendChild(std::make_unique<TNVTreeNode>(NodeKind::InputMessage, "Input"));
    input->KBIndex = -1;
    TNVTreeNode* list =
        input->appendChild(std::make_unique<TNVTreeNode>(NodeKind::Structure, "ids [2]"));
    TNVTreeNode* id = list->appendChild(std::make_unique<TNVTreeNode>(NodeKind::SimpleField, "id"));
    auto value = std::make_unique<TNVTreeNode>(NodeKind::Value, "7");
    value->KBIndex = -1;
    TNVTreeNode* valueNode = id->appendChild(std::move(value));

    EXPECT_EQ(knowledgeBaseKey("Svc", id), "Svc.Get.Input.id");
    EXPECT_EQ(knowledgeBaseKey("Svc", op), "Svc.Get");

    computeKnowledgeBaseIndexes(tree, "Svc",
                                {"Svc.Other=x", "Svc.Get.Input.id=The id", "Svc.Get=Reads"});
    EXPECT_EQ(id->KBIndex, 1);
    EXPECT_EQ(op->KBIndex, 2);
    EXPECT_EQ(list->KBIndex, -1) << "no entry";
    EXPECT_EQ(valueNode->KBIndex, -1);
    // A node that once got -1 is not looked at again, even when an entry appears later.
    computeKnowledgeBaseIndexes(tree, "Svc", {"Svc.Get.Input.ids [2]=late"});
    EXPECT_EQ(list->KBIndex, -1);
    EXPECT_EQ(id->KBIndex, -1);
}

}  // namespace
}  // namespace sondar::test
