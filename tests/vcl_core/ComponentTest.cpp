#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/SysUtils.h"

using namespace vcl;

namespace {

std::vector<std::string> journal;

class TProbe : public TComponent {
public:
    explicit TProbe(TComponent* owner, std::string tag) : TComponent(owner), Tag(std::move(tag)) {}
    ~TProbe() override { journal.push_back("destroy " + Tag); }
    std::string Tag;
    TComponent* Partner = nullptr;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove && c == Partner) {
            journal.push_back(Tag + " lost partner");
            Partner = nullptr;
        }
    }
};

} // namespace

TEST(TComponent, OwnerDestroysOwnedComponentsLastInsertedFirst) {
    journal.clear();
    auto* root = new TProbe(nullptr, "root");
    new TProbe(root, "a");
    new TProbe(root, "b");
    EXPECT_EQ(root->ComponentCount(), 2);
    delete root;
    EXPECT_EQ(journal, (std::vector<std::string>{"destroy root", "destroy b", "destroy a"}));
}

TEST(TComponent, ExplicitlyFreedComponentLeavesItsOwnerAndSiblingsHear) {
    journal.clear();
    TProbe root(nullptr, "root");
    auto* a = new TProbe(&root, "a");
    auto* b = new TProbe(&root, "b");
    a->Partner = b;
    delete b;
    EXPECT_EQ(a->Partner, nullptr);
    EXPECT_EQ(root.ComponentCount(), 1);
    EXPECT_EQ(root.Components(0), a);
}

TEST(TComponent, FreeNotificationReachesPartnersWithOtherOwners) {
    journal.clear();
    TProbe left(nullptr, "left"), right(nullptr, "right");
    auto* x = new TProbe(&left, "x");
    auto* y = new TProbe(&right, "y");
    x->Partner = y;
    y->FreeNotification(x);
    delete y;
    EXPECT_EQ(x->Partner, nullptr);
    EXPECT_FALSE(x->HasState(csFreeNotification));
}

TEST(TComponent, NamesAreUniqueAmongSiblingsWithoutRegardToCase) {
    TProbe root(nullptr, "root");
    auto* a = new TProbe(&root, "a");
    auto* b = new TProbe(&root, "b");
    a->SetName("Query1");
    try {
        b->SetName("QUERY1");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "A component named QUERY1 already exists");
    }
    EXPECT_EQ(b->GetName(), "");
    EXPECT_EQ(root.FindComponent("query1"), a);
}

TEST(TComponent, DestroyingMarksOwnedComponents) {
    TProbe root(nullptr, "root");
    auto* a = new TProbe(&root, "a");
    root.Destroying();
    EXPECT_TRUE(a->HasState(csDestroying));
}
