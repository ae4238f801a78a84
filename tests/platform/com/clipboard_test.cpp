// The OLE clipboard slot: reference counts on set, replace and flush, remembered formats,
// rendered data after a flush, and registered format names.
#include <gtest/gtest.h>

#include <cstddef>
#include <thread>

#include "platform/com/clipboard.h"
#include "platform/com/global_memory.h"
#include "platform/com/metafile.h"
#include "tests/platform/com/test_objects.h"

namespace {

using nv::com::ComPtr;
using nv::test::ComInit;
using nv::test::TextDataObject;

FORMATETC textFormat() {
    return {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

class Clipboard : public ::testing::Test {
  protected:
    void TearDown() override { OleSetClipboard(nullptr); }
    ComInit com;
};

TEST_F(Clipboard, SetHoldsAReferenceAndReplaceReleasesIt) {
    bool firstGone = false, secondGone = false;
    auto* first = new TextDataObject("one", &firstGone);
    auto* second = new TextDataObject("two", &secondGone);
    ASSERT_EQ(OleSetClipboard(first), S_OK);
    EXPECT_EQ(first->refs(), 2u);
    EXPECT_EQ(OleIsCurrentClipboard(first), S_OK);
    first->Release();
    EXPECT_FALSE(firstGone);

    ASSERT_EQ(OleSetClipboard(second), S_OK);
    EXPECT_TRUE(firstGone);
    EXPECT_EQ(OleIsCurrentClipboard(second), S_OK);
    second->Release();
    ASSERT_EQ(OleSetClipboard(nullptr), S_OK);
    EXPECT_TRUE(secondGone);
    EXPECT_EQ(OleIsCurrentClipboard(nullptr), S_FALSE);
}

TEST_F(Clipboard, SettingTheSameObjectAgainKeepsOneReference) {
    auto* obj = new TextDataObject("same");
    OleSetClipboard(obj);
    OleSetClipboard(obj);
    EXPECT_EQ(obj->refs(), 2u);
    OleSetClipboard(nullptr);
    EXPECT_EQ(obj->refs(), 1u);
    obj->Release();
}

TEST_F(Clipboard, GetGivesTheObjectAddRefed) {
    auto* obj = new TextDataObject("payload");
    OleSetClipboard(obj);
    ComPtr<IDataObject> got;
    ASSERT_EQ(OleGetClipboard(got.put()), S_OK);
    EXPECT_EQ(got.get(), obj);
    EXPECT_EQ(obj->refs(), 3u);
    FORMATETC f = textFormat();
    STGMEDIUM m{};
    ASSERT_EQ(got->GetData(&f, &m), S_OK);
    EXPECT_EQ(nv::test::globalText(m.hGlobal), "payload");
    ReleaseStgMedium(&m);
    got.reset();
    obj->Release();
}

TEST_F(Clipboard, FormatsAreEnumeratedWhenSet) {
    auto* obj = new TextDataObject("x");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    OleSetClipboard(obj);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(TextDataObject::streamFormat()));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_METAFILEPICT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(obj->getDataCalls(), 0);  // enumerated, not rendered
    obj->Release();
}

TEST_F(Clipboard, FailedEnumerationLeavesTheClipboardUnchanged) {
    auto* kept = new TextDataObject("kept");
    auto* broken = new TextDataObject("broken");
    broken->failEnumeration(true);
    OleSetClipboard(kept);
    EXPECT_EQ(OleSetClipboard(broken), E_OUTOFMEMORY);
    EXPECT_EQ(broken->refs(), 1u);
    EXPECT_EQ(OleIsCurrentClipboard(kept), S_OK);
    kept->Release();
    broken->Release();
}

TEST_F(Clipboard, FlushReleasesTheObjectAndKeepsRenderedData) {
    bool gone = false;
    auto* obj = new TextDataObject("rendered", &gone);
    OleSetClipboard(obj);
    obj->Release();
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    EXPECT_TRUE(gone);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));

    ComPtr<IDataObject> snapshot;
    ASSERT_EQ(OleGetClipboard(snapshot.put()), S_OK);
    EXPECT_EQ(OleIsCurrentClipboard(snapshot.get()), S_FALSE);
    FORMATETC f = textFormat();
    STGMEDIUM m{};
    ASSERT_EQ(snapshot->GetData(&f, &m), S_OK);
    EXPECT_EQ(nv::test::globalText(m.hGlobal), "rendered");
    ReleaseStgMedium(&m);

    // Stream data comes back as a stream (or an HGLOBAL).
    FORMATETC s = {TextDataObject::streamFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    ASSERT_EQ(snapshot->GetData(&s, &m), S_OK);
    ASSERT_EQ(m.tymed, static_cast<DWORD>(TYMED_ISTREAM));
    char buf[16] = {};
    ULONG got = 0;
    m.pstm->Read(buf, sizeof buf, &got);
    EXPECT_EQ(std::string(buf, got), "rendered");
    ReleaseStgMedium(&m);

    FORMATETC p = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    ASSERT_EQ(snapshot->GetData(&p, &m), S_OK);
    auto* pict = static_cast<METAFILEPICT*>(GlobalLock(m.hMetaFilePict));
    EXPECT_EQ(pict->xExt, 100);
    EXPECT_EQ(GetMetaFileBitsEx(pict->hMF, 0, nullptr), 8u);
    GlobalUnlock(m.hMetaFilePict);
    ReleaseStgMedium(&m);  // frees the metafile too

    FORMATETC wrongMedium = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    EXPECT_EQ(snapshot->GetData(&wrongMedium, &m), DV_E_TYMED);
    FORMATETC absent = {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(snapshot->QueryGetData(&absent), DV_E_FORMATETC);
}

TEST_F(Clipboard, EmptyClipboardGivesAnObjectWithoutFormats) {
    ComPtr<IDataObject> empty;
    ASSERT_EQ(OleGetClipboard(empty.put()), S_OK);
    ASSERT_TRUE(empty);
    ComPtr<IEnumFORMATETC> formats;
    ASSERT_EQ(empty->EnumFormatEtc(DATADIR_GET, formats.put()), S_OK);
    FORMATETC f;
    ULONG n = 7;
    EXPECT_EQ(formats->Next(1, &f, &n), S_FALSE);
    EXPECT_EQ(n, 0u);
    FORMATETC text = textFormat();
    STGMEDIUM m{};
    EXPECT_EQ(empty->GetData(&text, &m), DV_E_FORMATETC);
    EXPECT_EQ(OleFlushClipboard(), S_OK);  // nothing to flush
}

TEST_F(Clipboard, SetAfterFlushDropsTheSnapshot) {
    auto* first = new TextDataObject("first");
    OleSetClipboard(first);
    first->Release();
    OleFlushClipboard();
    auto* second = new TextDataObject("second");
    OleSetClipboard(second);
    ComPtr<IDataObject> got;
    OleGetClipboard(got.put());
    EXPECT_EQ(got.get(), second);
    got.reset();
    second->Release();
}

TEST(ClipboardThreads, UninitialisedThreadIsRefused) {
    HRESULT set = S_OK, get = S_OK, flush = S_OK;
    std::thread([&] {
        IDataObject* p = nullptr;
        set = OleSetClipboard(nullptr);
        get = OleGetClipboard(&p);
        flush = OleFlushClipboard();
    }).join();
    EXPECT_EQ(set, CO_E_NOTINITIALIZED);
    EXPECT_EQ(get, CO_E_NOTINITIALIZED);
    EXPECT_EQ(flush, CO_E_NOTINITIALIZED);
}

TEST(ClipboardThreads, LastOleUninitializeFlushesWhatTheThreadSet) {
    bool gone = false;
    std::thread([&] {
        ASSERT_EQ(OleInitialize(nullptr), S_OK);
        auto* obj = new TextDataObject("bye", &gone);
        OleSetClipboard(obj);
        obj->Release();
        OleUninitialize();
    }).join();
    EXPECT_TRUE(gone);
    ComInit com;
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));  // rendered before release
    OleSetClipboard(nullptr);
}

TEST(ClipboardFormats, NamesRegisterOnceIgnoringCase) {
    UINT id = RegisterClipboardFormatW(u"Link Source");
    EXPECT_GE(id, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatW(u"LINK SOURCE"), id);
    UINT other = RegisterClipboardFormatW(u"Link Source Descriptor");
    EXPECT_NE(other, id);
    EXPECT_EQ(RegisterClipboardFormatW(u""), 0u);
    EXPECT_EQ(RegisterClipboardFormatW(nullptr), 0u);

    WCHAR name[64];
    EXPECT_EQ(GetClipboardFormatNameW(id, name, 64), 11);
    EXPECT_EQ(std::u16string(name), u"Link Source");  // the case first registered
    EXPECT_EQ(GetClipboardFormatNameW(id, name, 5), 4);
    EXPECT_EQ(std::u16string(name), u"Link");
    EXPECT_EQ(GetClipboardFormatNameW(CF_TEXT, name, 64), 0);
    EXPECT_EQ(GetClipboardFormatNameW(0xFFFF, name, 64), 0);
    EXPECT_EQ(GetClipboardFormatNameW(id, name, 0), 0);
}

TEST(ClipboardStructures, ObjectDescriptorHasItsWindowsSize) {
    EXPECT_EQ(sizeof(OBJECTDESCRIPTOR), 52u);
    EXPECT_EQ(offsetof(OBJECTDESCRIPTOR, dwDrawAspect), 20u);
    EXPECT_EQ(offsetof(OBJECTDESCRIPTOR, dwSrcOfCopy), 48u);
}

}  // namespace
