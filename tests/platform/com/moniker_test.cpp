// File monikers and the running object table.
#include <gtest/gtest.h>

#include <thread>

#include "platform/com/com_ptr.h"
#include "platform/com/moniker.h"
#include "platform/com/task_memory.h"
#include "tests/platform/com/test_objects.h"

namespace {

using nv::com::ComPtr;
using nv::test::ComInit;
using nv::test::CountedObject;

ComPtr<IMoniker> fileMoniker(const char16_t* path) {
    ComPtr<IMoniker> m;
    EXPECT_EQ(CreateFileMoniker(path, m.put()), S_OK);
    return m;
}

ComPtr<IRunningObjectTable> rot() {
    ComPtr<IRunningObjectTable> table;
    EXPECT_EQ(GetRunningObjectTable(0, table.put()), S_OK);
    return table;
}

TEST(FileMoniker, IdentityAndDisplayName) {
    auto m = fileMoniker(u"/work/Service.wsdl");
    CLSID clsid;
    ASSERT_EQ(m->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_FileMoniker);
    DWORD kind = 0;
    EXPECT_EQ(m->IsSystemMoniker(&kind), S_OK);
    EXPECT_EQ(kind, static_cast<DWORD>(MKSYS_FILEMONIKER));
    nv::com::TaskMemPtr<OLECHAR> name;
    ASSERT_EQ(m->GetDisplayName(nullptr, nullptr, name.out()), S_OK);
    EXPECT_EQ(std::u16string(name.get()), u"/work/Service.wsdl");
    ComPtr<IPersistStream> persist;
    EXPECT_EQ(m.as(persist), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    ULARGE_INTEGER size;
    persist->GetSizeMax(&size);
    EXPECT_EQ(size.QuadPart, 4u + 2u * 18u);
    EXPECT_EQ(CreateFileMoniker(nullptr, m.put()), E_INVALIDARG);
}

TEST(FileMoniker, EqualityAndHashIgnoreCase) {
    auto a = fileMoniker(u"/Work/Service.WSDL");
    auto b = fileMoniker(u"/work/service.wsdl");
    auto c = fileMoniker(u"/work/other.wsdl");
    EXPECT_EQ(a->IsEqual(b.get()), S_OK);
    EXPECT_EQ(a->IsEqual(c.get()), S_FALSE);
    EXPECT_EQ(a->IsEqual(nullptr), S_FALSE);
    DWORD ha = 0, hb = 0;
    a->Hash(&ha);
    b->Hash(&hb);
    EXPECT_EQ(ha, hb);
    ComPtr<IMoniker> reduced;
    EXPECT_EQ(a->Reduce(nullptr, 0, nullptr, reduced.put()), MK_S_REDUCED_TO_SELF);
    EXPECT_EQ(reduced.get(), a.get());
}

class RunningObjectTable : public ::testing::Test {
  protected:
    ComInit com;
};

TEST_F(RunningObjectTable, RegisterRevokeAndLookUp) {
    auto table = rot();
    auto name = fileMoniker(u"/work/running.wsdl");
    auto* obj = new CountedObject;
    DWORD cookie = 0;
    ASSERT_EQ(table->Register(0, obj, name.get(), &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(obj->refs(), 1u);  // weak registration
    EXPECT_EQ(table->IsRunning(fileMoniker(u"/WORK/Running.wsdl").get()), S_OK);

    ComPtr<IUnknown> found;
    ASSERT_EQ(table->GetObject(name.get(), found.put()), S_OK);
    EXPECT_EQ(found.get(), obj);
    found.reset();
    ComPtr<IUnknown> bound;
    EXPECT_EQ(name->BindToObject(nullptr, nullptr, IID_IUnknown, bound.putVoid()), S_OK);
    EXPECT_EQ(bound.get(), obj);
    bound.reset();
    EXPECT_EQ(name->IsRunning(nullptr, nullptr, nullptr), S_OK);

    EXPECT_EQ(table->Revoke(cookie), S_OK);
    EXPECT_EQ(table->Revoke(cookie), E_INVALIDARG);
    EXPECT_EQ(table->IsRunning(name.get()), S_FALSE);
    EXPECT_EQ(table->GetObject(name.get(), found.put()), MK_E_UNAVAILABLE);
    EXPECT_EQ(found.get(), nullptr);
    EXPECT_EQ(name->BindToObject(nullptr, nullptr, IID_IUnknown, bound.putVoid()),
              MK_E_UNAVAILABLE);
    obj->Release();
}

TEST_F(RunningObjectTable, KeepAliveRegistrationHoldsTheObject) {
    auto table = rot();
    auto name = fileMoniker(u"/work/kept.wsdl");
    bool destroyed = false;
    auto* obj = new CountedObject(&destroyed);
    DWORD cookie = 0;
    ASSERT_EQ(table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, obj, name.get(), &cookie), S_OK);
    EXPECT_EQ(obj->refs(), 2u);
    obj->Release();
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(table->Revoke(cookie), S_OK);
    EXPECT_TRUE(destroyed);
}

TEST_F(RunningObjectTable, EqualMonikerRegistersAgainWithNewCookie) {
    auto table = rot();
    auto* first = new CountedObject;
    auto* second = new CountedObject;
    DWORD c1 = 0, c2 = 0;
    ASSERT_EQ(table->Register(0, first, fileMoniker(u"/work/dup.wsdl").get(), &c1), S_OK);
    EXPECT_EQ(table->Register(0, second, fileMoniker(u"/WORK/DUP.WSDL").get(), &c2),
              MK_S_MONIKERALREADYREGISTERED);
    EXPECT_NE(c1, c2);
    ComPtr<IUnknown> found;
    table->GetObject(fileMoniker(u"/work/dup.wsdl").get(), found.put());
    EXPECT_EQ(found.get(), first);  // the earlier registration answers
    found.reset();
    EXPECT_EQ(table->Revoke(c1), S_OK);
    table->GetObject(fileMoniker(u"/work/dup.wsdl").get(), found.put());
    EXPECT_EQ(found.get(), second);
    found.reset();
    EXPECT_EQ(table->Revoke(c2), S_OK);
    first->Release();
    second->Release();
}

TEST_F(RunningObjectTable, ChangeTimesAndArgumentChecks) {
    auto table = rot();
    auto name = fileMoniker(u"/work/timed.wsdl");
    auto* obj = new CountedObject;
    DWORD cookie = 0;
    table->Register(0, obj, name.get(), &cookie);
    FILETIME t{123, 456}, out{};
    EXPECT_EQ(table->GetTimeOfLastChange(name.get(), &out), MK_E_UNAVAILABLE);
    EXPECT_EQ(table->NoteChangeTime(cookie, &t), S_OK);
    EXPECT_EQ(table->GetTimeOfLastChange(name.get(), &out), S_OK);
    EXPECT_EQ(out.dwLowDateTime, 123u);
    EXPECT_EQ(table->NoteChangeTime(cookie + 1000, &t), E_INVALIDARG);
    DWORD unused;
    EXPECT_EQ(table->Register(0, nullptr, name.get(), &unused), E_INVALIDARG);
    EXPECT_EQ(table->Register(0x100, obj, name.get(), &unused), E_INVALIDARG);
    IEnumMoniker* e = nullptr;
    EXPECT_EQ(table->EnumRunning(&e), E_NOTIMPL);
    table->Revoke(cookie);
    obj->Release();
}

TEST(RunningObjectTableAccess, NeedsAnInitialisedThreadAndZeroReserved) {
    HRESULT uninitialised = S_OK;
    std::thread([&] {
        IRunningObjectTable* table = nullptr;
        uninitialised = GetRunningObjectTable(0, &table);
    }).join();
    EXPECT_EQ(uninitialised, CO_E_NOTINITIALIZED);
    ComInit com;
    IRunningObjectTable* table = nullptr;
    EXPECT_EQ(GetRunningObjectTable(1, &table), E_UNEXPECTED);
    EXPECT_EQ(GetRunningObjectTable(0, nullptr), E_INVALIDARG);
    // One table for the whole process.
    IRunningObjectTable* again = nullptr;
    ASSERT_EQ(GetRunningObjectTable(0, &table), S_OK);
    std::thread([&] {
        ComInit other;
        GetRunningObjectTable(0, &again);
    }).join();
    EXPECT_EQ(table, again);
    table->Release();
    again->Release();
}

}  // namespace
