// Fixed identities of the wscom component server: class, interface and library ids, ProgIDs,
// names and DISPIDs. Clients include this to create and call the objects.
#pragma once

#include "platform/com/types.h"

namespace wscom {

// The type library; the AppID is the same GUID.
inline constexpr GUID kLibId = {
    0xAD1CF0E2, 0x2075, 0x473C, {0xB8, 0xBE, 0x78, 0xCD, 0x2F, 0x3C, 0x40, 0xA2}};
inline constexpr GUID kAppId = kLibId;
inline constexpr WORD kLibMajor = 1;
inline constexpr WORD kLibMinor = 0;
inline constexpr LCID kLibLcid = 0x409;

inline constexpr CLSID kClsidIOMessage = {
    0x30574236, 0x55AD, 0x41C0, {0xA7, 0x35, 0x54, 0x68, 0x4A, 0x52, 0xA0, 0x62}};
inline constexpr IID kIidIIOMessage = {
    0x1C818A2A, 0xABC3, 0x4121, {0xB7, 0xD9, 0x95, 0x69, 0x84, 0x36, 0x64, 0xFF}};
inline constexpr CLSID kClsidNVWSControl = {
    0x89ED74DF, 0x5346, 0x4D6E, {0xB1, 0x85, 0x2F, 0xBD, 0x0E, 0xB5, 0xD5, 0xC3}};
inline constexpr IID kIidINVWSControl = {
    0xAD919CB6, 0xC933, 0x4BF2, {0x99, 0xD7, 0xBD, 0xA7, 0xF2, 0x12, 0x9F, 0xE9}};

inline constexpr char16_t kIOMessageProgId[] = u"wscom.IOMessage.1";
inline constexpr char16_t kIOMessageVersionIndependentProgId[] = u"wscom.IOMessage";
inline constexpr char16_t kNVWSControlProgId[] = u"wscom.NVWSControl.1";
inline constexpr char16_t kNVWSControlVersionIndependentProgId[] = u"wscom.NVWSControl";

inline constexpr char16_t kIOMessageFriendlyName[] = u"CIOMessage Object";
inline constexpr char16_t kNVWSControlFriendlyName[] = u"CNVWSControl Object";

// IIOMessage properties, in slot order.
enum IOMessageDispId : DISPID {
    kDispLevel = 1,
    kDispArrayMin = 2,
    kDispArrayMax = 3,
    kDispIsArray = 4,
    kDispIsComplexType = 5,
    kDispFieldName = 6,
    kDispInfo = 7,
    kDispDataType = 8,
    kDispTheData = 9,
    kDispDescription = 10,
    kDispIsAttribute = 11,
    kDispIsSimpleDataField = 12,
    kDispHasEnumValues = 13,
    kDispIsHeader = 14,
    kDispIsRequired = 15,
    kDispPrefix = 16,
};

// INVWSControl methods, in slot order.
enum NVWSControlDispId : DISPID {
    kDispConnectWSDL = 1,
    kDispGetOperations = 2,
    kDispGetInputStructure = 3,
    kDispGetOutputStructure = 4,
    kDispInvokeOperation = 5,
    kDispGetInputSoapMessage = 6,
    kDispGetOutputSoapMessage = 7,
    kDispEncryptPassword = 8,
    kDispDecryptPassword = 9,
    kDispSetHTTPAuthentication = 10,
    kDispSetClipboard = 11,
    kDispGetInputStructureOfAType = 12,
};

}  // namespace wscom
