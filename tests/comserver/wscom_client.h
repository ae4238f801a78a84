// What the wscom tests share: the built server registered in a private registry, COM on the
// test thread, and small helpers to call the objects the way an Automation client does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comserver/wscom_interfaces.h"
#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/com_ptr.h"
#include "platform/com/variant.h"
#include "tests/support/registry_sandbox.h"

namespace wscom::test {

// Absolute path of the built server library.
std::string serverPath();
// Calls an export of the server (loaded once and kept for the whole test program), such as
// DllRegisterServer or DllCanUnloadNow.
HRESULT callServerExport(const char* name);

// A private registry with the server registered through DllRegisterServer, and COM
// initialised (apartment model) on the test thread.
class WscomTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    nv::test::RegistrySandbox registry_;
    HRESULT comInit_ = E_FAIL;
};

// New objects through CoCreateInstance by ProgID, as a client makes them.
nv::com::ComPtr<INVWSControl> newControl();
nv::com::ComPtr<IIOMessage> newMessage();

// ---- IDispatch, by name -------------------------------------------------------------------

DISPID dispIdOf(IDispatch* object, const char16_t* name);
// Calls a method with the arguments in their natural order (they are handed over reversed,
// as DISPPARAMS wants); excepInfo, when given, receives what a failure reports.
HRESULT callMethod(IDispatch* object, const char16_t* name, std::vector<VARIANTARG> args,
                   EXCEPINFO* excepInfo = nullptr);
nv::com::Variant getProperty(IDispatch* object, const char16_t* name);
HRESULT putProperty(IDispatch* object, const char16_t* name, const VARIANT& value);

// Argument forms: a BSTR passed by value (borrowed), and [out] references.
VARIANTARG textArg(const nv::com::Bstr& text);
VARIANTARG byRef(VARIANT& target);
VARIANTARG byRef(BSTR& target);

// ---- Arrays ---------------------------------------------------------------------------------

// The elements of an IOMessage array (VT_ARRAY|VT_VARIANT of VT_DISPATCH).
std::vector<nv::com::ComPtr<IDispatch>> dispatchElements(const VARIANT& array);
std::vector<nv::com::ComPtr<IIOMessage>> messageElements(const VARIANT& array);
// The texts of a name array.
std::vector<std::u16string> nameElements(const VARIANT& array);
// An IOMessage array holding (new references to) the given objects.
nv::com::Variant messageArray(const std::vector<nv::com::ComPtr<IIOMessage>>& messages);

// ---- IOMessage fields -----------------------------------------------------------------------

std::u16string fieldName(IIOMessage* m);
std::u16string theData(IIOMessage* m);
LONG level(IIOMessage* m);
void setText(IIOMessage* m, HRESULT (IIOMessage::*put)(BSTR), std::u16string_view text);

// Owns a BSTR out-argument; reads as UTF-8 for messages.
std::string utf8(BSTR text);

}  // namespace wscom::test
