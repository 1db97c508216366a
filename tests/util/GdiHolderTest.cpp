// The GDI holders: which handles a holder deletes, and when.
#include <gtest/gtest.h>

#include "TestResources.h"
#include "framework/Win32.h"
#include "util/Brush.h"
#include "util/Icon.h"

namespace {

// A holder whose notOwned flag the test can set, as a filling operation would.
class TestHolder : public GdiObject {
public:
    int GetInfo(void*) override { return 0; }
    void MarkNotOwned() { notOwned = 1; }
};

bool IsLiveBrush(HGDIOBJ h)
{
    return ::GetObjectType(h) == OBJ_BRUSH;
}

TEST(GdiHolder, OwnedBrushIsDeletedAtDestruction)
{
    HGDIOBJ h = nullptr;
    {
        Brush brush;
        ASSERT_EQ(1, brush.CreateSolid(RGB(10, 20, 30)));
        h = brush.GetHandle();
        ASSERT_TRUE(IsLiveBrush(h));
    }
    EXPECT_FALSE(IsLiveBrush(h));
}

TEST(GdiHolder, SystemColourBrushIsNeverDeleted)
{
    HGDIOBJ h = nullptr;
    {
        Brush brush;
        ASSERT_EQ(1, brush.FromSysColor(COLOR_WINDOW));
        h = brush.GetHandle();
        EXPECT_EQ(::GetSysColorBrush(COLOR_WINDOW), h);
    }
    EXPECT_TRUE(IsLiveBrush(h));
    EXPECT_EQ(h, ::GetSysColorBrush(COLOR_WINDOW));
}

TEST(GdiHolder, NotOwnedHandleIsNeverDeleted)
{
    HBRUSH h = ::CreateSolidBrush(RGB(1, 2, 3));
    {
        TestHolder holder;
        holder.Attach(h);
        holder.MarkNotOwned();
    }
    EXPECT_TRUE(IsLiveBrush(h));
    ::DeleteObject(h);
}

TEST(GdiHolder, DetachedHandleStaysValid)
{
    HGDIOBJ h = nullptr;
    {
        Brush brush;
        ASSERT_EQ(1, brush.CreateSolid(RGB(40, 50, 60)));
        h = brush.GetHandle();
        brush.Detach();
        EXPECT_EQ(nullptr, brush.GetHandle());
    }
    EXPECT_TRUE(IsLiveBrush(h));
    ::DeleteObject(h);
}

// Delete leaves nothing for the destructor: a brush made after it survives.
TEST(GdiHolder, DeleteThenDestructionDeletesOnce)
{
    HBRUSH survivor = nullptr;
    {
        Brush brush;
        ASSERT_EQ(1, brush.CreateSolid(RGB(70, 80, 90)));
        HGDIOBJ h = brush.GetHandle();
        EXPECT_TRUE(brush.Delete());
        EXPECT_EQ(nullptr, brush.GetHandle());
        EXPECT_FALSE(IsLiveBrush(h));
        survivor = ::CreateSolidBrush(RGB(1, 1, 1));
    }
    EXPECT_TRUE(IsLiveBrush(survivor));
    ::DeleteObject(survivor);
}

TEST(GdiHolder, RefillingReleasesTheOwnedBrush)
{
    Brush brush;
    ASSERT_EQ(1, brush.CreateSolid(RGB(1, 2, 3)));
    HGDIOBJ first = brush.GetHandle();
    ASSERT_EQ(1, brush.CreateSolid(RGB(4, 5, 6)));
    EXPECT_FALSE(IsLiveBrush(first));
    HGDIOBJ second = brush.GetHandle();
    ASSERT_EQ(1, brush.FromSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(IsLiveBrush(second));
}

// Attach decides ownership by its argument alone, whatever the holder held
// before; an owned brush held before is deleted.
TEST(GdiHolder, AttachTakesTheOwnershipItIsGiven)
{
    struct Case {
        const char* label;
        int heldBefore; // 0 nothing, 1 an owned brush, 2 a system colour brush
        int owned;
    } cases[] = {
        {"owned into an empty holder", 0, 1},
        {"shared into an empty holder", 0, 0},
        {"owned over a system brush", 2, 1},
        {"shared over an owned brush", 1, 0},
    };
    for (const Case& c : cases) {
        HBRUSH attached = ::CreateSolidBrush(RGB(7, 8, 9));
        HGDIOBJ before = nullptr;
        {
            Brush brush;
            if (c.heldBefore == 1)
                brush.CreateSolid(RGB(1, 1, 1));
            else if (c.heldBefore == 2)
                brush.FromSysColor(COLOR_WINDOW);
            before = brush.GetHandle();
            brush.Attach(attached, c.owned);
        }
        EXPECT_EQ(c.owned == 0, IsLiveBrush(attached)) << c.label;
        if (c.heldBefore != 0) {
            EXPECT_EQ(c.heldBefore == 2, IsLiveBrush(before)) << c.label;
        }
        if (c.owned == 0)
            ::DeleteObject(attached);
    }
}

TEST(Brush, GetInfoReportsTheLogicalBrush)
{
    Brush brush;
    LOGBRUSH info = {};
    EXPECT_EQ(0, brush.GetInfo(&info));

    ASSERT_EQ(1, brush.CreateSolid(RGB(0x12, 0x34, 0x56)));
    EXPECT_EQ(static_cast<int>(sizeof(LOGBRUSH)), brush.GetInfo(&info));
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), info.lbStyle);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), info.lbColor);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(12u, sizeof(LOGBRUSH));
    }
}

TEST(Icon, LoadsFromTheProgramsResources)
{
    Icon missing;
    EXPECT_EQ(0, missing.Load(IDI_MISSING_ICON));
    EXPECT_EQ(nullptr, missing.GetHandle());

    Icon icon;
    EXPECT_EQ(1, icon.Load(IDI_TEST_ICON));
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(icon.GetHandle(), &info));
    EXPECT_TRUE(info.fIcon);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

}  // namespace
