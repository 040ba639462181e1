// The registry of live connections: default names, unique name keys, lookup
// by name for a query, removal, and many threads at once.
#include <atomic>
#include <set>
#include <thread>

#include "Fixture.h"

namespace ConnectTests {
namespace {

using SybConnect::CTLibConnections;
using SybConnect::FindConnectionByName;

int Entries() {
    vcl::TThreadListLock list(*CTLibConnections);
    return list->Count();
}

std::string Raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const vcl::Exception& e) {
        return e.Message();
    }
    return "";
}

using RegistryTest = FakeOCTest;

TEST_F(RegistryTest, DefaultNamesCountTheLiveConnections) {
    auto a = std::make_unique<TSybConnect>(nullptr);
    auto b = std::make_unique<TSybConnect>(nullptr);
    auto c = std::make_unique<TSybConnect>(nullptr);
    EXPECT_EQ(a->GetDatabaseName(), "Connection1");
    EXPECT_EQ(b->GetDatabaseName(), "Connection2");
    EXPECT_EQ(c->GetDatabaseName(), "Connection3");
    EXPECT_EQ(Entries(), 3);
}

TEST_F(RegistryTest, RenamingIsRefusedForATakenKeyAndNamesAreNotReused) {
    auto a = std::make_unique<TSybConnect>(nullptr);
    auto b = std::make_unique<TSybConnect>(nullptr);
    EXPECT_EQ(Raised([&] { a->SetDatabaseName("Connection2"); }), "Connection named \"Connection2\" already exists");
    EXPECT_EQ(a->GetDatabaseName(), "Connection1");
    a->SetDatabaseName("Main");
    auto c = std::make_unique<TSybConnect>(nullptr);
    EXPECT_EQ(c->GetDatabaseName(), "Connection3");

    // Its own name in another case or with blanks is another name, and refused;
    // the same name exactly changes nothing.
    EXPECT_EQ(Raised([&] { c->SetDatabaseName("connection3"); }), "Connection named \"connection3\" already exists");
    EXPECT_EQ(Raised([&] { c->SetDatabaseName("Connection3"); }), "");
    EXPECT_EQ(Raised([&] { b->SetDatabaseName(" \tMAIN\n"); }), "Connection named \"MAIN\" already exists");
    EXPECT_EQ(b->GetDatabaseName(), "Connection2");
}

TEST_F(RegistryTest, ATakenDefaultNameFailsConstructionAndLeavesNoEntry) {
    vcl::TComponent owner(nullptr);
    auto* a = new TSybConnect(&owner);
    auto* b = new TSybConnect(&owner);
    (void)b;
    delete a;
    EXPECT_EQ(Raised([&] { new TSybConnect(&owner); }), "Connection named \"Connection2\" already exists");
    EXPECT_EQ(Entries(), 1);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(FindConnectionByName("Connection2", nullptr), b);
}

TEST_F(RegistryTest, FindUsesTheNameKeyAndMarksTheAskingQuery) {
    auto a = std::make_unique<TSybConnect>(nullptr);
    auto b = std::make_unique<TSybConnect>(nullptr);
    b->SetDatabaseName("  sales ");
    EXPECT_EQ(Raised([&] { a->SetDatabaseName("SALES"); }), "Connection named \"SALES\" already exists");
    EXPECT_EQ(b->GetDatabaseName(), "  sales "); // stored as given

    EXPECT_EQ(FindConnectionByName("Sales", StandInQuery()), b.get());
    EXPECT_EQ(b->GetActiveQuery(), StandInQuery());
    EXPECT_EQ(a->GetActiveQuery(), nullptr);
    EXPECT_EQ(FindConnectionByName("\tconnection1 ", nullptr), a.get());
    EXPECT_EQ(FindConnectionByName("Connection", nullptr), nullptr);

    // Only a..z fold: Latin-1 e-acute and E-acute are different names.
    a->SetDatabaseName("caf\xe9");
    b->SetDatabaseName("CAF\xc9");
    EXPECT_EQ(FindConnectionByName("CAF\xe9", nullptr), a.get());

    b.reset();
    EXPECT_EQ(FindConnectionByName("CAF\xc9", nullptr), nullptr);
    EXPECT_EQ(Entries(), 1);
}

TEST_F(RegistryTest, WithoutTheUnitNoConnectionCanBeBuilt) {
    auto survivor = std::make_unique<TSybConnect>(nullptr);
    kestrel::Finalize();
    EXPECT_EQ(CTLibConnections, nullptr);
    try {
        TSybConnect c(nullptr);
        FAIL() << "constructed";
    } catch (const vcl::EAssertionFailed& e) {
        EXPECT_EQ(e.Message().rfind("Assertion failure: CTLibConnections not defined (SybConnect, line ", 0), 0u)
            << e.Message();
    }
    survivor.reset(); // after the unit ended: no removal, no crash
    kestrel::Initialize(); // a package starts once: nothing comes back
    EXPECT_EQ(CTLibConnections, nullptr);
}

// Each thread builds, renames, finds and destroys its own connections while the
// others do the same; finds of other threads' names run through the same lock.
TEST_F(RegistryTest, ManyThreadsLeaveTheRegistryConsistent) {
    constexpr int Threads = 4;
    constexpr int Rounds = 300;
    std::atomic<int> wrong{0};
    std::atomic<int> clashes{0};
    auto work = [&](int t) {
        for (int i = 0; i < Rounds; ++i) {
            std::unique_ptr<TSybConnect> c;
            try {
                c = std::make_unique<TSybConnect>(nullptr);
            } catch (const vcl::Exception&) {
                ++clashes; // another thread holds this default name for now
                continue;
            }
            const std::string name = "T" + std::to_string(t) + "_" + std::to_string(i);
            c->SetDatabaseName(name);
            if (FindConnectionByName(vcl::LowerCase(name), nullptr) != c.get()) ++wrong;
            FindConnectionByName("T" + std::to_string((t + 1) % Threads) + "_" + std::to_string(i), nullptr);
            {
                vcl::TThreadListLock list(*CTLibConnections);
                std::set<std::string> keys;
                for (void* item : list->Items())
                    if (!keys.insert(SybConnect::NameKey(static_cast<TSybConnect*>(item)->GetDatabaseName())).second)
                        ++wrong;
            }
            c.reset();
            if (FindConnectionByName(name, nullptr) != nullptr) ++wrong;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) threads.emplace_back(work, t);
    for (auto& th : threads) th.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_LT(clashes.load(), Threads * Rounds);
    EXPECT_EQ(Entries(), 0);
}

} // namespace
} // namespace ConnectTests
