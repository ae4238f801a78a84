// Late-bound calls of INVWSControl: method names to DISPIDs, and Invoke, which unpacks the
// positional arguments and calls the method.
#include <optional>
#include <string_view>

#include "comserver/dispatch_args.h"
#include "comserver/guarded.h"
#include "comserver/nvws_control.h"
#include "platform/text/unicode.h"

namespace wscom {

namespace {

struct MethodInfo {
    DISPID id;
    const char16_t* name;
    UINT arguments;
};

constexpr MethodInfo kMethods[] = {
    {kDispConnectWSDL, u"ConnectWSDL", 3},
    {kDispGetOperations, u"GetOperations", 3},
    {kDispGetInputStructure, u"GetInputStructure", 3},
    {kDispGetOutputStructure, u"GetOutputStructure", 3},
    {kDispInvokeOperation, u"InvokeOperation", 4},
    {kDispGetInputSoapMessage, u"GetInputSoapMessage", 4},
    {kDispGetOutputSoapMessage, u"GetOutputSoapMessage", 3},
    {kDispEncryptPassword, u"EncryptPassword", 3},
    {kDispDecryptPassword, u"DecryptPassword", 3},
    {kDispSetHTTPAuthentication, u"SetHTTPAuthentication", 3},
    {kDispSetClipboard, u"SetClipboard", 3},
    {kDispGetInputStructureOfAType, u"GetInputStructureOfAType", 5},
};

// The longest method's count.
constexpr UINT kMaxArguments = 5;

const MethodInfo* findMethod(DISPID id) {
    for (const MethodInfo& m : kMethods)
        if (m.id == id)
            return &m;
    return nullptr;
}

std::optional<DISPID> methodDispId(std::u16string_view name) {
    for (const MethodInfo& m : kMethods)
        if (nv::text::equalsIgnoreCase(name, m.name))
            return m.id;
    return std::nullopt;
}

// Unpacks the arguments of one call; the first failure sticks and later reads do nothing.
class Arguments {
  public:
    Arguments(DISPPARAMS& params, UINT* argErr) : params_(params), argErr_(argErr) {}

    HRESULT status() const { return hr_; }

    BSTR text(UINT position) {
        if (SUCCEEDED(hr_))
            hr_ = argumentAs(params_, position, VT_BSTR, holders_[position], argErr_);
        return SUCCEEDED(hr_) ? holders_[position].bstrVal : nullptr;
    }
    INT integer(UINT position) {
        if (SUCCEEDED(hr_))
            hr_ = argumentAs(params_, position, VT_I4, holders_[position], argErr_);
        return SUCCEEDED(hr_) ? holders_[position].lVal : 0;
    }
    VARIANT* in(UINT position) { return variantArgument(params_, position); }
    VARIANT* out(UINT position) {
        if (FAILED(hr_))
            return nullptr;
        VARIANT* v = variantResult(params_, position, argErr_);
        if (!v)
            hr_ = DISP_E_TYPEMISMATCH;
        return v;
    }
    BSTR* outText(BstrResult& result, UINT position) {
        if (SUCCEEDED(hr_))
            hr_ = result.bind(params_, position, argErr_);
        return result.slot();
    }

  private:
    DISPPARAMS& params_;
    UINT* argErr_;
    HRESULT hr_ = S_OK;
    nv::com::Variant holders_[kMaxArguments];
};

}  // namespace

HRESULT CNVWSControl::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                    DISPID* rgDispId) {
    return resolveNames(riid, rgszNames, cNames, rgDispId, methodDispId);
}

HRESULT CNVWSControl::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                             DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                             UINT* puArgErr) {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    const MethodInfo* method = findMethod(dispIdMember);
    if (!method || !(wFlags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    DISPPARAMS& params = pDispParams ? *pDispParams : none;
    if (params.cNamedArgs > 0)
        return DISP_E_NONAMEDARGS;
    if (params.cArgs > kMaxArguments || params.cArgs != method->arguments)
        return DISP_E_BADPARAMCOUNT;
    if (!params.rgvarg)
        return E_INVALIDARG;
    if (pVarResult)
        VariantInit(pVarResult);  // the methods return nothing but their HRESULT

    return guarded([&]() -> HRESULT {
        Arguments a(params, puArgErr);
        BstrResult first, second;
        HRESULT hr = S_OK;
        switch (dispIdMember) {
            case kDispConnectWSDL: {
                BSTR wsdl = a.text(0);
                VARIANT* services = a.out(1);
                BSTR* err = a.outText(first, 2);
                if (SUCCEEDED(hr = a.status()))
                    hr = ConnectWSDL(wsdl, services, err);
                break;
            }
            case kDispGetOperations: {
                BSTR service = a.text(0);
                VARIANT* operations = a.out(1);
                BSTR* err = a.outText(first, 2);
                if (SUCCEEDED(hr = a.status()))
                    hr = GetOperations(service, operations, err);
                break;
            }
            case kDispGetInputStructure:
            case kDispGetOutputStructure: {
                BSTR operation = a.text(0);
                VARIANT* parameters = a.out(1);
                BSTR* err = a.outText(first, 2);
                if (SUCCEEDED(hr = a.status()))
                    hr = dispIdMember == kDispGetInputStructure
                             ? GetInputStructure(operation, parameters, err)
                             : GetOutputStructure(operation, parameters, err);
                break;
            }
            case kDispInvokeOperation: {
                BSTR operation = a.text(0);
                VARIANT* input = a.in(1);
                VARIANT* output = a.out(2);
                BSTR* err = a.outText(first, 3);
                if (SUCCEEDED(hr = a.status()))
                    hr = InvokeOperation(operation, input, output, err);
                break;
            }
            case kDispGetInputSoapMessage: {
                BSTR operation = a.text(0);
                VARIANT* input = a.in(1);
                BSTR* message = a.outText(first, 2);
                BSTR* err = a.outText(second, 3);
                if (SUCCEEDED(hr = a.status()))
                    hr = GetInputSoapMessage(operation, input, message, err);
                break;
            }
            case kDispGetOutputSoapMessage: {
                BSTR operation = a.text(0);
                BSTR* message = a.outText(first, 1);
                BSTR* err = a.outText(second, 2);
                if (SUCCEEDED(hr = a.status()))
                    hr = GetOutputSoapMessage(operation, message, err);
                break;
            }
            case kDispEncryptPassword:
            case kDispDecryptPassword: {
                BSTR server = a.text(0);
                BSTR password = a.text(1);
                BSTR* result = a.outText(first, 2);
                if (SUCCEEDED(hr = a.status()))
                    hr = dispIdMember == kDispEncryptPassword
                             ? EncryptPassword(server, password, result)
                             : DecryptPassword(server, password, result);
                break;
            }
            case kDispSetHTTPAuthentication: {
                BSTR user = a.text(0);
                BSTR password = a.text(1);
                BSTR* err = a.outText(first, 2);
                if (SUCCEEDED(hr = a.status()))
                    hr = SetHTTPAuthentication(user, password, err);
                break;
            }
            case kDispSetClipboard: {
                BSTR url = a.text(0);
                BSTR service = a.text(1);
                BSTR operation = a.text(2);
                if (SUCCEEDED(hr = a.status()))
                    hr = SetClipboard(url, service, operation);
                break;
            }
            case kDispGetInputStructureOfAType: {
                BSTR element = a.text(0);
                INT level = a.integer(1);
                BSTR type = a.text(2);
                VARIANT* parameters = a.out(3);
                BSTR* err = a.outText(first, 4);
                if (SUCCEEDED(hr = a.status()))
                    hr = GetInputStructureOfAType(element, level, type, parameters, err);
                break;
            }
        }
        if (FAILED(a.status()))
            return hr;  // an argument that could not be read: nothing was called
        // The out texts reach the caller also when the method failed (they carry its reason).
        first.deliver();
        second.deliver();
        return FAILED(hr) ? methodFailure(hr, pExcepInfo) : hr;
    });
}

}  // namespace wscom
