// The IOMessage object: defaults, property rules, names and late-bound calls, class
// information and aggregation.
#include <atomic>
#include <cstdint>

#include "platform/com/data_object.h"
#include "platform/com/iids.h"
#include "platform/com/typeinfo.h"
#include "tests/comserver/wscom_client.h"

namespace wscom::test {

namespace {

class WscomIOMessage : public WscomTest {};

// The properties in DISPID order, as late-bound clients find them.
constexpr const char16_t* kPropertyNames[] = {
    u"level",         u"arrayMin",    u"arrayMax",    u"isArray",
    u"isComplexType", u"fieldName",   u"info",        u"dataType",
    u"theData",       u"description", u"isAttribute", u"isSimpleDataField",
    u"hasEnumValues", u"isHeader",    u"isRequired",  u"prefix"};

TEST_F(WscomIOMessage, ANewObjectHoldsTheDefaults) {
    auto m = newMessage();
    ASSERT_TRUE(m);
    using Get = HRESULT (IIOMessage::*)(BSTR*);
    for (Get get :
         {&IIOMessage::get_fieldName, &IIOMessage::get_info, &IIOMessage::get_dataType,
          &IIOMessage::get_theData, &IIOMessage::get_description, &IIOMessage::get_prefix}) {
        nv::com::Bstr s;
        ASSERT_EQ((m.get()->*get)(s.out()), S_OK);
        EXPECT_EQ(s.str(), u"  ");
    }
    for (auto get :
         {&IIOMessage::get_level, &IIOMessage::get_arrayMin, &IIOMessage::get_arrayMax}) {
        LONG v = -1;
        ASSERT_EQ((m.get()->*get)(&v), S_OK);
        EXPECT_EQ(v, 0);
    }
    for (auto get : {&IIOMessage::get_isArray, &IIOMessage::get_isComplexType,
                     &IIOMessage::get_isAttribute, &IIOMessage::get_isSimpleDataField,
                     &IIOMessage::get_hasEnumValues, &IIOMessage::get_isHeader}) {
        VARIANT_BOOL v = -1;
        ASSERT_EQ((m.get()->*get)(&v), S_OK);
        EXPECT_EQ(v, 0);
    }
    VARIANT_BOOL required = 0;
    ASSERT_EQ(m->get_isRequired(&required), S_OK);
    EXPECT_EQ(required, 1);  // the integer 1, not VARIANT_TRUE
}

TEST_F(WscomIOMessage, StringsAreStoredUpToTheirFirstNul) {
    auto m = newMessage();
    ASSERT_EQ(m->put_theData(nullptr), S_OK);
    nv::com::Bstr s;
    ASSERT_EQ(m->get_theData(s.out()), S_OK);
    EXPECT_NE(s.get(), nullptr);
    EXPECT_EQ(s.length(), 0u);

    nv::com::Bstr embedded(std::u16string_view(u"ab\0cd", 5));
    ASSERT_EQ(m->put_fieldName(embedded.get()), S_OK);
    EXPECT_EQ(fieldName(m.get()), u"ab");
    // Each get is a new copy for the caller.
    nv::com::Bstr first, second;
    m->get_fieldName(first.out());
    m->get_fieldName(second.out());
    EXPECT_NE(first.get(), second.get());
}

TEST_F(WscomIOMessage, NumbersAndBooleansAreStoredAsGiven) {
    auto m = newMessage();
    ASSERT_EQ(m->put_level(-7), S_OK);
    ASSERT_EQ(m->put_isArray(5), S_OK);
    ASSERT_EQ(m->put_arrayMax(INT32_MAX), S_OK);
    VARIANT_BOOL flag = 0;
    LONG max = 0;
    m->get_isArray(&flag);
    m->get_arrayMax(&max);
    EXPECT_EQ(level(m.get()), -7);
    EXPECT_EQ(flag, 5);
    EXPECT_EQ(max, INT32_MAX);
    EXPECT_EQ(m->get_level(nullptr), E_POINTER);
}

TEST_F(WscomIOMessage, NamesResolveWithoutCaseAndWithAccessorPrefixes) {
    auto m = newMessage();
    for (const char16_t* name :
         {u"theData", u"THEDATA", u"get_theData", u"put_theData", u"PUT_THEDATA"})
        EXPECT_EQ(dispIdOf(m.get(), name), kDispTheData);
    EXPECT_EQ(dispIdOf(m.get(), u"pVal"), 0);
    DISPID id = 0;
    for (const char16_t* name : kPropertyNames)
        EXPECT_EQ(dispIdOf(m.get(), name), ++id);

    // Every name of the request is resolved; an unknown one is marked and reported.
    const char16_t* names[] = {u"level", u"value", u"pVal", u"get_"};
    DISPID ids[4] = {};
    EXPECT_EQ(m->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names), 4, 0, ids),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], kDispLevel);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    EXPECT_EQ(ids[2], 0);
    EXPECT_EQ(ids[3], DISPID_UNKNOWN);
}

TEST_F(WscomIOMessage, PropertiesAreReadAndWrittenByName) {
    auto m = newMessage();
    IDispatch* d = m.get();
    EXPECT_EQ(putProperty(d, u"theData", nv::com::Variant(u"hello")), S_OK);
    EXPECT_EQ(theData(m.get()), u"hello");
    nv::com::Variant got = getProperty(d, u"theData");
    ASSERT_EQ(got.vt, VT_BSTR);
    EXPECT_EQ(nv::com::Bstr(got.bstrVal).str(), u"hello");

    // Arguments are converted to the property's type.
    EXPECT_EQ(putProperty(d, u"level", nv::com::Variant(u"42")), S_OK);
    EXPECT_EQ(level(m.get()), 42);
    EXPECT_EQ(putProperty(d, u"isRequired", nv::com::Variant(false)), S_OK);
    nv::com::Variant required = getProperty(d, u"isRequired");
    EXPECT_EQ(required.vt, VT_BOOL);
    EXPECT_EQ(required.boolVal, VARIANT_FALSE);
    nv::com::Variant lvl = getProperty(d, u"level");
    EXPECT_EQ(lvl.vt, VT_I4);
    EXPECT_EQ(lvl.lVal, 42);
}

TEST_F(WscomIOMessage, InvokeRejectsWrongArgumentsAndUnknownMembers) {
    auto m = newMessage();
    nv::com::Variant one(LONG{1}), two(LONG{2});
    VARIANTARG args[2] = {one, two};
    DISPID putId = DISPID_PROPERTYPUT;
    UINT argErr = 99;
    auto invoke = [&](DISPID id, WORD flags, UINT count, UINT named, VARIANT* result = nullptr) {
        DISPPARAMS p{args, named ? &putId : nullptr, count, named};
        return m->Invoke(id, IID_NULL, 0, flags, &p, result, nullptr, &argErr);
    };
    EXPECT_EQ(invoke(kDispLevel, DISPATCH_PROPERTYGET, 1, 0), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(invoke(kDispLevel, DISPATCH_PROPERTYPUT, 0, 0), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(invoke(kDispLevel, DISPATCH_PROPERTYPUT, 2, 1), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(invoke(0, DISPATCH_PROPERTYGET, 0, 0), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(17, DISPATCH_PROPERTYGET, 0, 0), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(invoke(kDispLevel, DISPATCH_PROPERTYPUTREF, 1, 1), DISP_E_MEMBERNOTFOUND);
    // A value that does not convert is reported with its position.
    nv::com::Variant text(u"not a number");
    args[0] = text;
    EXPECT_EQ(invoke(kDispLevel, DISPATCH_PROPERTYPUT, 1, 1), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 0u);
    EXPECT_EQ(level(m.get()), 0);
    // Method-style reads work as property gets.
    nv::com::Variant result;
    EXPECT_EQ(invoke(kDispPrefix, DISPATCH_METHOD | DISPATCH_PROPERTYGET, 0, 0, &result), S_OK);
    EXPECT_EQ(result.vt, VT_BSTR);
}

TEST_F(WscomIOMessage, DescribesItselfThroughTheTypeLibrary) {
    auto m = newMessage();
    UINT count = 0;
    ASSERT_EQ(m->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    nv::com::ComPtr<ITypeInfo> info;
    ASSERT_EQ(m->GetTypeInfo(0, 0, info.put()), S_OK);
    nv::com::Bstr name, help;
    info->GetDocumentation(MEMBERID_NIL, name.out(), help.out(), nullptr, nullptr);
    EXPECT_EQ(name.str(), u"IIOMessage");
    EXPECT_EQ(help.str(), u"IIOMessage Interface");
    info->GetDocumentation(kDispTheData, name.out(), help.out(), nullptr, nullptr);
    EXPECT_EQ(help.str(), u"property theData");
    EXPECT_EQ(m->GetTypeInfo(1, 0, info.put()), DISP_E_BADINDEX);

    nv::com::ComPtr<IProvideClassInfo> classInfo;
    ASSERT_EQ(m.as(classInfo), S_OK);
    nv::com::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(classInfo->GetClassInfo(coclass.put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(attr->guid == kClsidIOMessage);
    coclass->ReleaseTypeAttr(attr);

    nv::com::ComPtr<IDispatch> dispatch;
    EXPECT_EQ(m.as(dispatch), S_OK);
    nv::com::ComPtr<IDataObject> data;
    EXPECT_EQ(m.as(data), E_NOINTERFACE);
}

// An outer object that aggregates an IOMessage and counts its own references.
class Outer final : public IUnknown {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return inner_->QueryInterface(riid, ppv);
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override { return --refs_; }

    nv::com::ComPtr<IUnknown> inner_;
    std::atomic<ULONG> refs_{1};
};

TEST_F(WscomIOMessage, CanBeAggregated) {
    Outer outer;
    ASSERT_EQ(CoCreateInstance(kClsidIOMessage, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               outer.inner_.putVoid()),
              S_OK);
    IIOMessage* part = nullptr;
    ASSERT_EQ(outer.QueryInterface(kIidIIOMessage, reinterpret_cast<void**>(&part)), S_OK);
    EXPECT_EQ(outer.refs_, 2u);  // the part counts on the outer object
    part->AddRef();
    EXPECT_EQ(outer.refs_, 3u);
    part->Release();
    // Its IUnknown is the outer object's identity.
    IUnknown* identity = nullptr;
    ASSERT_EQ(part->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, &outer);
    identity->Release();
    EXPECT_EQ(part->put_theData(nullptr), S_OK);
    part->Release();
    EXPECT_EQ(outer.refs_, 1u);
    outer.inner_.reset();

    // Aggregated objects hand out their IUnknown only.
    void* refused = nullptr;
    EXPECT_EQ(
        CoCreateInstance(kClsidIOMessage, &outer, CLSCTX_INPROC_SERVER, kIidIIOMessage, &refused),
        CLASS_E_NOAGGREGATION);
    EXPECT_EQ(refused, nullptr);
}

}  // namespace

}  // namespace wscom::test
