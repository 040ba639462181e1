#include <gtest/gtest.h>

#include "vcl/Forms.h"

namespace {

using namespace vcl;

TEST(Forms, HandleExceptionGoesToOnExceptionOrStderr) {
    std::string seen;
    TObject* sender = nullptr;
    Application()->OnException = [&](TObject* s, const std::exception& e) {
        sender = s;
        seen = e.what();
    };
    TObject me;
    try {
        throw Exception("boom");
    } catch (...) {
        Application()->HandleException(&me);
    }
    EXPECT_EQ(seen, "boom");
    EXPECT_EQ(sender, &me);

    Application()->OnException = nullptr;
    testing::internal::CaptureStderr();
    try {
        throw Exception("to stderr");
    } catch (...) {
        Application()->HandleException(nullptr);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr\n");
    Application()->HandleException(nullptr); // outside a handler: nothing
}

TEST(Forms, ScreenCursor) {
    EXPECT_EQ(Screen()->Cursor(), crDefault);
    Screen()->SetCursor(crSQLWait);
    EXPECT_EQ(Screen()->Cursor(), -17);
    Screen()->SetCursor(crDefault);
    EXPECT_EQ(crHourGlass, -11);
}

} // namespace
