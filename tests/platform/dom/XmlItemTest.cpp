// The item tree's ownership and lookups: the profile and file-list readers depend on both lookup forms.
#include <gtest/gtest.h>

#include <memory>

#include "platform/dom/XmlItem.h"

namespace {

CXmlItem* AddNamed(CXmlItem& parent, const wchar_t* name, const wchar_t* value = L"") {
    auto child = std::make_unique<CXmlItem>(&parent);
    child->SetName(name);
    child->SetValue(value);
    return parent.AddChild(std::move(child));
}

TEST(CXmlItem, AddChildNumbersChildrenInOrderAndAdoptsThem) {
    CXmlItem root;
    auto orphan = std::make_unique<CXmlItem>();  // made without a parent
    EXPECT_EQ(orphan->Position(), -1);
    CXmlItem* first = AddNamed(root, L"A");
    CXmlItem* second = root.AddChild(std::move(orphan));
    CXmlItem* third = AddNamed(root, L"C");

    EXPECT_EQ(first->Position(), 0);
    EXPECT_EQ(second->Position(), 1);
    EXPECT_EQ(third->Position(), 2);
    EXPECT_EQ(second->Parent(), &root);
    EXPECT_EQ(root.ChildCount(), 3);
    EXPECT_EQ(root.FindChild(L"", 1), second);
}

TEST(CXmlItem, FindChildByNameIgnoresCaseAndTakesTheFirstMatch) {
    CXmlItem head;
    AddNamed(head, L"VERSION", L"1.0");
    AddNamed(head, L"Version", L"2.0");
    AddNamed(head, L"alias", L"메모장");
    AddNamed(head, L"파일", L"korean name");

    ASSERT_NE(head.FindChild(L"version"), nullptr);
    EXPECT_EQ(head.FindChild(L"version")->GetValue(), L"1.0");
    ASSERT_NE(head.FindChild(L"ALIAS"), nullptr);
    EXPECT_EQ(head.FindChild(L"ALIAS")->GetValue(), L"메모장");
    ASSERT_NE(head.FindChild(L"파일"), nullptr);
    EXPECT_EQ(head.FindChild(L"VERSIONS"), nullptr);
    EXPECT_EQ(head.FindChild(L"VERSIO"), nullptr);
    EXPECT_EQ(head.FindChild(L""), nullptr);
}

TEST(CXmlItem, FindChildByPositionIgnoresTheNameAndStopsAtTheEnd) {
    CXmlItem list;
    CXmlItem* first = AddNamed(list, L"FILE");
    AddNamed(list, L"ENTRY");
    CXmlItem* third = AddNamed(list, L"FILE");

    EXPECT_EQ(list.FindChild(L"ENTRY", 0), first);
    EXPECT_EQ(list.FindChild(L"nothing like it", 2), third);
    EXPECT_EQ(list.FindChild(L"FILE", 3), nullptr);
    EXPECT_EQ(list.FindChild(L"FILE", -2), nullptr);

    CXmlItem leaf;
    EXPECT_EQ(leaf.FindChild(L"FILE", 0), nullptr);
    EXPECT_EQ(leaf.FindChild(L"FILE"), nullptr);
}

}  // namespace
