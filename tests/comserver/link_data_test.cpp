// The control object as the clipboard's link data object.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/com/clipboard.h"
#include "platform/com/global_memory.h"
#include "platform/com/iids.h"
#include "platform/com/moniker.h"
#include "platform/com/task_memory.h"
#include "tests/comserver/wscom_client.h"

namespace wscom::test {

namespace {

CLIPFORMAT linkSource() {
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(u"Link Source"));
}
CLIPFORMAT linkDescriptor() {
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(u"Link Source Descriptor"));
}

FORMATETC request(CLIPFORMAT cf, DWORD tymed) {
    return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, tymed};
}

std::vector<BYTE> globalBytes(HGLOBAL h) {
    std::vector<BYTE> out(GlobalSize(h));
    if (!out.empty()) {
        std::memcpy(out.data(), GlobalLock(h), out.size());
        GlobalUnlock(h);
    }
    return out;
}

class WscomLinkData : public WscomTest {
  protected:
    void SetUp() override {
        WscomTest::SetUp();
        if (HasFatalFailure())
            return;
        control_ = newControl();
        ASSERT_TRUE(control_);
        ASSERT_EQ(control_.as(data_), S_OK);
    }
    void TearDown() override {
        OleSetClipboard(nullptr);  // the clipboard must not keep the object past the test
        data_.reset();
        control_.reset();
        WscomTest::TearDown();
    }

    nv::com::ComPtr<INVWSControl> control_;
    nv::com::ComPtr<IDataObject> data_;
};

TEST_F(WscomLinkData, SetClipboardOffersTheFourFormatsWhateverItIsGiven) {
    for (const char16_t* url : {u"http://x/a?wsdl", u""}) {
        nv::com::Bstr a(url), b(u"Service"), c(u"Operation");
        ASSERT_EQ(control_->SetClipboard(a.get(), b.get(), c.get()), S_OK);
        EXPECT_EQ(OleIsCurrentClipboard(data_.get()), S_OK);
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
        EXPECT_TRUE(IsClipboardFormatAvailable(linkSource()));

        nv::com::ComPtr<IEnumFORMATETC> formats;
        ASSERT_EQ(data_->EnumFormatEtc(DATADIR_GET, formats.put()), S_OK);
        FORMATETC got[5] = {};
        ULONG fetched = 0;
        EXPECT_EQ(formats->Next(5, got, &fetched), S_FALSE);
        ASSERT_EQ(fetched, 4u);
        const std::pair<CLIPFORMAT, DWORD> expected[] = {{CF_TEXT, TYMED_HGLOBAL},
                                                         {CF_METAFILEPICT, TYMED_MFPICT},
                                                         {linkSource(), TYMED_ISTREAM},
                                                         {linkDescriptor(), TYMED_HGLOBAL}};
        for (ULONG i = 0; i < 4; ++i) {
            EXPECT_EQ(got[i].cfFormat, expected[i].first);
            EXPECT_EQ(got[i].tymed, expected[i].second);
            EXPECT_EQ(got[i].dwAspect, DWORD{DVASPECT_CONTENT});
            EXPECT_EQ(got[i].lindex, -1);
            EXPECT_EQ(data_->QueryGetData(&got[i]), S_OK);
        }
    }
    nv::com::ComPtr<IEnumFORMATETC> none;
    EXPECT_EQ(data_->EnumFormatEtc(DATADIR_SET, none.put()), E_NOTIMPL);
}

TEST_F(WscomLinkData, PlainTextIsTheFixedTextWithItsNul) {
    FORMATETC text = request(CF_TEXT, TYMED_HGLOBAL);
    STGMEDIUM medium{};
    ASSERT_EQ(data_->GetData(&text, &medium), S_OK);
    EXPECT_EQ(medium.tymed, DWORD{TYMED_HGLOBAL});
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    std::vector<BYTE> bytes = globalBytes(medium.hGlobal);
    const char expected[] = "A whole bunch of text strings";
    ASSERT_EQ(bytes.size(), sizeof expected);
    EXPECT_EQ(std::memcmp(bytes.data(), expected, sizeof expected), 0);
    ReleaseStgMedium(&medium);

    FORMATETC wrongMedium = request(CF_TEXT, TYMED_ISTREAM);
    EXPECT_EQ(data_->GetData(&wrongMedium, &medium), DV_E_TYMED);
}

TEST_F(WscomLinkData, TheMetafileIsListedButNeverRendered) {
    FORMATETC picture = request(CF_METAFILEPICT, TYMED_MFPICT);
    STGMEDIUM medium{};
    EXPECT_EQ(data_->QueryGetData(&picture), S_OK);
    EXPECT_EQ(data_->GetData(&picture, &medium), E_NOTIMPL);
    FORMATETC other = request(CF_UNICODETEXT, TYMED_HGLOBAL);
    EXPECT_EQ(data_->QueryGetData(&other), DV_E_FORMATETC);
    EXPECT_EQ(data_->GetData(&other, &medium), E_NOTIMPL);
    EXPECT_EQ(data_->GetDataHere(&other, &medium), E_NOTIMPL);
    EXPECT_EQ(data_->SetData(&other, &medium, FALSE), E_NOTIMPL);
    FORMATETC canonical{};
    EXPECT_EQ(data_->GetCanonicalFormatEtc(&other, &canonical), E_NOTIMPL);
}

TEST_F(WscomLinkData, TheDescriptorIsNinetyTwoBytesNamingTheClass) {
    FORMATETC descriptor = request(linkDescriptor(), TYMED_HGLOBAL);
    STGMEDIUM medium{};
    ASSERT_EQ(data_->GetData(&descriptor, &medium), S_OK);
    std::vector<BYTE> bytes = globalBytes(medium.hGlobal);
    ReleaseStgMedium(&medium);
    ASSERT_EQ(bytes.size(), 92u);
    OBJECTDESCRIPTOR d;
    std::memcpy(&d, bytes.data(), sizeof d);
    EXPECT_EQ(d.cbSize, 92u);
    EXPECT_TRUE(d.clsid == kClsidNVWSControl);
    EXPECT_EQ(d.dwDrawAspect, DWORD{DVASPECT_CONTENT});
    EXPECT_EQ(d.sizel.cx, 0);
    EXPECT_EQ(d.pointl.y, 0);
    EXPECT_EQ(d.dwStatus, 0u);
    EXPECT_EQ(d.dwFullUserTypeName, 52u);
    EXPECT_EQ(d.dwSrcOfCopy, 0u);
    std::u16string name(reinterpret_cast<const char16_t*>(bytes.data() + 52), 20);
    EXPECT_EQ(name, std::u16string(u"CNVWSControl Object") + u'\0');
}

// The link's registration keeps the object alive for the rest of the process, so this runs
// in a child process and reports through its exit code.
bool linkSourceNamesTheRunningProgram(INVWSControl* first, IDataObject* data) {
    auto fail = [](const char* what) {
        std::cerr << what << "\n";
        return false;
    };
    nv::com::ComPtr<IMoniker> program;
    IRunningObjectTable* table = nullptr;
    if (FAILED(CreateFileMoniker(u"Sondar.exe", program.put())) ||
        FAILED(GetRunningObjectTable(0, &table)) || table->IsRunning(program.get()) != S_FALSE)
        return fail("the table already knows the program");

    FORMATETC link = request(linkSource(), TYMED_ISTREAM);
    STGMEDIUM medium{};
    if (data->GetData(&link, &medium) != S_OK || medium.tymed != TYMED_ISTREAM)
        return fail("no stream");
    nv::com::ComPtr<IStream> stream;
    stream.attach(medium.pstm);
    nv::com::ComPtr<IMoniker> moniker;
    if (OleLoadFromStream(stream.get(), IID_IMoniker, moniker.putVoid()) != S_OK)
        return fail("the stream does not start with a moniker");
    LPOLESTR name = nullptr;
    moniker->GetDisplayName(nullptr, nullptr, &name);
    bool named = std::u16string_view(name ? name : u"") == u"Sondar.exe";
    CoTaskMemFree(name);
    CLSID clsid{};
    if (!named || ReadClassStm(stream.get(), &clsid) != S_OK || !(clsid == kClsidNVWSControl))
        return fail("moniker name or class wrong");

    // The object itself answers for the program, also after a second rendering.
    if (data->GetData(&link, &medium) != S_OK)
        return fail("second rendering failed");
    ReleaseStgMedium(&medium);
    nv::com::ComPtr<IUnknown> running, identity;
    nv::com::ComPtr<INVWSControl>(first).as(identity);
    if (table->GetObject(program.get(), running.put()) != S_OK || running != identity)
        return fail("the table does not hold the object");

    // A second object finds the name taken and leaves the first registered.
    auto second = newControl();
    nv::com::ComPtr<IDataObject> secondData;
    second.as(secondData);
    if (secondData->GetData(&link, &medium) != S_OK)
        return fail("the second object renders no link");
    ReleaseStgMedium(&medium);
    if (table->GetObject(program.get(), running.put()) != S_OK || running != identity)
        return fail("the second object took the name");
    return true;
}

TEST_F(WscomLinkData, TheLinkSourceIsTheProgramsMonikerAndTheClass) {
    EXPECT_EXIT(std::exit(linkSourceNamesTheRunningProgram(control_.get(), data_.get()) ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(WscomLinkData, PersistFileGivesTheClassAndNothingElse) {
    nv::com::ComPtr<IPersistFile> file;
    ASSERT_EQ(control_.as(file), S_OK);
    CLSID clsid{};
    ASSERT_EQ(file->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(clsid == kClsidNVWSControl);
    EXPECT_EQ(file->IsDirty(), S_OK);
    EXPECT_EQ(file->Load(u"/nonexistent", STGM_READ), S_OK);
    EXPECT_EQ(file->Save(nullptr, TRUE), S_OK);
    EXPECT_EQ(file->SaveCompleted(nullptr), S_OK);
    LPOLESTR name = reinterpret_cast<LPOLESTR>(1);
    EXPECT_EQ(file->GetCurFile(&name), S_OK);
    EXPECT_EQ(name, nullptr);
    nv::com::ComPtr<IPersist> persist;
    ASSERT_EQ(control_.as(persist), S_OK);
    clsid = CLSID_NULL;
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(clsid == kClsidNVWSControl);
}

// Counts its references; ignores the notifications.
class Sink final : public IAdviseSink {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid != IID_IUnknown && riid != IID_IAdviseSink) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = this;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override { return --refs_; }
    void OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void OnViewChange(DWORD, LONG) override {}
    void OnRename(IMoniker*) override {}
    void OnSave() override {}
    void OnClose() override {}

    std::atomic<ULONG> refs_{1};
};

TEST_F(WscomLinkData, AdviseConnectionsAreHeldUntilRevoked) {
    Sink sink;
    FORMATETC text = request(CF_TEXT, TYMED_HGLOBAL);
    DWORD connection = 0;
    ASSERT_EQ(data_->DAdvise(&text, 0, &sink, &connection), S_OK);
    EXPECT_NE(connection, 0u);
    EXPECT_EQ(sink.refs_, 2u);
    nv::com::ComPtr<IEnumSTATDATA> list;
    ASSERT_EQ(data_->EnumDAdvise(list.put()), S_OK);
    STATDATA stat{};
    ULONG fetched = 0;
    ASSERT_EQ(list->Next(1, &stat, &fetched), S_OK);
    EXPECT_EQ(stat.dwConnection, connection);
    stat.pAdvSink->Release();
    CoTaskMemFree(stat.formatetc.ptd);
    list.reset();
    EXPECT_EQ(data_->DUnadvise(connection), S_OK);
    EXPECT_EQ(sink.refs_, 1u);
    EXPECT_EQ(data_->DUnadvise(connection), OLE_E_NOCONNECTION);
}

}  // namespace

}  // namespace wscom::test
