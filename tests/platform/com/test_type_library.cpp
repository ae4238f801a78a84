#include "tests/platform/com/test_type_library.h"

#include "tests/platform/com/test_server_ids.h"

namespace nv::test {

nv::com::LibraryDescription calculatorLibrary() {
    using nv::com::MemberDescription;
    using nv::com::TypeDescription;
    nv::com::LibraryDescription lib;
    lib.libid = kCalculatorLibid;
    lib.name = u"SondarTestLib";
    lib.help = u"Sondar test type library";
    lib.major = 1;
    lib.minor = 0;
    lib.helpFile = u"calc.hlp";

    TypeDescription calc;
    calc.guid = kCalculatorIid;
    calc.kind = TKIND_DISPATCH;
    calc.name = u"ICalculator";
    calc.help = u"Adds numbers";
    calc.flags = TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE;
    calc.members = {
        MemberDescription{kDispAdd,
                          u"Add",
                          INVOKE_FUNC,
                          {{u"left", VT_I4}, {u"right", VT_I4}},
                          u"Sum of two numbers",
                          VT_I4},
        MemberDescription{kDispName, u"Name", INVOKE_PROPERTYGET, {}, u"The name", VT_BSTR},
        MemberDescription{
            kDispName, u"Name", INVOKE_PROPERTYPUT, {{u"value", VT_BSTR}}, u"The name", VT_VOID},
        MemberDescription{kDispObjectCount, u"ObjectCount", INVOKE_PROPERTYGET, {}, u"", VT_I4},
        MemberDescription{kDispFail,
                          u"Fail",
                          INVOKE_FUNC,
                          {{u"reason", VT_BSTR, PARAMFLAG_FIN | PARAMFLAG_FOPT}},
                          u"Always fails",
                          VT_VOID},
    };

    TypeDescription events;
    events.guid = kEventsIid;
    events.kind = TKIND_INTERFACE;
    events.name = u"ICalculatorEvents";
    events.flags = 0;  // neither dual nor oleautomation: not registered under Interface
    events.members = {MemberDescription{1, u"Changed", INVOKE_FUNC, {}, u"", VT_VOID}};

    TypeDescription coclass;
    coclass.guid = kCalculatorClsid;
    coclass.kind = TKIND_COCLASS;
    coclass.name = u"Calculator";
    coclass.help = u"Test calculator";
    coclass.flags = TYPEFLAG_FCANCREATE;
    coclass.implemented = {kCalculatorIid, kEventsIid};

    lib.types = {calc, events, coclass};
    return lib;
}

}  // namespace nv::test
