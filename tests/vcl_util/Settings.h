// Restores the process-wide locale settings after a test changes them.
#pragma once

#include <gtest/gtest.h>

#include "vcl/DateTime.h"

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override { vcl::FormatSettings = vcl::TFormatSettings(); }
};
