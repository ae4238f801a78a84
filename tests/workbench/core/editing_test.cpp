// Editing input values in the tree against the real engine: typed values, enumerations,
// derived types, new array elements, and what editing refuses.
#include <gtest/gtest.h>

#include "platform/com/activation.h"
#include "tests/workbench/support/workbench_harness.h"
#include "tests/workbench/support/wsdl_documents.h"

namespace sondar::test {
namespace {

class Editing : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(harness_.comReady);
        ASSERT_EQ(harness_.start(), StartOutcome::Interactive);
        ASSERT_TRUE(harness_.analyze(documents_.url("/orders.wsdl")));
        order_ = nodeAt(root(), "PlaceOrder/Input/PlaceOrder");
        ASSERT_NE(order_, nullptr);
    }
    TNVTreeNode* root() { return harness_.core.tree().root(); }
    TNVTreeNode* input() { return nodeAt(root(), "PlaceOrder/Input"); }
    TreeEditor& editor() { return harness_.core.editor(); }
    QString request() {
        QString text;
        QString error;
        harness_.core.control().GetInputSoapMessage("PlaceOrder", *input()->messageArray(), text,
                                                    error);
        return text;
    }

    WsdlDocuments documents_;
    CoreHarness harness_;
    TNVTreeNode* order_ = nullptr;
};

TEST_F(Editing, OnlyInputValuesAreEditableAndTypedValuesReachTheRequest) {
    TNVTreeNode* customer = nodeAt(order_, "customer")->firstChild();
    EXPECT_TRUE(TreeEditor::isEditableValue(customer));
    EXPECT_FALSE(TreeEditor::isEditableValue(nodeAt(order_, "customer")));
    EXPECT_FALSE(TreeEditor::isEditableValue(nodeAt(order_, "customer")->lastChild()))
        << "type nodes are not values";
    TNVTreeNode* accepted = nodeAt(root(), "PlaceOrder/Output/PlaceOrderResponse/accepted");
    ASSERT_NE(accepted, nullptr);
    EXPECT_FALSE(TreeEditor::isEditableValue(accepted->firstChild())) << "outputs are read-only";
    EXPECT_TRUE(TreeEditor::isDateTimeValue(nodeAt(order_, "due")->firstChild()));
    EXPECT_FALSE(TreeEditor::isDateTimeValue(customer));

    editor().commitValue(customer, "Ada & Co <1>");
    EXPECT_EQ(customer->caption(), "Ada & Co <1>");
    EXPECT_EQ(nodeAt(order_, "customer")->message().theData(), "Ada & Co <1>");
    EXPECT_TRUE(request().contains("Ada &amp; Co &lt;1&gt;")) << request().toStdString();

    // Setting a field by name, as the knowledge base fills requests.
    EXPECT_TRUE(setFieldByName(*input()->messageArray(), "customer", "Grace"));
    EXPECT_FALSE(setFieldByName(*input()->messageArray(), "nobody", "x"));
    EXPECT_TRUE(request().contains(">Grace<"));
}

TEST_F(Editing, EnumerationsOfferTheirValuesWithBlanksKept) {
    TNVTreeNode* priority = nodeAt(order_, "priority")->firstChild();
    auto list = editor().choiceListFor(priority);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->items, QStringList({"Low", "Normal", "Very High"}));
    EXPECT_EQ(list->preselected, 0);
    editor().applyChoice(priority, "Very High");
    EXPECT_EQ(priority->caption(), "Very High");
    EXPECT_EQ(editor().choiceListFor(priority)->preselected, 2)
        << "the current value is preselected";
    EXPECT_TRUE(request().contains(">Very High<"));

    // The field node itself and plain values offer nothing.
    EXPECT_FALSE(editor().choiceListFor(nodeAt(order_, "priority")).has_value());
    EXPECT_FALSE(editor().choiceListFor(nodeAt(order_, "customer")->firstChild()).has_value());
    // A picked date is not offered a list.
    TNVTreeNode* express = nodeAt(order_, "express")->firstChild();
    ASSERT_TRUE(editor().choiceListFor(express).has_value());
    express->DatePicked = true;
    EXPECT_FALSE(editor().choiceListFor(express).has_value());
}

TEST_F(Editing, ChoosingADerivedTypeReplacesTheStructuresFields) {
    TNVTreeNode* package = nodeAt(order_, "package");
    auto list = editor().choiceListFor(package);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->items.size(), 3) << list->items.join("|").toStdString();
    const QString box = list->items.filter("Box").value(0);
    ASSERT_FALSE(box.isEmpty());
    editor().commitValue(nodeAt(order_, "express")->firstChild(), "true");

    editor().applyChoice(package, box);
    package = nodeAt(input(), "PlaceOrder/package");
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->SelectedType, box);
    EXPECT_EQ(package->message().dataType(), box);
    QStringList fields = childCaptions(package);
    fields.sort();
    EXPECT_EQ(fields, QStringList({"height", "label", "width"}));
    EXPECT_EQ(harness_.view.selectedTreeNode, package) << "the structure is selected again";
    // A user's boolean choice survives the rebuild.
    EXPECT_EQ(nodeAt(input(), "PlaceOrder/express")->firstChild()->caption(), "true");
    EXPECT_EQ(nodeAt(input(), "PlaceOrder/express")->message().theData(), "true");
    const QString sent = request();
    EXPECT_TRUE(sent.contains("Box")) << sent.toStdString();
    EXPECT_TRUE(sent.contains("width"));
}

TEST_F(Editing, AddingAnElementCopiesTheLastOneWithItsValues) {
    TNVTreeNode* lines = nodeAt(order_, "line [1]");
    ASSERT_NE(lines, nullptr);
    editor().commitValue(nodeAt(lines, "line/sku")->firstChild(), "X-9");
    editor().commitValue(nodeAt(order_, "express")->firstChild(), "false");
    const std::size_t before = input()->messageArray()->size();

    for (int expected = 2; expected <= 4; ++expected) {
        ASSERT_TRUE(editor().addArrayElement(
            nodeAt(input(), "PlaceOrder/line [" + QString::number(expected - 1) + "]")));
        lines = nodeAt(input(), "PlaceOrder/line [" + QString::number(expected) + "]");
        ASSERT_NE(lines, nullptr) << expected;
        EXPECT_EQ(lines->childCount(), expected);
    }
    // Three records (the element and its two fields) per new element, after the last one.
    EXPECT_EQ(input()->messageArray()->size(), before + 9);
    EXPECT_EQ(lines->message().arrayMax(), 4);
    EXPECT_EQ(nodeAt(lines->child(3), "sku")->firstChild()->caption(), "X-9");
    EXPECT_EQ(harness_.view.selectedTreeNode->caption(), "line");
    EXPECT_EQ(harness_.view.selectedTreeNode->parent(), lines);
    EXPECT_EQ(nodeAt(input(), "PlaceOrder/express")->firstChild()->caption(), "false");

    // The new element's values are its own.
    editor().commitValue(nodeAt(lines->child(3), "sku")->firstChild(), "Z-0");
    EXPECT_EQ(nodeAt(lines->child(2), "sku")->firstChild()->caption(), "X-9");
    const QString sent = request();
    EXPECT_EQ(sent.count("<tns:sku"), 4) << sent.toStdString();
    EXPECT_TRUE(sent.contains("Z-0"));
}

TEST_F(Editing, AddingAnElementIsRefusedWhereItMakesNoSense) {
    EXPECT_FALSE(editor().addArrayElement(nullptr));
    EXPECT_FALSE(
        editor().addArrayElement(nodeAt(root(), "PlaceOrder/Output/PlaceOrderResponse/line []")));
    EXPECT_FALSE(editor().addArrayElement(nodeAt(order_, "customer")));
    EXPECT_EQ(harness_.messages.shown,
              QStringList({"You must first select an array on the tree.",
                           "You can only add an array element to an input array.",
                           "You can only add an array element to an array."}));
    EXPECT_EQ(harness_.status.last(), "Add New Array Element Canceled");

    // An array without any element node has no template: nothing changes.
    TNVTreeNode* lines = nodeAt(order_, "line [1]");
    const auto elements = harness_.core.tree().root() ? lines->childCount() : 0;
    ASSERT_EQ(elements, 1);
    harness_.core.tree().removeChildren(lines);
    const std::size_t size = input()->messageArray()->size();
    EXPECT_FALSE(editor().addArrayElement(lines));
    EXPECT_EQ(harness_.status.last(), "Insert new array element failed.");
    EXPECT_EQ(lines->message().arrayMax(), 1) << "the count is restored";
    EXPECT_EQ(input()->messageArray()->size(), size);
}

}  // namespace
}  // namespace sondar::test
