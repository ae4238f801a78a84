#include "comserver/input_selection.h"

#include <cstddef>

namespace wscom {

namespace {

constexpr std::size_t kRoot = 0;

struct Node {
    LONG level = 0;
    bool required = true;  // the root counts as required for its children
    bool hasValue = false;
    bool* sendMark = nullptr;  // null for the root
    std::vector<std::size_t> children;
};

// The tree over the items; node i + 1 is item i, node 0 the root at level 0.
std::vector<Node> buildTree(const std::vector<SelectionItem>& items) {
    std::vector<Node> nodes(items.size() + 1);
    // The current path from the root to the last element attached. Attaching under the
    // deepest node whose level is lower is the level rule (a child at level + 1, a sibling,
    // or back under an ancestor) for well-formed arrays.
    std::vector<std::size_t> path{kRoot};
    for (std::size_t i = 0; i < items.size(); ++i) {
        Node& node = nodes[i + 1];
        node.level = items[i].level;
        node.required = items[i].required;
        node.hasValue = items[i].hasValue;
        node.sendMark = items[i].sendMark;
        while (path.size() > 1 && nodes[path.back()].level >= node.level)
            path.pop_back();
        nodes[path.back()].children.push_back(i + 1);
        path.push_back(i + 1);
    }
    return nodes;
}

// Evaluates the tree depth first without recursion (arrays can nest deeply): a node's
// children are evaluated before the node itself, in array order.
void evaluate(std::vector<Node>& nodes) {
    struct Frame {
        std::size_t node;
        bool parentRequired;
        std::size_t nextChild = 0;
        bool anyChildSent = false;
    };
    std::vector<Frame> stack{{kRoot, true}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        Node& node = nodes[top.node];
        if (top.nextChild < node.children.size()) {
            std::size_t child = node.children[top.nextChild++];
            stack.push_back({child, node.required});
            continue;
        }
        bool result;
        if (top.anyChildSent) {
            result = true;
            if (node.sendMark)
                *node.sendMark = true;
            for (std::size_t child : node.children)
                if (nodes[child].required)
                    *nodes[child].sendMark = true;
        } else {
            result = (top.parentRequired && node.required) || node.hasValue;
            if (node.sendMark)
                *node.sendMark = result;
        }
        stack.pop_back();
        if (!stack.empty() && result)
            stack.back().anyChildSent = true;
    }
}

}  // namespace

void markInputRecords(const std::vector<SelectionItem>& items) {
    std::vector<Node> nodes = buildTree(items);
    evaluate(nodes);
}

}  // namespace wscom
