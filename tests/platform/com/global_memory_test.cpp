// HGLOBAL blocks: fixed and moveable, lock counts, reallocation rules, handle checking.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/global_memory.h"
#include "platform/com/last_error.h"
#include "platform/com/metafile.h"

namespace {

TEST(GlobalMemory, FixedBlockIsItsOwnPointer) {
    HGLOBAL h = GlobalAlloc(GPTR, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), h);
    EXPECT_EQ(static_cast<char*>(h)[15], 0);  // zeroed
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_EQ(GlobalSize(h), 16u);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, MoveableBlockCountsLocks) {
    HGLOBAL h = GlobalAlloc(GHND, 8);
    ASSERT_NE(h, nullptr);
    char* p = static_cast<char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_NE(static_cast<void*>(p), h);
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_TRUE(GlobalUnlock(h));  // still locked once
    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, ReallocKeepsContentsAndZeroesGrowth) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(h), "abcd", 4);
    GlobalUnlock(h);
    HGLOBAL grown = GlobalReAlloc(h, 4096, 0);
    ASSERT_EQ(grown, h);  // moveable blocks keep their handle
    const char* p = static_cast<const char*>(GlobalLock(h));
    EXPECT_EQ(std::memcmp(p, "abcd", 4), 0);
    EXPECT_EQ(p[4095], 0);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalReAlloc(h, 2, 0), h);
    EXPECT_EQ(GlobalSize(h), 2u);
    GlobalFree(h);
}

TEST(GlobalMemory, PinnedBlocksMoveOnlyWhenAllowed) {
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 4);
    EXPECT_EQ(GlobalReAlloc(fixed, 1 << 20, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    HGLOBAL moved = GlobalReAlloc(fixed, 1 << 20, GMEM_MOVEABLE);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(GlobalSize(moved), 1u << 20);
    GlobalFree(moved);

    HGLOBAL locked = GlobalAlloc(GMEM_MOVEABLE, 4);
    GlobalLock(locked);
    EXPECT_EQ(GlobalReAlloc(locked, 1 << 20, 0), nullptr);
    EXPECT_EQ(GlobalReAlloc(locked, 0, 0), nullptr);  // cannot discard while locked
    EXPECT_EQ(GlobalReAlloc(locked, 1 << 20, GMEM_MOVEABLE), locked);
    GlobalUnlock(locked);
    GlobalFree(locked);
}

TEST(GlobalMemory, DiscardedBlockCannotBeLocked) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalLock(h), nullptr);
    ASSERT_EQ(GlobalReAlloc(h, 3, GMEM_MOVEABLE), h);
    EXPECT_NE(GlobalLock(h), nullptr);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalReAlloc(h, 0, 0), h);
    EXPECT_EQ(GlobalLock(h), nullptr);
    GlobalFree(h);
}

TEST(GlobalMemory, InvalidHandlesAreDetected) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
    GlobalFree(h);
    EXPECT_EQ(GlobalFree(h), h);  // double free is reported, not performed
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalReAlloc(h, 8, 0), nullptr);
    int local = 0;
    EXPECT_EQ(GlobalSize(&local), 0u);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(Metafile, BitsRoundTripAndHandlesAreChecked) {
    const BYTE bits[] = {1, 2, 3, 4, 5};
    HMETAFILE mf = SetMetaFileBitsEx(sizeof bits, bits);
    ASSERT_NE(mf, nullptr);
    EXPECT_EQ(GetMetaFileBitsEx(mf, 0, nullptr), 5u);
    BYTE small[2];
    EXPECT_EQ(GetMetaFileBitsEx(mf, sizeof small, small), 0u);
    BYTE out[8] = {};
    EXPECT_EQ(GetMetaFileBitsEx(mf, sizeof out, out), 5u);
    EXPECT_EQ(std::memcmp(out, bits, 5), 0);
    EXPECT_TRUE(DeleteMetaFile(mf));
    EXPECT_FALSE(DeleteMetaFile(mf));
    EXPECT_EQ(GetMetaFileBitsEx(mf, 0, nullptr), 0u);
}

}  // namespace
