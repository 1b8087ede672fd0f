#include "platform/DWordArray.h"
#include "platform/ObArray.h"
#include "PlatformTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

namespace {

template <typename Array>
auto Contents(const Array& a)
{
    std::vector<decltype(a.GetAt(0))> v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(a.GetAt(i));
    return v;
}

using Actions = std::vector<std::function<void()>>;

void ExpectAllThrowInvalidArg(const Actions& actions)
{
    for (std::size_t i = 0; i < actions.size(); ++i)
        EXPECT_TRUE(ThrowsInvalidArg(actions[i])) << "case " << i;
}

using V = std::vector<DWORD>;

TEST(CDWordArrayTest, SizeAndElementAccess)
{
    CDWordArray a;
    a.SetSize(3);
    EXPECT_EQ(V({0, 0, 0}), Contents(a));
    a.SetAt(1, 0xFFFFFFFFu);
    a.ElementAt(2) = 7;
    a[0] = 5;
    EXPECT_EQ(V({5, 0xFFFFFFFFu, 7}), Contents(a));
    a.SetSize(1);
    a.SetSize(4);  // grown elements are zero again, not the old values
    EXPECT_EQ(V({5, 0, 0, 0}), Contents(a));

    ExpectAllThrowInvalidArg({
        [&] { (void)a.GetAt(-1); },      [&] { (void)a.GetAt(4); },      [&] { (void)a.GetAt(INT_MIN); },
        [&] { a.SetAt(4, 1); },          [&] { a.SetAt(-1, 1); },        [&] { (void)a.ElementAt(4); },
        [&] { (void)a.ElementAt(INT_MAX); }, [&] { (void)a[-1]; },       [&] { a.SetSize(-1); },
    });
    EXPECT_EQ(V({5, 0, 0, 0}), Contents(a));
}

TEST(CDWordArrayTest, InsertAndRemove)
{
    CDWordArray a;
    for (DWORD v : {1u, 2u, 3u})
        a.Add(v);
    a.InsertAt(0, 9);
    a.InsertAt(4, 8, 2);  // at the end
    a.InsertAt(2, 6, 0);  // nothing
    EXPECT_EQ(V({9, 1, 2, 3, 8, 8}), Contents(a));
    a.RemoveAt(1, 2);
    a.RemoveAt(4, 0);  // an empty range at the end
    EXPECT_EQ(V({9, 3, 8, 8}), Contents(a));

    ExpectAllThrowInvalidArg({
        [&] { a.InsertAt(5, 1); },       [&] { a.InsertAt(-1, 1); },     [&] { a.InsertAt(0, 1, -1); },
        [&] { a.InsertAt(1, 0, INT_MAX); },  // more elements than an int can count
        [&] { a.RemoveAt(4); },          [&] { a.RemoveAt(-1); },        [&] { a.RemoveAt(2, 3); },
        [&] { a.RemoveAt(0, -1); },      [&] { a.RemoveAt(1, INT_MAX); },
    });
    EXPECT_EQ(V({9, 3, 8, 8}), Contents(a));
}

class Item : public CObject {};

TEST(CObArrayTest, GrowsWithNullsAndChecksIndices)
{
    Item x, y, z;  // owned by the test: the array must not delete them
    using P = std::vector<CObject*>;
    CObArray a;
    a.SetSize(2);
    a.SetAt(1, &x);
    a.SetAtGrow(4, &y);
    EXPECT_EQ(P({nullptr, &x, nullptr, nullptr, &y}), Contents(a));
    a.SetAtGrow(0, &z);  // inside the array: no growth
    a.InsertAt(1, &y, 2);
    EXPECT_EQ(P({&z, &y, &y, &x, nullptr, nullptr, &y}), Contents(a));
    a.RemoveAt(0, 3);
    EXPECT_EQ(P({&x, nullptr, nullptr, &y}), Contents(a));

    ExpectAllThrowInvalidArg({
        [&] { (void)a.GetAt(4); },   [&] { (void)a.GetAt(-1); },  [&] { a.SetAt(4, &x); },
        [&] { a.SetAtGrow(-1, &x); }, [&] { a.SetSize(-2); },     [&] { a.InsertAt(5, &x); },
        [&] { a.RemoveAt(0, 5); },   [&] { a.InsertAt(0, &x, INT_MAX); },
    });
    EXPECT_EQ(4, a.GetSize());
}

}  // namespace
