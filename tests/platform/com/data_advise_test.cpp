// The standard data advise holder, the format enumerator, and ReleaseStgMedium's ownership
// rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/com/data_object.h"
#include "platform/com/global_memory.h"
#include "platform/com/task_memory.h"
#include "tests/platform/com/test_objects.h"
#include "tests/support/temp_dir.h"

namespace {

using nv::com::ComPtr;
using nv::test::CountedObject;
using nv::test::RecordingSink;
using nv::test::TextDataObject;

FORMATETC textFormat() {
    return {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

TEST(DataAdvise, SinksHearChangesWithData) {
    auto* data = new TextDataObject("v1");
    auto* sink = new RecordingSink;
    FORMATETC f = textFormat();
    DWORD connection = 0;
    ASSERT_EQ(data->DAdvise(&f, 0, sink, &connection), S_OK);
    EXPECT_NE(connection, 0u);
    EXPECT_EQ(sink->refs(), 2u);
    data->setText("v2");
    ASSERT_EQ(sink->changes.size(), 1u);
    EXPECT_EQ(sink->changes[0].format, CF_TEXT);
    EXPECT_EQ(sink->changes[0].text, "v2");
    EXPECT_EQ(data->DUnadvise(connection), S_OK);
    EXPECT_EQ(sink->refs(), 1u);
    EXPECT_EQ(data->DUnadvise(connection), OLE_E_NOCONNECTION);
    data->setText("v3");
    EXPECT_EQ(sink->changes.size(), 1u);
    sink->Release();
    data->Release();
}

TEST(DataAdvise, FlagsPrimeFirstNoDataAndOnlyOnce) {
    auto* data = new TextDataObject("now");
    auto* primed = new RecordingSink;
    auto* bare = new RecordingSink;
    auto* once = new RecordingSink;
    FORMATETC f = textFormat();
    DWORD c1, c2, c3;
    data->DAdvise(&f, ADVF_PRIMEFIRST, primed, &c1);
    ASSERT_EQ(primed->changes.size(), 1u);
    EXPECT_EQ(primed->changes[0].text, "now");
    data->DAdvise(&f, ADVF_NODATA, bare, &c2);
    data->DAdvise(&f, ADVF_ONLYONCE, once, &c3);
    data->setText("later");
    data->setText("even later");
    EXPECT_EQ(primed->changes.size(), 3u);
    ASSERT_EQ(bare->changes.size(), 2u);
    EXPECT_EQ(bare->changes[0].tymed, static_cast<DWORD>(TYMED_NULL));
    ASSERT_EQ(once->changes.size(), 1u);
    EXPECT_EQ(once->changes[0].text, "later");
    EXPECT_EQ(once->refs(), 1u);  // dropped after its one notification
    EXPECT_EQ(data->DUnadvise(c3), OLE_E_NOCONNECTION);
    data->DUnadvise(c1);
    data->DUnadvise(c2);
    for (RecordingSink* s : {primed, bare, once})
        s->Release();
    data->Release();
}

TEST(DataAdvise, EnumerationListsConnectionsWithReferences) {
    auto* data = new TextDataObject("x");
    auto* sink = new RecordingSink;
    FORMATETC f = textFormat();
    DWORD connection;
    data->DAdvise(&f, ADVF_NODATA, sink, &connection);
    ComPtr<IEnumSTATDATA> e;
    ASSERT_EQ(data->EnumDAdvise(e.put()), S_OK);
    STATDATA sd;
    ULONG n = 0;
    ASSERT_EQ(e->Next(1, &sd, &n), S_OK);
    EXPECT_EQ(sd.dwConnection, connection);
    EXPECT_EQ(sd.advf, static_cast<DWORD>(ADVF_NODATA));
    EXPECT_EQ(sd.pAdvSink, sink);
    EXPECT_EQ(sd.formatetc.cfFormat, CF_TEXT);
    sd.pAdvSink->Release();  // the receiver's reference
    CoTaskMemFree(sd.formatetc.ptd);
    EXPECT_EQ(e->Next(1, &sd, &n), S_FALSE);
    data->DUnadvise(connection);
    e.reset();
    EXPECT_EQ(sink->refs(), 1u);
    sink->Release();
    data->Release();
}

TEST(DataAdvise, ArgumentsAreChecked) {
    ComPtr<IDataAdviseHolder> holder;
    ASSERT_EQ(CreateDataAdviseHolder(holder.put()), S_OK);
    auto* sink = new RecordingSink;
    FORMATETC f = textFormat();
    DWORD c = 5;
    EXPECT_EQ(holder->Advise(nullptr, nullptr, 0, sink, &c), E_INVALIDARG);
    EXPECT_EQ(c, 0u);
    EXPECT_EQ(holder->Advise(nullptr, &f, 0, nullptr, &c), E_INVALIDARG);
    EXPECT_EQ(holder->Unadvise(12345), OLE_E_NOCONNECTION);
    // Without a data object nothing can be sent except to no-data connections.
    ASSERT_EQ(holder->Advise(nullptr, &f, 0, sink, &c), S_OK);
    EXPECT_EQ(holder->SendOnDataChange(nullptr, 0, 0), S_OK);
    EXPECT_TRUE(sink->changes.empty());
    EXPECT_EQ(holder->SendOnDataChange(nullptr, 0, ADVF_NODATA), S_OK);
    EXPECT_EQ(sink->changes.size(), 1u);
    holder.reset();  // releases the sink
    EXPECT_EQ(sink->refs(), 1u);
    sink->Release();
}

TEST(FormatEnumerator, CopiesTargetDevicesAndSupportsSkipResetClone) {
    auto* ptd = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(sizeof(DVTARGETDEVICE) + 4));
    *ptd = DVTARGETDEVICE{};
    ptd->tdSize = sizeof(DVTARGETDEVICE) + 4;
    FORMATETC formats[3] = {textFormat(), textFormat(), textFormat()};
    formats[1].cfFormat = CF_UNICODETEXT;
    formats[1].ptd = ptd;
    formats[2].cfFormat = CF_METAFILEPICT;
    ComPtr<IEnumFORMATETC> e;
    ASSERT_EQ(CreateFormatEnumerator(3, formats, e.put()), S_OK);
    CoTaskMemFree(ptd);  // the enumerator keeps its own copy

    FORMATETC out[3];
    ULONG n = 0;
    ASSERT_EQ(e->Next(2, out, &n), S_OK);
    EXPECT_EQ(n, 2u);
    ASSERT_NE(out[1].ptd, nullptr);
    EXPECT_EQ(out[1].ptd->tdSize, sizeof(DVTARGETDEVICE) + 4);
    CoTaskMemFree(out[1].ptd);
    ComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(e->Clone(clone.put()), S_OK);
    ASSERT_EQ(clone->Next(1, out, nullptr), S_OK);
    EXPECT_EQ(out[0].cfFormat, CF_METAFILEPICT);
    EXPECT_EQ(e->Skip(5), S_FALSE);
    EXPECT_EQ(e->Next(1, out, &n), S_FALSE);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Next(3, out, nullptr), E_INVALIDARG);  // a count is needed for several
    ASSERT_EQ(e->Next(3, out, &n), S_OK);
    CoTaskMemFree(out[1].ptd);
}

TEST(StgMedium, ReleaseFreesWhatTheReceiverOwns) {
    STGMEDIUM m{};
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = nv::test::globalFromText("mine");
    HGLOBAL h = m.hGlobal;
    ReleaseStgMedium(&m);
    EXPECT_EQ(m.tymed, static_cast<DWORD>(TYMED_NULL));
    EXPECT_EQ(m.hGlobal, nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);  // freed

    IStream* stm = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stm);
    m.tymed = TYMED_ISTREAM;
    m.pstm = stm;
    ReleaseStgMedium(&m);  // ASan reports a leak if the stream was not released
}

TEST(StgMedium, ProviderKeepsDataWhenItGaveAReleaseObject) {
    auto* provider = new CountedObject;
    provider->AddRef();
    STGMEDIUM m{};
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = nv::test::globalFromText("theirs");
    m.pUnkForRelease = provider;
    HGLOBAL h = m.hGlobal;
    ReleaseStgMedium(&m);
    EXPECT_EQ(provider->refs(), 1u);
    EXPECT_EQ(nv::test::globalText(h), "theirs");  // not freed
    GlobalFree(h);
    provider->Release();
}

TEST(StgMedium, FileMediumDeletesTheFileAndFreesTheName) {
    nv::test::TempDir dir("sondar-com");
    std::string path = dir.file("medium.txt");
    ASSERT_TRUE(nv::test::writeFile(path, "data"));
    std::u16string wide(path.begin(), path.end());
    auto* name = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
    std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, name);
    STGMEDIUM m{};
    m.tymed = TYMED_FILE;
    m.lpszFileName = name;
    ReleaseStgMedium(&m);
    EXPECT_FALSE(nv::test::fileExists(path));
    ReleaseStgMedium(nullptr);
}

}  // namespace
