// Reference counts: objects live exactly as long as their references, the arrays handed back
// and forth hold one each, and the server can be unloaded once everything is released.
#include <vector>

#include "platform/com/safearray.h"
#include "tests/comserver/demo_fixture.h"

namespace wscom::test {

namespace {

// The count after one more AddRef, which is taken back at once.
ULONG referencesOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

class WscomLifetime : public WscomTest {};

TEST_F(WscomLifetime, ThousandsOfMessagesComeAndGo) {
    std::vector<nv::com::ComPtr<IIOMessage>> messages;
    for (int i = 0; i < 5000; ++i) {
        auto m = newMessage();
        ASSERT_TRUE(m);
        EXPECT_EQ(referencesOf(m.get()), 1u);
        nv::com::ComPtr<IDispatch> d;
        ASSERT_EQ(m.as(d), S_OK);
        EXPECT_EQ(referencesOf(m.get()), 2u);
        messages.push_back(m);
    }
    EXPECT_EQ(callServerExport("DllCanUnloadNow"), S_FALSE);
    // An array of them holds one more reference each, and gives it back when cleared.
    nv::com::Variant array = messageArray(messages);
    EXPECT_EQ(referencesOf(messages[0].get()), 2u);
    array.clear();
    EXPECT_EQ(referencesOf(messages[4999].get()), 1u);
    messages.clear();
    EXPECT_EQ(callServerExport("DllCanUnloadNow"), S_OK);
}

TEST_F(WscomLifetime, ControlObjectsComeAndGo) {
    for (int i = 0; i < 200; ++i) {
        auto control = newControl();
        ASSERT_TRUE(control);
        nv::com::Bstr scrambled;
        control->EncryptPassword(nullptr, nv::com::Bstr(u"pw").get(), scrambled.out());
        EXPECT_EQ(referencesOf(control.get()), 1u);
    }
    EXPECT_EQ(callServerExport("DllCanUnloadNow"), S_OK);
}

TEST_F(WscomLifetime, AHeldClassObjectKeepsTheServer) {
    nv::com::ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(kClsidIOMessage, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.putVoid()),
              S_OK);
    EXPECT_EQ(callServerExport("DllCanUnloadNow"), S_FALSE);
    factory.reset();
    EXPECT_EQ(callServerExport("DllCanUnloadNow"), S_OK);
}

class WscomArrayLifetime : public WscomDemoTest {};

TEST_F(WscomArrayLifetime, ArraysPassedBackAndForthLeaveOnlyTheCallersReferences) {
    nv::com::Bstr op(u"GetPerson"), err;
    std::vector<nv::com::ComPtr<IIOMessage>> kept;
    for (int round = 0; round < 100; ++round) {
        nv::com::Variant input, output;
        ASSERT_EQ(control_->GetInputStructure(op.get(), &input, err.out()), S_OK)
            << utf8(err.get());
        auto fields = messageElements(input);
        ASSERT_FALSE(fields.empty());
        for (auto& f : fields)
            if (fieldName(f.get()) == u"id")
                setText(f.get(), &IIOMessage::put_theData, u"1");
        ASSERT_EQ(control_->InvokeOperation(op.get(), &input, &output, err.out()), S_OK)
            << utf8(err.get());
        nv::com::Bstr request;
        ASSERT_EQ(control_->GetInputSoapMessage(op.get(), &input, request.out(), err.out()), S_OK);
        // The array and the test's list hold each input object; the call kept none.
        EXPECT_EQ(referencesOf(fields[0].get()), 2u);
        auto results = messageElements(output);
        ASSERT_GT(results.size(), 5u);
        EXPECT_EQ(referencesOf(results.back().get()), 2u);
        kept.push_back(results.back());
    }
    // What the client keeps outlives the arrays, and nothing else does.
    for (auto& m : kept)
        EXPECT_EQ(referencesOf(m.get()), 1u);
    kept.clear();
    control_.reset();
    EXPECT_EQ(callServerExport("DllCanUnloadNow"), S_OK);
}

}  // namespace

}  // namespace wscom::test
