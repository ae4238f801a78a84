// HGLOBAL streams, class IDs in streams, and objects saved and loaded with their class.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/data_object.h"
#include "platform/com/global_memory.h"
#include "platform/com/iids.h"
#include "platform/com/moniker.h"
#include "platform/com/stream.h"
#include "platform/com/task_memory.h"

namespace {

using nv::com::ComPtr;

LARGE_INTEGER offset(LONGLONG v) {
    LARGE_INTEGER li;
    li.QuadPart = v;
    return li;
}

ULONGLONG seek(IStream* s, LONGLONG move, DWORD origin) {
    ULARGE_INTEGER pos{};
    EXPECT_EQ(s->Seek(offset(move), origin, &pos), S_OK);
    return pos.QuadPart;
}

std::string readAll(IStream* s) {
    std::string out;
    char buf[7];
    ULONG got = 0;
    while (SUCCEEDED(s->Read(buf, sizeof buf, &got)) && got > 0)
        out.append(buf, got);
    return out;
}

ULONGLONG sizeOf(IStream* s) {
    STATSTG st;
    EXPECT_EQ(s->Stat(&st, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(st.type, static_cast<DWORD>(STGTY_STREAM));
    return st.cbSize.QuadPart;
}

TEST(HGlobalStream, WritesReadBackAfterSeeking) {
    ComPtr<IStream> s;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, s.put()), S_OK);
    ULONG written = 0;
    ASSERT_EQ(s->Write("hello world", 11, &written), S_OK);
    EXPECT_EQ(written, 11u);
    EXPECT_EQ(sizeOf(s.get()), 11u);
    EXPECT_EQ(seek(s.get(), 0, STREAM_SEEK_SET), 0u);
    EXPECT_EQ(readAll(s.get()), "hello world");
    EXPECT_EQ(seek(s.get(), -5, STREAM_SEEK_END), 6u);
    EXPECT_EQ(readAll(s.get()), "world");
    // Reading at the end gives S_OK and nothing.
    char c;
    ULONG got = 1;
    EXPECT_EQ(s->Read(&c, 1, &got), S_OK);
    EXPECT_EQ(got, 0u);
}

TEST(HGlobalStream, WritingPastTheEndFillsTheGapWithZeros) {
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    EXPECT_EQ(seek(s.get(), 4, STREAM_SEEK_SET), 4u);
    s->Write("x", 1, nullptr);
    seek(s.get(), 0, STREAM_SEEK_SET);
    EXPECT_EQ(readAll(s.get()), std::string("\0\0\0\0x", 5));
}

TEST(HGlobalStream, SeekAndSizeErrors) {
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    ULARGE_INTEGER pos{};
    EXPECT_EQ(s->Seek(offset(-1), STREAM_SEEK_SET, &pos), STG_E_SEEKERROR);
    EXPECT_EQ(s->Seek(offset(0), 7, &pos), STG_E_INVALIDFUNCTION);
    ULARGE_INTEGER huge;
    huge.QuadPart = 1ull << 33;
    EXPECT_EQ(s->SetSize(huge), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->Write(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
    EXPECT_EQ(s->LockRegion(pos, pos, LOCK_WRITE), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->Stat(nullptr, 0), STG_E_INVALIDPOINTER);
}

TEST(HGlobalStream, SetSizeTruncatesAndExtends) {
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    s->Write("abcdef", 6, nullptr);
    ULARGE_INTEGER size;
    size.QuadPart = 3;
    ASSERT_EQ(s->SetSize(size), S_OK);
    seek(s.get(), 0, STREAM_SEEK_SET);
    EXPECT_EQ(readAll(s.get()), "abc");
    size.QuadPart = 5;
    ASSERT_EQ(s->SetSize(size), S_OK);
    seek(s.get(), 0, STREAM_SEEK_SET);
    EXPECT_EQ(readAll(s.get()), std::string("abc\0\0", 5));
}

TEST(HGlobalStream, ClonesShareDataButNotPosition) {
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    s->Write("shared", 6, nullptr);
    ComPtr<IStream> clone;
    ASSERT_EQ(s->Clone(clone.put()), S_OK);
    EXPECT_EQ(seek(clone.get(), 0, STREAM_SEEK_CUR), 6u);
    seek(clone.get(), 0, STREAM_SEEK_SET);
    clone->Write("S", 1, nullptr);
    s.reset();  // the block lives on while the clone does
    seek(clone.get(), 0, STREAM_SEEK_SET);
    EXPECT_EQ(readAll(clone.get()), "Shared");
}

TEST(HGlobalStream, CopyToAnotherStreamAndToItsOwnClone) {
    ComPtr<IStream> a, b;
    CreateStreamOnHGlobal(nullptr, TRUE, a.put());
    CreateStreamOnHGlobal(nullptr, TRUE, b.put());
    std::string data(200000, 'z');
    a->Write(data.data(), static_cast<ULONG>(data.size()), nullptr);
    seek(a.get(), 0, STREAM_SEEK_SET);
    ULARGE_INTEGER cb, read, written;
    cb.QuadPart = 150000;
    ASSERT_EQ(a->CopyTo(b.get(), cb, &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, 150000u);
    EXPECT_EQ(written.QuadPart, 150000u);
    EXPECT_EQ(sizeOf(b.get()), 150000u);

    // The target may share the source's block: no deadlock, data appended.
    ComPtr<IStream> clone;
    a->Clone(clone.put());
    seek(clone.get(), 0, STREAM_SEEK_END);
    seek(a.get(), 0, STREAM_SEEK_SET);
    cb.QuadPart = 10;
    ASSERT_EQ(a->CopyTo(clone.get(), cb, nullptr, nullptr), S_OK);
    EXPECT_EQ(sizeOf(a.get()), 200010u);
    EXPECT_EQ(a->CopyTo(nullptr, cb, nullptr, nullptr), STG_E_INVALIDPOINTER);
}

TEST(HGlobalStream, CallerKeepsTheBlockWithoutDeleteOnRelease) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(h), "abc", 3);
    GlobalUnlock(h);
    {
        ComPtr<IStream> s;
        ASSERT_EQ(CreateStreamOnHGlobal(h, FALSE, s.put()), S_OK);
        EXPECT_EQ(sizeOf(s.get()), 3u);  // the stream starts with the block's contents
        EXPECT_EQ(readAll(s.get()), "abc");
        s->Write("defg", 4, nullptr);
        HGLOBAL under = nullptr;
        ASSERT_EQ(GetHGlobalFromStream(s.get(), &under), S_OK);
        EXPECT_EQ(under, h);
        EXPECT_EQ(GlobalSize(under), 7u);
    }
    EXPECT_EQ(GlobalSize(h), 7u);  // still valid: the caller owns it
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(HGlobalStream, DeleteOnReleaseFreesTheBlock) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 1);
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(h, TRUE, &s), S_OK);
    s->Release();
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalFree(h), h);  // already freed by the stream
}

TEST(HGlobalStream, OtherStreamsHaveNoBlock) {
    HGLOBAL h = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(GetHGlobalFromStream(nullptr, &h), E_INVALIDARG);
    EXPECT_EQ(h, nullptr);
    int notAHandle = 0;
    IStream* s = nullptr;
    EXPECT_EQ(CreateStreamOnHGlobal(&notAHandle, TRUE, &s), E_INVALIDARG);
    EXPECT_EQ(s, nullptr);
}

TEST(ClassStream, ClsidRoundTripsInLittleEndianLayout) {
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    ASSERT_EQ(WriteClassStm(s.get(), IID_ISequentialStream), S_OK);
    seek(s.get(), 0, STREAM_SEEK_SET);
    std::string bytes = readAll(s.get());
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x30);  // Data1 0x0C733A30, low byte first
    EXPECT_EQ(static_cast<unsigned char>(bytes[3]), 0x0C);
    EXPECT_EQ(static_cast<unsigned char>(bytes[8]), 0xAD);
    seek(s.get(), 0, STREAM_SEEK_SET);
    CLSID back;
    ASSERT_EQ(ReadClassStm(s.get(), &back), S_OK);
    EXPECT_EQ(back, IID_ISequentialStream);
    EXPECT_EQ(ReadClassStm(s.get(), &back), STG_E_READFAULT);  // nothing left
}

TEST(ClassStream, FileMonikerSavesAndLoadsWithItsClass) {
    ComPtr<IMoniker> moniker;
    ASSERT_EQ(CreateFileMoniker(u"/tmp/Report.wsdl", moniker.put()), S_OK);
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    ASSERT_EQ(OleSaveToStream(moniker.get(), s.get()), S_OK);
    // Class id, then a 32-bit unit count and the path.
    EXPECT_EQ(sizeOf(s.get()), 16u + 4u + 2u * 16u);
    seek(s.get(), 0, STREAM_SEEK_SET);
    ComPtr<IMoniker> loaded;
    ASSERT_EQ(OleLoadFromStream(s.get(), IID_IMoniker, loaded.putVoid()), S_OK);
    EXPECT_EQ(loaded->IsEqual(moniker.get()), S_OK);
    nv::com::TaskMemPtr<OLECHAR> name;
    loaded->GetDisplayName(nullptr, nullptr, name.out());
    EXPECT_EQ(std::u16string(name.get()), u"/tmp/Report.wsdl");
}

TEST(ClassStream, SavingNothingWritesTheNullClass) {
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    ASSERT_EQ(OleSaveToStream(nullptr, s.get()), S_OK);
    seek(s.get(), 0, STREAM_SEEK_SET);
    CLSID c = IID_IUnknown;
    ReadClassStm(s.get(), &c);
    EXPECT_EQ(c, CLSID_NULL);
}

TEST(ClassStream, TruncatedMonikerDataFailsToLoad) {
    ComPtr<IStream> s;
    CreateStreamOnHGlobal(nullptr, TRUE, s.put());
    WriteClassStm(s.get(), CLSID_FileMoniker);
    const BYTE claim[] = {10, 0, 0, 0, 'a', 0};  // says 10 units, holds 1
    s->Write(claim, sizeof claim, nullptr);
    seek(s.get(), 0, STREAM_SEEK_SET);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(OleLoadFromStream(s.get(), IID_IMoniker, &out), STG_E_READFAULT);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
