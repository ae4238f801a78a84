// Which elements of an input array reach the request. The request text shows it: each
// element is a field named after its index, and the engine writes every record it gets.
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "platform/text/unicode.h"
#include "tests/comserver/demo_fixture.h"

namespace wscom::test {

namespace {

struct Field {
    LONG level;
    bool required;
    std::u16string value;
};

// The straightforward reading of the rule, for comparison: a field is sent when it has a
// value, when it and its parent are required (the top level counting as required), or when
// a child is sent; a sent field also brings its required children along.
std::vector<bool> expectedSelection(const std::vector<Field>& fields) {
    const long n = static_cast<long>(fields.size());
    std::vector<long> parent(n, -1);  // -1: the top level
    for (long i = 0; i < n; ++i)
        for (long j = i - 1; j >= 0; --j)
            if (fields[j].level == fields[i].level - 1) {
                parent[i] = j;
                break;
            }
    std::vector<bool> returned(n), childReturned(n);
    bool topReturned = false;
    for (long i = n - 1; i >= 0; --i) {
        bool parentRequired = parent[i] < 0 || fields[parent[i]].required;
        returned[i] =
            childReturned[i] || (parentRequired && fields[i].required) || !fields[i].value.empty();
        if (returned[i] && parent[i] < 0)
            topReturned = true;
        else if (returned[i])
            childReturned[parent[i]] = true;
    }
    std::vector<bool> sent(n);
    for (long i = 0; i < n; ++i) {
        bool siblingsSent = parent[i] < 0 ? topReturned : childReturned[parent[i]];
        sent[i] = returned[i] || (fields[i].required && siblingsSent);
    }
    return sent;
}

class WscomSelection : public WscomDemoTest {
  protected:
    // Sends the fields as the input of EchoString and lists, in order, the indexes of the
    // fields the request holds.
    std::vector<int> sentIndexes(const std::vector<Field>& fields) {
        std::vector<nv::com::ComPtr<IIOMessage>> messages;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            auto m = newMessage();
            bool parent = i + 1 < fields.size() && fields[i + 1].level > fields[i].level;
            m->put_level(fields[i].level);
            m->put_isRequired(fields[i].required ? VARIANT_TRUE : VARIANT_FALSE);
            m->put_isComplexType(parent ? VARIANT_TRUE : VARIANT_FALSE);
            setText(m.get(), &IIOMessage::put_fieldName,
                    u"f" + nv::text::utf8ToUtf16(std::to_string(i)));
            setText(m.get(), &IIOMessage::put_theData, fields[i].value);
            setText(m.get(), &IIOMessage::put_dataType, u"string");
            setText(m.get(), &IIOMessage::put_prefix, u"");
            messages.push_back(m);
        }
        nv::com::Variant input = fields.empty() ? nv::com::Variant() : messageArray(messages);
        nv::com::Bstr soap, err;
        EXPECT_EQ(control_->GetInputSoapMessage(nv::com::Bstr(u"EchoString").get(), &input,
                                                soap.out(), err.out()),
                  S_OK)
            << utf8(err.get());
        std::string text = soap.utf8();
        std::vector<int> sent;
        std::regex tag(R"(<(?:[\w.-]+:)?f(\d+)[\s/>])");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), tag);
             it != std::sregex_iterator(); ++it)
            sent.push_back(std::stoi((*it)[1].str()));
        return sent;
    }

    static std::vector<int> indexesOf(const std::vector<bool>& marks) {
        std::vector<int> out;
        for (std::size_t i = 0; i < marks.size(); ++i)
            if (marks[i])
                out.push_back(static_cast<int>(i));
        return out;
    }
};

TEST_F(WscomSelection, TheWorkedExampleSendsAllButTheEmptyOptionalField) {
    // A (optional) holding B (required, empty) and C (optional, with a value); D required
    // and empty; E optional and empty.
    std::vector<Field> fields = {
        {1, false, u""}, {2, true, u""}, {2, false, u"c"}, {1, true, u""}, {1, false, u""}};
    EXPECT_EQ(sentIndexes(fields), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(WscomSelection, ARequiredFieldUnderAnEmptyOptionalParentStaysOut) {
    std::vector<Field> fields = {{1, false, u""}, {2, true, u""}, {1, false, u"x"}};
    EXPECT_EQ(sentIndexes(fields), (std::vector<int>{2}));
}

TEST_F(WscomSelection, TwoSpacesCountAsAValue) {
    // The default of a new object: an optional field left as created is sent.
    std::vector<Field> fields = {{1, false, u"  "}, {1, false, u""}};
    EXPECT_EQ(sentIndexes(fields), (std::vector<int>{0}));
}

TEST_F(WscomSelection, AnEmptyArraySendsNoRecords) {
    EXPECT_TRUE(sentIndexes({}).empty());
}

TEST_F(WscomSelection, MatchesTheRuleOnGeneratedTrees) {
    std::mt19937 random(20240611);
    for (int tree = 0; tree < 300; ++tree) {
        std::vector<Field> fields;
        int count = 1 + static_cast<int>(random() % 24);
        LONG previous = 0;
        for (int i = 0; i < count; ++i) {
            LONG level = 1 + static_cast<LONG>(random() % (previous + 1));
            if (random() % 2)
                level = previous + 1;  // lean towards nesting
            const char16_t* values[] = {u"", u"", u"v", u"  "};
            fields.push_back({level, random() % 2 == 0, values[random() % 4]});
            previous = level;
        }
        std::vector<int> expected = indexesOf(expectedSelection(fields));
        ASSERT_EQ(sentIndexes(fields), expected) << "tree " << tree;
    }
}

TEST_F(WscomSelection, ElementsThatBreakTheLevelRuleAreKept) {
    // A first level of 2, a jump of two, a level of 0 and a negative one: each element with
    // a value is still sent, in array order, and the call succeeds.
    std::vector<Field> fields = {{2, false, u"a"}, {4, false, u"b"},  {1, false, u"c"},
                                 {0, false, u"d"}, {-3, false, u"e"}, {7, false, u"f"}};
    EXPECT_EQ(sentIndexes(fields), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

}  // namespace

}  // namespace wscom::test
