// The standard interface and class IDs this runtime knows, with their Windows values.
#pragma once

#include "platform/com/types.h"

#define NV_OLE_GUID(d1)                                    \
    {                                                      \
        d1, 0x0000, 0x0000, {                              \
            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 \
        }                                                  \
    }

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_NULL = GUID_NULL;
inline constexpr CLSID CLSID_NULL = GUID_NULL;

inline constexpr IID IID_IUnknown = NV_OLE_GUID(0x00000000);
inline constexpr IID IID_IClassFactory = NV_OLE_GUID(0x00000001);
inline constexpr IID IID_IStorage = NV_OLE_GUID(0x0000000B);
inline constexpr IID IID_IStream = NV_OLE_GUID(0x0000000C);
inline constexpr IID IID_IBindCtx = NV_OLE_GUID(0x0000000E);
inline constexpr IID IID_IMoniker = NV_OLE_GUID(0x0000000F);
inline constexpr IID IID_IRunningObjectTable = NV_OLE_GUID(0x00000010);
inline constexpr IID IID_IEnumMoniker = NV_OLE_GUID(0x00000102);
inline constexpr IID IID_IEnumFORMATETC = NV_OLE_GUID(0x00000103);
inline constexpr IID IID_IEnumSTATDATA = NV_OLE_GUID(0x00000105);
inline constexpr IID IID_IPersistStream = NV_OLE_GUID(0x00000109);
inline constexpr IID IID_IPersistFile = NV_OLE_GUID(0x0000010B);
inline constexpr IID IID_IPersist = NV_OLE_GUID(0x0000010C);
inline constexpr IID IID_IDataObject = NV_OLE_GUID(0x0000010E);
inline constexpr IID IID_IAdviseSink = NV_OLE_GUID(0x0000010F);
inline constexpr IID IID_IDataAdviseHolder = NV_OLE_GUID(0x00000110);
inline constexpr IID IID_IDispatch = NV_OLE_GUID(0x00020400);
inline constexpr IID IID_ITypeInfo = NV_OLE_GUID(0x00020401);
inline constexpr IID IID_ITypeLib = NV_OLE_GUID(0x00020402);
inline constexpr IID IID_ITypeComp = NV_OLE_GUID(0x00020403);
inline constexpr IID IID_ISequentialStream = {
    0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
inline constexpr IID IID_IProvideClassInfo = {
    0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

inline constexpr CLSID CLSID_FileMoniker = NV_OLE_GUID(0x00000303);
// The standard Automation proxy/stub class registered for dual and dispatch interfaces.
inline constexpr CLSID CLSID_PSOAInterface = NV_OLE_GUID(0x00020424);

#undef NV_OLE_GUID
