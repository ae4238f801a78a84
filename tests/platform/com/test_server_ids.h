// Identities of the test class server and type library built in this folder.
#pragma once

#include "platform/com/types.h"

namespace nv::test {

inline constexpr CLSID kCalculatorClsid = {
    0x9C2B7A10, 0x5E4F, 0x4B8A, {0x9D, 0x61, 0x3F, 0x2E, 0x1A, 0x0B, 0x7C, 0x55}};
inline constexpr IID kCalculatorIid = {
    0x9C2B7A11, 0x5E4F, 0x4B8A, {0x9D, 0x61, 0x3F, 0x2E, 0x1A, 0x0B, 0x7C, 0x55}};
inline constexpr GUID kCalculatorLibid = {
    0x9C2B7A12, 0x5E4F, 0x4B8A, {0x9D, 0x61, 0x3F, 0x2E, 0x1A, 0x0B, 0x7C, 0x55}};
inline constexpr IID kEventsIid = {
    0x9C2B7A13, 0x5E4F, 0x4B8A, {0x9D, 0x61, 0x3F, 0x2E, 0x1A, 0x0B, 0x7C, 0x55}};

inline constexpr char16_t kCalculatorProgId[] = u"Sondar.TestCalculator.1";
inline constexpr char16_t kCalculatorVersionIndependentProgId[] = u"Sondar.TestCalculator";

enum CalculatorDispId : DISPID {
    kDispAdd = 1,
    kDispName = 2,
    kDispObjectCount = 3,
    kDispFail = 4,
};

}  // namespace nv::test
